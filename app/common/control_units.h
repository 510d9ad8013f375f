// Typed handles of the control units the settings window works with, so that handlers read
// "rows.setText(...)" instead of property numbers and RuntimeValue records. Each handle is a
// unit reference; nothing is cached, every call reads or writes the live unit.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/unit_calls.h"

namespace quillora::app {

// Any control: the keyboard focus.
bool giveFocus(const UnitRef& unit);

class EditBox {
public:
    explicit EditBox(UnitRef unit) : unit_(unit) {}
    std::string text() const;
    // Writing the text raises the box's "content changed", as a user's typing does.
    void setText(std::string_view text) const;
    bool focus() const { return giveFocus(unit_); }

private:
    UnitRef unit_;
};

// The operations combo boxes and list boxes share; `ItemList` picks the kind's commands.
class ItemList {
public:
    enum class Kind { ComboBox, ListBox };
    ItemList(Kind kind, UnitRef unit) : kind_(kind), unit_(unit) {}

    std::int32_t itemCount() const;
    std::string itemText(std::int32_t index) const;
    void addItem(std::string_view text) const;
    // The first item whose text begins with `prefix`, ASCII letters compared without regard to
    // case; -1 when none does.
    std::int32_t findItemStartingWith(std::string_view prefix) const;
    // -1 when none is selected.
    std::int32_t selectedIndex() const;
    // Selecting from code raises no event.
    void select(std::int32_t index) const;
    // Empty when none is selected.
    std::string selectedText() const;

private:
    Kind kind_;
    UnitRef unit_;
};

class ComboBox : public ItemList {
public:
    explicit ComboBox(UnitRef unit) : ItemList(Kind::ComboBox, unit) {}
};

class ListBox : public ItemList {
public:
    explicit ListBox(UnitRef unit) : ItemList(Kind::ListBox, unit) {}
};

// A check box or a radio box: both have a caption and a tick. Ticking a radio box from code
// clears the other radio boxes of its container.
class TickBox {
public:
    explicit TickBox(UnitRef unit) : unit_(unit) {}
    bool checked() const;
    void setChecked(bool checked) const;

private:
    UnitRef unit_;
};

class SliderBar {
public:
    explicit SliderBar(UnitRef unit) : unit_(unit) {}
    std::int32_t position() const;
    // The slider keeps the position within its range; writing raises no event.
    void setPosition(std::int32_t position) const;

private:
    UnitRef unit_;
};

class ProgressBar {
public:
    explicit ProgressBar(UnitRef unit) : unit_(unit) {}
    std::int32_t position() const;

private:
    UnitRef unit_;
};

// What the font dialog shows and reports.
struct DialogFont {
    std::string name;
    std::int32_t size = 9;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
};

// A common dialog unit used as the font dialog.
class FontDialog {
public:
    explicit FontDialog(UnitRef unit) : unit_(unit) {}
    // Presets the dialog with `font`, opens it and, when the user confirms, writes the choice back
    // into `font`. False (and `font` untouched) when the dialog was cancelled.
    bool choose(DialogFont& font) const;

private:
    UnitRef unit_;
};

// A window as a whole: its own record carries the common properties.
class WindowHandle {
public:
    WindowHandle(std::uint32_t windowId, std::uint32_t ownRecord) : windowId_(windowId), ownRecord_(ownRecord) {}
    bool loaded() const;
    void setVisible(bool visible) const;
    // The window closes when pending messages are next processed; its may-close event fires.
    void close() const;

private:
    std::uint32_t windowId_;
    std::uint32_t ownRecord_;
};

}  // namespace quillora::app
