#include "runtime/units/combo_box_unit.h"

#include "quillora/control_unit_commands.h"
#include "quillora/events.h"
#include "runtime/core/command_arguments.h"
#include "runtime/core/form_template_format.h"
#include "runtime/units/control_support.h"
#include "runtime/units/item_list_commands.h"

#include <QComboBox>
#include <QEvent>
#include <QLineEdit>

namespace quillora::runtime {
namespace {

// The combo box widget tells its unit when the list drops down and closes up, and when the
// edit line is double-clicked.
class ComboWidget : public QComboBox {
public:
    ComboWidget(QWidget* parent, ComboBoxUnit& unit) : QComboBox(parent), unit_(&unit) {}

    void showPopup() override
    {
        if (!listShown_) {
            listShown_ = true;
            if (unit_)
                unit_->listAboutToDrop();
        }
        QComboBox::showPopup();
    }

    void hidePopup() override
    {
        QComboBox::hidePopup();
        // Qt also calls this when nothing is dropped down (the box being hidden, for one).
        if (listShown_) {
            listShown_ = false;
            if (unit_)
                unit_->listClosedUp();
        }
    }

    void watchEditLine()
    {
        if (lineEdit())
            lineEdit()->installEventFilter(this);
    }

    // The unit goes before its widget; from then on the widget tells nobody.
    void forgetUnit() { unit_ = nullptr; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == lineEdit() && event->type() == QEvent::MouseButtonDblClick && unit_)
            unit_->editLineDoubleClicked();
        return QComboBox::eventFilter(watched, event);
    }

private:
    ComboBoxUnit* unit_;
    bool listShown_ = false;
};

}  // namespace

QWidget* ComboBoxUnit::createWidget(QWidget* parent)
{
    auto* widget = new ComboWidget(parent, *this);
    combo_ = widget;
    const auto style = template_.properties.style.value_or(static_cast<std::uint32_t>(form_format::ComboBoxStyle::DropDown));
    combo_->setEditable(style == static_cast<std::uint32_t>(form_format::ComboBoxStyle::DropDown));
    // Enter in the edit line must not add the text to the items, as Qt would by default.
    combo_->setInsertPolicy(QComboBox::NoInsert);
    for (const std::string& item : template_.properties.items)
        combo_->addItem(toQt(item));
    setSelectedIndex(template_.properties.selectedIndex.value_or(-1));
    applyTemplateFont(*combo_, template_.properties);

    QObject::connect(combo_, &QComboBox::activated, &connections_, [this] { postEvent(kEventListItemSelected); });
    if (QLineEdit* edit = combo_->lineEdit())
        QObject::connect(edit, &QLineEdit::textEdited, &connections_, [this] { fire(kEventEditContentChanged); });
    widget->watchEditLine();
    return widget;
}

ComboBoxUnit::~ComboBoxUnit()
{
    if (combo_)
        static_cast<ComboWidget*>(combo_.data())->forgetUnit();
}

void ComboBoxUnit::editLineDoubleClicked()
{
    fire(kEventComboDoubleClicked);
}

void ComboBoxUnit::listAboutToDrop()
{
    fire(kEventListAboutToDrop);
}

void ComboBoxUnit::listClosedUp()
{
    postEvent(kEventListClosedUp);
}

void ComboBoxUnit::postEvent(std::int32_t event)
{
    // The widget is the context: a call still waiting when the window goes is dropped with it.
    const std::uint32_t windowId = this->windowId();
    const std::uint32_t unitId = this->unitId();
    QMetaObject::invokeMethod(
        combo_, [windowId, unitId, event] { fireUnitEvent(windowId, unitId, event); }, Qt::QueuedConnection);
}

bool ComboBoxUnit::editable() const
{
    return combo_ && combo_->isEditable();
}

QStringList ComboBoxUnit::items() const
{
    QStringList list;
    for (int index = 0; combo_ && index < combo_->count(); ++index)
        list.append(combo_->itemText(index));
    return list;
}

int ComboBoxUnit::selectedIndex() const
{
    return combo_ ? combo_->currentIndex() : -1;
}

void ComboBoxUnit::setSelectedIndex(int index)
{
    if (!combo_)
        return;
    combo_->setCurrentIndex(index >= 0 && index < combo_->count() ? index : -1);
}

QString ComboBoxUnit::text() const
{
    return combo_ ? combo_->currentText() : QString();
}

int ComboBoxUnit::insertItem(int index, const QString& text)
{
    if (!combo_)
        return -1;
    if (index < 0 || index > combo_->count())
        index = combo_->count();
    // Qt selects the first item put into an empty box, and a changed selection rewrites the edit
    // line; a Windows combo box does neither, so both are put back.
    const int selected = combo_->currentIndex();
    const QString editText = combo_->currentText();
    combo_->insertItem(index, text);
    if (selected < 0)
        combo_->setCurrentIndex(-1);
    if (editable())
        combo_->setEditText(editText);
    return index;
}

bool ComboBoxUnit::deleteItem(int index)
{
    if (!combo_ || index < 0 || index >= combo_->count())
        return false;
    const bool wasSelected = index == combo_->currentIndex();
    const QString editText = combo_->currentText();
    combo_->removeItem(index);
    if (wasSelected)
        combo_->setCurrentIndex(-1);
    if (editable())
        combo_->setEditText(editText);
    return true;
}

void ComboBoxUnit::clearItems()
{
    if (combo_)
        combo_->clear();
}

std::optional<RuntimeValue> ComboBoxUnit::readKindProperty(std::int32_t index)
{
    switch (index) {
    case kComboBoxText: return textValue(text());
    case kComboBoxSelectedIndex: return makeInt(selectedIndex());
    case kComboBoxItemCount: return makeInt(combo_ ? combo_->count() : 0);
    default: return std::nullopt;
    }
}

bool ComboBoxUnit::writeKindProperty(std::int32_t index, std::int32_t, std::uint32_t payloadLow, std::uint32_t payloadHigh)
{
    if (!combo_)
        return false;
    switch (index) {
    case kComboBoxText: {
        const QString text = toQt(payloadText(payloadLow, payloadHigh));
        if (editable()) {
            combo_->setEditText(text);
        } else if (const int found = combo_->findText(text, Qt::MatchExactly); found >= 0) {
            combo_->setCurrentIndex(found);
        }
        return true;
    }
    case kComboBoxSelectedIndex:
        setSelectedIndex(static_cast<std::int32_t>(payloadLow));
        return true;
    default:
        return false;
    }
}

std::string ComboBoxUnit::describe() const
{
    return escapedForDescription(text()) + describedSelection(items(), selectedIndex()) + describedItems(items());
}

std::optional<std::vector<std::string>> ComboBoxUnit::liveItems() const
{
    return utf8Texts(items());
}

bool ComboBoxUnit::automate(std::string_view action, std::string_view argument, std::string& problem)
{
    if (action == "select") {
        const int item = itemForSelection(items(), argument);
        if (item < 0) {
            problem = name() + " has no item \"" + std::string(argument) + "\"";
            return false;
        }
        if (!userCanReach(*this, problem))
            return false;
        // As a user does it: the list drops down, the item is taken, the list closes up, and the
        // selection is announced after the close.
        fire(kEventListAboutToDrop);
        if (!combo_)
            return true;
        setSelectedIndex(item);
        fire(kEventListClosedUp);
        if (combo_)
            postEvent(kEventListItemSelected);
        return true;
    }
    if (action == "type") {
        if (!editable()) {
            problem = name() + " is a drop-down list: select one of its items";
            return false;
        }
        if (!userCanReach(*this, problem))
            return false;
        focusControl(*this, Qt::MouseFocusReason);
        typeReplacingText(*combo_, argument, false);
        return true;
    }
    return Unit::automate(action, argument, problem);
}

}  // namespace quillora::runtime

namespace quillora {

using ComboBoxItems = runtime::ItemListCommands<runtime::ComboBoxUnit>;

void comboBoxAddItem(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    ComboBoxItems::add(result, argCount, args);
}

void comboBoxInsertItem(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    ComboBoxItems::insert(result, argCount, args);
}

void comboBoxDeleteItem(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    ComboBoxItems::remove(result, argCount, args);
}

void comboBoxClearItems(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    ComboBoxItems::clear(result, argCount, args);
}

void comboBoxItemCount(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    ComboBoxItems::count(result, argCount, args);
}

void comboBoxItemText(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    ComboBoxItems::text(result, argCount, args);
}

void comboBoxFindItem(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    ComboBoxItems::find(result, argCount, args);
}

}  // namespace quillora
