#include "common/window_units.h"

#include "form_ids.h"
#include "quillora/control_unit_commands.h"
#include "quillora/list_unit_commands.h"

namespace quillora::app {
namespace {

struct ColumnLayout {
    const char* title;
    std::int32_t width;
    std::int32_t alignment;  // 0 left, 1 centre, 2 right
};

constexpr ColumnLayout kColumns[] = {
    {"序号", 60, 2},
    {"文件名全称", 220, 0},
    {"文件夹", 90, 0},
    {"文件名", 100, 0},
};

}  // namespace

UnitRef mainWindowUnit(std::uint32_t typeCode, std::uint32_t unitId)
{
    return {typeCode, forms::MainWindow::id, unitId};
}

StatusBar mainStatusBar()
{
    return StatusBar(mainWindowUnit(forms::unit_type::StatusBar, forms::MainWindow::状态条1));
}

FoundPictureList foundPictures()
{
    return FoundPictureList(mainWindowUnit(forms::unit_type::ListView, forms::MainWindow::超级列表框_显示));
}

bool isChecked(const UnitRef& checkBox)
{
    return asBool(readProperty(checkBox, kindProperty(kCheckBoxChecked)));
}

std::string editText(const UnitRef& editBox)
{
    return readTextProperty(editBox, kindProperty(kEditBoxText));
}

void StatusBar::show(std::string_view text) const
{
    const std::string holder(text);
    callMethod(unit_, &statusBarSetPartText, makeInt(0), textValue(holder));
}

void FoundPictureList::reset() const
{
    callMethod(unit_, &listViewDeleteAllRows);
    while (columnCount() > 0)
        callMethod(unit_, &listViewDeleteColumn, makeInt(0));
    for (const ColumnLayout& column : kColumns) {
        const std::string title = column.title;
        callMethod(unit_, &listViewInsertColumn, RuntimeValue{}, textValue(title), makeInt(column.width),
                   makeInt(column.alignment));
    }
}

void FoundPictureList::appendPicture(const std::string& fullName, const std::string& folder,
                                     const std::string& name) const
{
    const std::int32_t row = asInt(callMethod(unit_, &listViewInsertRow));
    const std::string serial = std::to_string(row + 1);
    callMethod(unit_, &listViewSetCellText, makeInt(row), makeInt(0), textValue(serial));
    callMethod(unit_, &listViewSetCellText, makeInt(row), makeInt(1), textValue(fullName));
    callMethod(unit_, &listViewSetCellText, makeInt(row), makeInt(2), textValue(folder));
    callMethod(unit_, &listViewSetCellText, makeInt(row), makeInt(3), textValue(name));
}

std::int32_t FoundPictureList::rowCount() const
{
    return asInt(callMethod(unit_, &listViewRowCount));
}

std::int32_t FoundPictureList::columnCount() const
{
    return asInt(callMethod(unit_, &listViewColumnCount));
}

std::string FoundPictureList::columnTitle(std::int32_t column) const
{
    return takeText(callMethod(unit_, &listViewColumnTitle, makeInt(column)));
}

std::int32_t FoundPictureList::currentRow() const
{
    return asInt(callMethod(unit_, &listViewCurrentRow));
}

std::string FoundPictureList::cellText(std::int32_t row, std::int32_t column) const
{
    return takeText(callMethod(unit_, &listViewCellText, makeInt(row), makeInt(column)));
}

}  // namespace quillora::app
