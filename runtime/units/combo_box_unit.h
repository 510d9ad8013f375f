// ComboBox (0x0001000E): a list that drops down. In the drop-down-list style the user only
// chooses an item; in the drop-down style (the default) the box also has an edit line. Items and
// the selected item come from the form; nothing is selected unless the form says so.
//
// Kind properties (ComboBoxProperty in quillora/control_unit_commands.h):
//   0 text (the edit text; for a drop-down list the selected item's text, and writing selects
//     the first item with exactly that text)
//   1 selected index (int, -1 = none)
//   2 item count (int, read only)
// Methods: comboBoxAddItem, comboBoxInsertItem, comboBoxDeleteItem, comboBoxClearItems,
// comboBoxItemCount, comboBoxItemText, comboBoxFindItem.
// Events: 2 list about to drop down (before the list shows); 3 list closed up; 0 list item
// selected, raised from a posted call when the user has taken an item, so it always follows the
// 3 of the same choice (and comes alone when the user changes the item with the list closed,
// by arrow keys or the wheel); 1 edit content changed, by the user's typing only; 4 double
// clicked, on the edit line of a drop-down box.
// When the list closes after a click on an item, Qt closes it before it applies the choice, so
// event 3 is raised from a posted call too: its handler reads the new selection, as on Windows.
// Automation: "select N|TEXT" chooses as a user does with the list (events 2, 3, then 0);
// "type TEXT" types over the edit line of a drop-down box. describe(): the text,
// "selected\tN\tTEXT" (the chosen item and its text; -1 and an empty text for none), then one
// "item\tN\tTEXT" line per item.
#pragma once

#include <QComboBox>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include "runtime/units/unit.h"

namespace quillora::runtime {

class ComboBoxUnit : public Unit {
public:
    using Unit::Unit;
    ~ComboBoxUnit() override;

    QWidget* createWidget(QWidget* parent) override;

    std::optional<RuntimeValue> readKindProperty(std::int32_t index) override;
    bool writeKindProperty(std::int32_t index, std::int32_t member, std::uint32_t payloadLow,
                           std::uint32_t payloadHigh) override;
    std::string describe() const override;
    bool automate(std::string_view action, std::string_view argument, std::string& problem) override;
    std::optional<std::vector<std::string>> liveItems() const override;

    bool editable() const;
    QStringList items() const;
    int selectedIndex() const;
    void setSelectedIndex(int index);
    QString text() const;

    int insertItem(int index, const QString& text);
    bool deleteItem(int index);
    void clearItems();

    // Called by the widget around its list.
    void listAboutToDrop();
    void listClosedUp();
    void editLineDoubleClicked();

private:
    // Posts event `event` to be raised once the current message has been handled.
    void postEvent(std::int32_t event);

    QPointer<QComboBox> combo_;
    QObject connections_;
};

}  // namespace quillora::runtime
