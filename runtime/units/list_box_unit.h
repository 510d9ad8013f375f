// ListBox (0x0001000F): a list of text items with at most one selected. Items and the selected
// item come from the form; nothing is selected unless the form says so.
//
// Kind properties (ListBoxProperty in quillora/control_unit_commands.h):
//   0 selected index (int, -1 = none; writing raises no event)
//   1 selected text (text, empty when none; read only)
//   2 item count (int, read only)
// Methods: listBoxAddItem, listBoxInsertItem, listBoxDeleteItem, listBoxClearItems,
// listBoxItemCount, listBoxItemText, listBoxFindItem.
// Events: 0 list item selected, when the user changes the selection (click, arrow keys).
// Automation: "select N|TEXT" selects as a click on the item does. describe(): an empty text
// line, "selected\tN\tTEXT" (the chosen item and its text; -1 and an empty text for none), then
// one "item\tN\tTEXT" line per item.
#pragma once

#include <QListWidget>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include "runtime/units/unit.h"

namespace quillora::runtime {

class ListBoxUnit : public Unit {
public:
    using Unit::Unit;

    QWidget* createWidget(QWidget* parent) override;

    std::optional<RuntimeValue> readKindProperty(std::int32_t index) override;
    bool writeKindProperty(std::int32_t index, std::int32_t member, std::uint32_t payloadLow,
                           std::uint32_t payloadHigh) override;
    std::string describe() const override;
    bool automate(std::string_view action, std::string_view argument, std::string& problem) override;
    std::optional<std::vector<std::string>> liveItems() const override;

    QStringList items() const;
    int selectedIndex() const;
    // Selects by program: no event.
    void setSelectedIndex(int index);

    int insertItem(int index, const QString& text);
    bool deleteItem(int index);
    void clearItems();

private:
    // Changes the list without raising "list item selected": what the program does is not the
    // user's choice.
    template <typename Change>
    void quietly(Change change);

    QPointer<QListWidget> list_;
    bool programChange_ = false;
    QObject connections_;
};

}  // namespace quillora::runtime
