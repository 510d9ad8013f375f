#include "common/control_units.h"

#include "common/core_calls.h"
#include "form_ids.h"
#include "quillora/control_unit_commands.h"
#include "quillora/core_commands.h"
#include "quillora/special_unit_commands.h"

namespace quillora::app {
namespace {

struct ItemCommands {
    CommandFunction addItem;
    CommandFunction itemCount;
    CommandFunction itemText;
    CommandFunction findItem;
    std::int32_t selectedIndexProperty;
};

const ItemCommands& commandsOf(ItemList::Kind kind)
{
    static const ItemCommands combo{&comboBoxAddItem, &comboBoxItemCount, &comboBoxItemText, &comboBoxFindItem,
                                    kindProperty(kComboBoxSelectedIndex)};
    static const ItemCommands list{&listBoxAddItem, &listBoxItemCount, &listBoxItemText, &listBoxFindItem,
                                   kindProperty(kListBoxSelectedIndex)};
    return kind == ItemList::Kind::ComboBox ? combo : list;
}

// Check boxes and radio boxes keep their tick at the same kind property.
static_assert(static_cast<int>(kCheckBoxChecked) == static_cast<int>(kRadioBoxChecked));

}  // namespace

bool giveFocus(const UnitRef& unit)
{
    return asBool(callMethod(unit, &unitSetFocus));
}

std::string EditBox::text() const
{
    return readTextProperty(unit_, kindProperty(kEditBoxText));
}

void EditBox::setText(std::string_view text) const
{
    writeTextProperty(unit_, kindProperty(kEditBoxText), text);
}

std::int32_t ItemList::itemCount() const
{
    return asInt(callMethod(unit_, commandsOf(kind_).itemCount));
}

std::string ItemList::itemText(std::int32_t index) const
{
    return takeText(callMethod(unit_, commandsOf(kind_).itemText, makeInt(index)));
}

void ItemList::addItem(std::string_view text) const
{
    const std::string holder(text);
    callMethod(unit_, commandsOf(kind_).addItem, textValue(holder));
}

std::int32_t ItemList::findItemStartingWith(std::string_view prefix) const
{
    const std::string holder(prefix);
    // From the first item on, by the start of the item's text rather than the whole of it.
    constexpr std::int32_t kFromFirstItem = 0;
    constexpr bool kWholeTextOnly = false;
    return asInt(callMethod(unit_, commandsOf(kind_).findItem, textValue(holder), makeInt(kFromFirstItem),
                            makeBool(kWholeTextOnly)));
}

std::int32_t ItemList::selectedIndex() const
{
    return asInt(readProperty(unit_, commandsOf(kind_).selectedIndexProperty));
}

void ItemList::select(std::int32_t index) const
{
    writeProperty(unit_, commandsOf(kind_).selectedIndexProperty, makeInt(index));
}

std::string ItemList::selectedText() const
{
    const std::int32_t index = selectedIndex();
    return index < 0 ? std::string() : itemText(index);
}

bool TickBox::checked() const
{
    return asBool(readProperty(unit_, kindProperty(kCheckBoxChecked)));
}

void TickBox::setChecked(bool checked) const
{
    writeProperty(unit_, kindProperty(kCheckBoxChecked), makeBool(checked));
}

std::int32_t SliderBar::position() const
{
    return asInt(readProperty(unit_, kindProperty(kSliderPosition)));
}

void SliderBar::setPosition(std::int32_t position) const
{
    writeProperty(unit_, kindProperty(kSliderPosition), makeInt(position));
}

std::int32_t ProgressBar::position() const
{
    return asInt(readProperty(unit_, kindProperty(kProgressPosition)));
}

bool FontDialog::choose(DialogFont& font) const
{
    writeProperty(unit_, kindProperty(kCommonDialogType), makeInt(kCommonDialogFont));
    writeTextProperty(unit_, kindProperty(kCommonDialogFontName), font.name);
    writeProperty(unit_, kindProperty(kCommonDialogFontSize), makeInt(font.size));
    // The style is preset too: the dialog otherwise keeps what the last font chosen with it had,
    // and a cancelled dialog would hand that back.
    writeProperty(unit_, kindProperty(kCommonDialogFontBold), makeBool(font.bold));
    writeProperty(unit_, kindProperty(kCommonDialogFontItalic), makeBool(font.italic));
    writeProperty(unit_, kindProperty(kCommonDialogFontUnderline), makeBool(font.underline));
    writeProperty(unit_, kindProperty(kCommonDialogFontStrikeOut), makeBool(font.strikeout));
    if (!asBool(callMethod(unit_, &commonDialogOpen)))
        return false;
    font.bold = asBool(readProperty(unit_, kindProperty(kCommonDialogFontBold)));
    font.italic = asBool(readProperty(unit_, kindProperty(kCommonDialogFontItalic)));
    font.underline = asBool(readProperty(unit_, kindProperty(kCommonDialogFontUnderline)));
    font.strikeout = asBool(readProperty(unit_, kindProperty(kCommonDialogFontStrikeOut)));
    font.size = asInt(readProperty(unit_, kindProperty(kCommonDialogFontSize)));
    font.name = readTextProperty(unit_, kindProperty(kCommonDialogFontName));
    return true;
}

bool WindowHandle::loaded() const
{
    return isWindowLoaded(windowId_);
}

void WindowHandle::setVisible(bool visible) const
{
    writeProperty(UnitRef{forms::unit_type::window, windowId_, ownRecord_}, kPropertyVisible, makeBool(visible));
}

void WindowHandle::close() const
{
    callCore(&CloseWindow, makeInt(static_cast<std::int32_t>(windowId_)));
}

}  // namespace quillora::app
