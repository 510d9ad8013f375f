// The base of every unit kind: one control of a loaded window, built from its template record.
// A kind derives from Unit, builds its Qt widget, reads and writes its own properties, raises
// its events through fire(), and answers the automation driver.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "quillora/runtime_value.h"
#include "runtime/core/events.h"
#include "runtime/core/form_template.h"

class QWidget;

namespace quillora::runtime {

class LiveWindow;

// A table of titled columns over rows of text cells, as the automation driver reads it off a
// loaded unit that shows one (a list view). An index outside the table gives 0, -1 or the empty
// text.
class UnitTable {
public:
    virtual int columnCount() const = 0;
    virtual std::string columnTitle(int column) const = 0;
    virtual int columnWidth(int column) const = 0;
    virtual form_format::Alignment columnAlignment(int column) const = 0;
    virtual int rowCount() const = 0;
    virtual std::string cellText(int row, int column) const = 0;

protected:
    ~UnitTable() = default;
};

class Unit {
public:
    Unit(LiveWindow& window, const UnitTemplate& unitTemplate);
    virtual ~Unit();
    Unit(const Unit&) = delete;
    Unit& operator=(const Unit&) = delete;

    // Builds the control as a child of `parent` at the template's position and size. The
    // loader shows, hides, enables and stacks it afterwards; kinds only build.
    virtual QWidget* createWidget(QWidget* parent) = 0;

    // For containers (group box, tab): the widget on which the children of `page` lie
    // (page 0 for a group box). Null for a unit that holds nothing.
    virtual QWidget* containerWidget(std::uint32_t page);

    // Kind behaviour the window's keyboard handling and the loader ask about.
    virtual bool neverFirstFocus() const { return false; }
    virtual bool acceptsEnterAsDefault() const { return false; }
    virtual bool neverShown() const { return false; }
    virtual bool dragsWindow() const { return false; }
    virtual bool isLabelLike() const { return false; }
    // The caption whose "&x" gives the Alt mnemonic; empty when the kind has none.
    virtual std::string mnemonicCaption() const { return {}; }
    // Alt+mnemonic on a button-like unit: click, toggle or tick, then fire "clicked".
    virtual void activateByMnemonic() {}
    // Clicks the unit as Enter on a default button does.
    virtual void click() {}

    // Kind property `index` (the unit property index minus 8). A text or byte-set result is a
    // fresh caller-owned block. Nothing when the kind has no such property.
    virtual std::optional<RuntimeValue> readKindProperty(std::int32_t index);
    // Writes kind property `index` (member -1 = the whole value; fonts take member indices).
    // False when the kind has no such property.
    virtual bool writeKindProperty(std::int32_t index, std::int32_t member, std::uint32_t payloadLow,
                                   std::uint32_t payloadHigh);

    // The window has been built around every unit.
    virtual void windowBuilt() {}
    // Loading is complete (sent from the last unit to the first).
    virtual void loadingComplete() {}

    // What a user sees of the unit, one or more lines, for the automation driver's "show".
    virtual std::string describe() const;
    // Acts as a user would: "click", "type TEXT", "tick 0|1", "select N|TEXT", "choose TEXT",
    // "doubleclick N". False (with a reason in `problem`) when the kind cannot do it.
    virtual bool automate(std::string_view action, std::string_view argument, std::string& problem);

    // What the automation driver lists of a loaded unit beyond describe(), as plain data that
    // the driver formats itself. A kind answers only for what it holds live; for everything else
    // the driver lists what the unit's form says.
    // The items a combo box or list box holds now; nothing for kinds whose items are the form's.
    virtual std::optional<std::vector<std::string>> liveItems() const { return std::nullopt; }
    // A tree box's items in item order; nothing for other kinds.
    virtual std::optional<std::vector<TreeItemTemplate>> liveTreeItems() const { return std::nullopt; }
    // The table a list view shows; null for kinds that show none.
    virtual const UnitTable* table() const { return nullptr; }
    // The text of a status bar's first part (empty when it has no part); nothing for other kinds.
    virtual std::optional<std::string> statusText() const { return std::nullopt; }

    LiveWindow& window() const { return window_; }
    std::uint32_t windowId() const;
    std::uint32_t unitId() const { return template_.id; }
    std::uint32_t typeCode() const { return template_.typeCode; }
    const std::string& name() const { return template_.name; }
    const UnitTemplate& unitTemplate() const { return template_; }
    QWidget* widget() const { return widget_; }
    void setWidget(QWidget* widget) { widget_ = widget; }

    // Raises event `event` of this unit with plain integer arguments.
    EventRecord fire(std::int32_t event, std::initializer_list<std::int64_t> arguments = {});

    // Installs the filter that raises the common events (mouse, keys, focus, wheel) of the
    // unit's widget. The loader calls it once the widget exists.
    void watchCommonEvents();

protected:
    // The working copy of the unit's record for this load.
    UnitTemplate template_;

private:
    LiveWindow& window_;
    QWidget* widget_ = nullptr;
    std::unique_ptr<class CommonEventFilter> commonEvents_;
};

// A unit kind's constructor.
using UnitCreator = std::unique_ptr<Unit> (*)(LiveWindow& window, const UnitTemplate& unitTemplate);

// Builds the unit of a template record: the kind registered for its type code, or a plain
// placeholder control when no kind is registered.
std::unique_ptr<Unit> createUnit(LiveWindow& window, const UnitTemplate& unitTemplate);
void registerUnitKind(std::uint32_t typeCode, UnitCreator creator);

// Finds the live unit of a unit reference; null when its window is not loaded or the unit does
// not exist.
Unit* findLiveUnit(std::uint32_t windowId, std::uint32_t unitId);

// The live unit of a unit method's first argument, as kind T; null when the unit is missing or of
// another kind.
template <typename T>
T* unitOf(const RuntimeValue& unitRef)
{
    return dynamic_cast<T*>(findLiveUnit(unitRef.low, unitRef.high));
}

}  // namespace quillora::runtime
