#include "shell/main_window_units.h"

#include "form_ids.h"
#include "quillora/list_unit_commands.h"

namespace quillora::app {

FolderTree folderTree()
{
    return FolderTree(mainWindowUnit(forms::unit_type::TreeBox, forms::MainWindow::树型框_文件夹));
}

std::int32_t FolderTree::currentItem() const
{
    return asInt(callMethod(unit_, &treeBoxCurrentItem));
}

std::int32_t FolderTree::itemCount() const
{
    return asInt(callMethod(unit_, &treeBoxItemCount));
}

std::int32_t FolderTree::level(std::int32_t item) const
{
    return asInt(callMethod(unit_, &treeBoxItemLevel, makeInt(item)));
}

std::string FolderTree::caption(std::int32_t item) const
{
    return takeText(callMethod(unit_, &treeBoxItemText, makeInt(item)));
}

std::int32_t FolderTree::value(std::int32_t item) const
{
    return asInt(callMethod(unit_, &treeBoxItemValue, makeInt(item)));
}

bool FolderTree::hasChildren(std::int32_t item) const
{
    return asBool(callMethod(unit_, &treeBoxHasChildren, makeInt(item)));
}

std::int32_t FolderTree::parent(std::int32_t item) const
{
    return asInt(callMethod(unit_, &treeBoxParentItem, makeInt(item)));
}

std::int32_t FolderTree::addItem(std::int32_t parentItem, const std::string& caption, std::int32_t image,
                                 std::int32_t value) const
{
    return asInt(callMethod(unit_, &treeBoxAddItem, makeInt(parentItem), textValue(caption), makeInt(image),
                            makeInt(value)));
}

void FolderTree::deleteItem(std::int32_t item) const
{
    callMethod(unit_, &treeBoxDeleteItem, makeInt(item));
}

void FolderTree::expand(std::int32_t item) const
{
    callMethod(unit_, &treeBoxExpand, makeInt(item));
}

}  // namespace quillora::app
