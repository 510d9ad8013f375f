#include "runtime/units/list_box_unit.h"

#include "quillora/control_unit_commands.h"
#include "quillora/events.h"
#include "runtime/core/command_arguments.h"
#include "runtime/units/control_support.h"
#include "runtime/units/item_list_commands.h"

#include <QListWidget>

namespace quillora::runtime {

QWidget* ListBoxUnit::createWidget(QWidget* parent)
{
    list_ = new QListWidget(parent);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    for (const std::string& item : template_.properties.items)
        list_->addItem(toQt(item));
    setSelectedIndex(template_.properties.selectedIndex.value_or(-1));
    applyTemplateFont(*list_, template_.properties);
    QObject::connect(list_, &QListWidget::currentRowChanged, &connections_, [this] {
        if (!programChange_)
            fire(kEventListItemSelected);
    });
    return list_;
}

template <typename Change>
void ListBoxUnit::quietly(Change change)
{
    const bool outer = programChange_;
    programChange_ = true;
    change();
    programChange_ = outer;
}

QStringList ListBoxUnit::items() const
{
    QStringList list;
    for (int row = 0; list_ && row < list_->count(); ++row)
        list.append(list_->item(row)->text());
    return list;
}

int ListBoxUnit::selectedIndex() const
{
    return list_ ? list_->currentRow() : -1;
}

void ListBoxUnit::setSelectedIndex(int index)
{
    if (!list_)
        return;
    quietly([&] {
        if (index >= 0 && index < list_->count()) {
            list_->setCurrentRow(index);
            list_->scrollToItem(list_->item(index));
        } else {
            list_->setCurrentRow(-1);
            list_->clearSelection();
        }
    });
}

int ListBoxUnit::insertItem(int index, const QString& text)
{
    if (!list_)
        return -1;
    if (index < 0 || index > list_->count())
        index = list_->count();
    quietly([&] { list_->insertItem(index, text); });
    return index;
}

bool ListBoxUnit::deleteItem(int index)
{
    if (!list_ || index < 0 || index >= list_->count())
        return false;
    const bool wasSelected = index == list_->currentRow();
    // Qt would move the selection on to a neighbour; a Windows list box leaves none selected.
    quietly([&] { delete list_->takeItem(index); });
    if (wasSelected)
        setSelectedIndex(-1);
    return true;
}

void ListBoxUnit::clearItems()
{
    if (list_)
        quietly([&] { list_->clear(); });
}

std::optional<RuntimeValue> ListBoxUnit::readKindProperty(std::int32_t index)
{
    const int selected = selectedIndex();
    switch (index) {
    case kListBoxSelectedIndex: return makeInt(selected);
    case kListBoxSelectedText: return textValue(selected >= 0 ? list_->item(selected)->text() : QString());
    case kListBoxItemCount: return makeInt(list_ ? list_->count() : 0);
    default: return std::nullopt;
    }
}

bool ListBoxUnit::writeKindProperty(std::int32_t index, std::int32_t, std::uint32_t payloadLow, std::uint32_t)
{
    if (index != kListBoxSelectedIndex)
        return false;
    setSelectedIndex(static_cast<std::int32_t>(payloadLow));
    return true;
}

std::string ListBoxUnit::describe() const
{
    return describedSelection(items(), selectedIndex()) + describedItems(items());
}

std::optional<std::vector<std::string>> ListBoxUnit::liveItems() const
{
    return utf8Texts(items());
}

bool ListBoxUnit::automate(std::string_view action, std::string_view argument, std::string& problem)
{
    if (action != "select")
        return Unit::automate(action, argument, problem);
    const int row = itemForSelection(items(), argument);
    if (row < 0) {
        problem = name() + " has no item \"" + std::string(argument) + "\"";
        return false;
    }
    if (!userCanReach(*this, problem))
        return false;
    list_->setCurrentRow(row);
    list_->scrollToItem(list_->item(row));
    return true;
}

}  // namespace quillora::runtime

namespace quillora {

using ListBoxItems = runtime::ItemListCommands<runtime::ListBoxUnit>;

void listBoxAddItem(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    ListBoxItems::add(result, argCount, args);
}

void listBoxInsertItem(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    ListBoxItems::insert(result, argCount, args);
}

void listBoxDeleteItem(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    ListBoxItems::remove(result, argCount, args);
}

void listBoxClearItems(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    ListBoxItems::clear(result, argCount, args);
}

void listBoxItemCount(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    ListBoxItems::count(result, argCount, args);
}

void listBoxItemText(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    ListBoxItems::text(result, argCount, args);
}

void listBoxFindItem(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    ListBoxItems::find(result, argCount, args);
}

}  // namespace quillora
