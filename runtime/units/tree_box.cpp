#include "runtime/units/tree_box.h"

#include "quillora/events.h"
#include "quillora/list_unit_commands.h"
#include "runtime/core/command_arguments.h"
#include "runtime/units/control_support.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QTreeWidget>
#include <QTreeWidgetItem>

#include <algorithm>

namespace quillora::runtime {
namespace {

constexpr int kValueRole = Qt::UserRole;
constexpr int kImageRole = Qt::UserRole + 1;
constexpr int kImageSize = 16;

// The tree's image list, by image index: 0 desktop, 1 documents, 2 removable drive, 3 fixed
// drive, 4 CD drive, 5 folder, 6 network drive, 7 RAM disk. The style's stock pictures serve
// where it has one; documents and the RAM disk are drawn here.
QPixmap documentsPicture(const QStyle& style)
{
    QPixmap picture = style.standardIcon(QStyle::SP_DirIcon).pixmap(kImageSize, kImageSize);
    QPainter painter(&picture);
    painter.setPen(QColor(90, 90, 90));
    painter.setBrush(Qt::white);
    painter.drawRect(7, 6, 7, 9);
    for (int line = 8; line <= 13; line += 2)
        painter.drawLine(9, line, 12, line);
    return picture;
}

QPixmap ramDiskPicture()
{
    QPixmap picture(kImageSize, kImageSize);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setPen(QColor(200, 170, 60));
    for (int pin = 3; pin <= 12; pin += 3) {
        painter.drawLine(pin, 2, pin, 4);
        painter.drawLine(pin, 11, pin, 13);
    }
    painter.setPen(QColor(20, 70, 30));
    painter.setBrush(QColor(40, 130, 60));
    painter.drawRect(1, 4, 13, 7);
    painter.fillRect(4, 6, 7, 3, QColor(30, 30, 30));
    return picture;
}

std::vector<QIcon> treeImages()
{
    const QStyle& style = *QApplication::style();
    return {
        style.standardIcon(QStyle::SP_DesktopIcon),
        QIcon(documentsPicture(style)),
        style.standardIcon(QStyle::SP_DriveFDIcon),
        style.standardIcon(QStyle::SP_DriveHDIcon),
        style.standardIcon(QStyle::SP_DriveCDIcon),
        style.standardIcon(QStyle::SP_DirIcon),
        style.standardIcon(QStyle::SP_DriveNetIcon),
        QIcon(ramDiskPicture()),
    };
}

int levelOf(const QTreeWidgetItem* item)
{
    int level = 1;
    for (const QTreeWidgetItem* above = item->parent(); above; above = above->parent())
        ++level;
    return level;
}

int descendantCount(const QTreeWidgetItem* item)
{
    int count = 0;
    for (int child = 0; child < item->childCount(); ++child)
        count += 1 + descendantCount(item->child(child));
    return count;
}

// The first item after `item` and its descendants in tree order, or null when they end the
// tree: the next sibling of the item or of its nearest ancestor that has one.
QTreeWidgetItem* itemAfterSubtree(QTreeWidget& tree, QTreeWidgetItem* item)
{
    for (; item; item = item->parent()) {
        QTreeWidgetItem* parent = item->parent();
        const int next = (parent ? parent->indexOfChild(item) : tree.indexOfTopLevelItem(item)) + 1;
        if (parent && next < parent->childCount())
            return parent->child(next);
        if (!parent && next < tree.topLevelItemCount())
            return tree.topLevelItem(next);
    }
    return nullptr;
}

// The path of a "choose" argument, split at its slashes.
std::vector<std::string_view> pathParts(std::string_view path)
{
    std::vector<std::string_view> parts;
    while (true) {
        const std::size_t slash = path.find('/');
        parts.push_back(path.substr(0, slash));
        if (slash == std::string_view::npos)
            return parts;
        path.remove_prefix(slash + 1);
    }
}

bool hasCaption(const QTreeWidgetItem* item, std::string_view caption)
{
    return fromQt(item->text(0)) == caption;
}

// Follows `parts` down from `item`, whose own caption is parts[0]; null when a part is missing.
QTreeWidgetItem* followPath(QTreeWidgetItem* item, const std::vector<std::string_view>& parts)
{
    for (std::size_t part = 1; item && part < parts.size(); ++part) {
        QTreeWidgetItem* next = nullptr;
        for (int child = 0; child < item->childCount() && !next; ++child)
            if (hasCaption(item->child(child), parts[part]))
                next = item->child(child);
        item = next;
    }
    return item;
}

}  // namespace

TreeBoxUnit::TreeBoxUnit(LiveWindow& window, const UnitTemplate& unitTemplate) : Unit(window, unitTemplate) {}

QWidget* TreeBoxUnit::createWidget(QWidget* parent)
{
    tree_ = new QTreeWidget(parent);
    tree_->setColumnCount(1);
    tree_->setHeaderHidden(true);
    tree_->setSelectionMode(QAbstractItemView::SingleSelection);
    tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree_->setUniformRowHeights(true);
    tree_->setIconSize(QSize(kImageSize, kImageSize));
    applyTemplateFont(*tree_, template_.properties);
    images_ = treeImages();

    // The template lists the initial items in tree order with their levels: an item of level L
    // lies under the last item of level L - 1 before it. A level that skips ahead is taken as one
    // deeper than the item before.
    std::vector<QTreeWidgetItem*> lastOfLevel;
    for (const TreeItemTemplate& itemTemplate : template_.properties.treeItems) {
        const std::size_t level = std::clamp<std::size_t>(itemTemplate.level, 1, lastOfLevel.size() + 1);
        QTreeWidgetItem* item = newItem(itemTemplate.caption, itemTemplate.image, itemTemplate.value);
        if (level == 1)
            tree_->addTopLevelItem(item);
        else
            lastOfLevel[level - 2]->addChild(item);
        lastOfLevel.resize(level - 1);
        lastOfLevel.push_back(item);
        order_.push_back(item);
    }
    QObject::connect(tree_, &QTreeWidget::itemSelectionChanged, tree_, [this] { selectionChanged(); });
    return tree_;
}

QTreeWidgetItem* TreeBoxUnit::newItem(std::string_view caption, int image, std::int32_t value) const
{
    auto* item = new QTreeWidgetItem(QStringList{toQt(caption)});
    item->setData(0, kValueRole, value);
    item->setData(0, kImageRole, image);
    if (image >= 0 && static_cast<std::size_t>(image) < images_.size())
        item->setIcon(0, images_[static_cast<std::size_t>(image)]);
    return item;
}

QTreeWidgetItem* TreeBoxUnit::itemAt(int index) const
{
    return index >= 0 && static_cast<std::size_t>(index) < order_.size() ? order_[static_cast<std::size_t>(index)]
                                                                          : nullptr;
}

int TreeBoxUnit::indexOf(const QTreeWidgetItem* item) const
{
    const auto found = std::find(order_.begin(), order_.end(), item);
    return found == order_.end() ? -1 : static_cast<int>(found - order_.begin());
}

QTreeWidgetItem* TreeBoxUnit::selectedItem() const
{
    if (!tree_)
        return nullptr;
    const QList<QTreeWidgetItem*> selected = tree_->selectedItems();
    return selected.isEmpty() ? nullptr : selected.front();
}

void TreeBoxUnit::selectionChanged()
{
    if (changingShape_) {
        selectionChangedMeanwhile_ = true;
        return;
    }
    // A selection that became empty is no new current item, so nothing is raised for it.
    if (const int index = indexOf(selectedItem()); index >= 0)
        fire(kEventCurrentItemChanged, {index});
}

template <typename Change>
void TreeBoxUnit::changeShape(Change&& change)
{
    QTreeWidgetItem* const selectedBefore = selectedItem();
    changingShape_ = true;
    selectionChangedMeanwhile_ = false;
    change();
    changingShape_ = false;
    if (selectionChangedMeanwhile_ && selectedItem() && selectedItem() != selectedBefore)
        selectionChanged();
}

int TreeBoxUnit::itemCount() const
{
    return static_cast<int>(order_.size());
}

int TreeBoxUnit::currentItem() const
{
    return indexOf(selectedItem());
}

bool TreeBoxUnit::setCurrentItem(int index)
{
    if (!tree_)
        return false;
    if (index < 0) {
        tree_->clearSelection();
        return true;
    }
    QTreeWidgetItem* item = itemAt(index);
    if (!item)
        return false;
    for (QTreeWidgetItem* above = item->parent(); above; above = above->parent())
        above->setExpanded(true);
    tree_->setCurrentItem(item);
    tree_->scrollToItem(item);
    return true;
}

int TreeBoxUnit::itemLevel(int index) const
{
    const QTreeWidgetItem* item = itemAt(index);
    return item ? levelOf(item) : 0;
}

std::string TreeBoxUnit::itemText(int index) const
{
    const QTreeWidgetItem* item = itemAt(index);
    return item ? fromQt(item->text(0)) : std::string();
}

std::int32_t TreeBoxUnit::itemValue(int index) const
{
    const QTreeWidgetItem* item = itemAt(index);
    return item ? item->data(0, kValueRole).toInt() : 0;
}

int TreeBoxUnit::itemImage(int index) const
{
    const QTreeWidgetItem* item = itemAt(index);
    return item ? item->data(0, kImageRole).toInt() : -1;
}

bool TreeBoxUnit::hasChildren(int index) const
{
    const QTreeWidgetItem* item = itemAt(index);
    return item && item->childCount() > 0;
}

int TreeBoxUnit::parentItem(int index) const
{
    const QTreeWidgetItem* item = itemAt(index);
    return item && item->parent() ? indexOf(item->parent()) : -1;
}

int TreeBoxUnit::addItem(int parentIndex, std::string_view caption, int image, std::int32_t value)
{
    QTreeWidgetItem* parent = parentIndex < 0 ? nullptr : itemAt(parentIndex);
    if (!tree_ || (parentIndex >= 0 && !parent))
        return -1;
    // A new last child follows its parent's last descendant in tree order, so it takes the place
    // of the item that followed them; a new top-level item comes after every item.
    QTreeWidgetItem* const following = parent ? itemAfterSubtree(*tree_, parent) : nullptr;
    const int index = following ? indexOf(following) : itemCount();
    QTreeWidgetItem* item = newItem(caption, image, value);
    changeShape([&] {
        order_.insert(order_.begin() + index, item);
        if (parent)
            parent->addChild(item);
        else
            tree_->addTopLevelItem(item);
    });
    return index;
}

bool TreeBoxUnit::deleteItem(int index)
{
    QTreeWidgetItem* item = itemAt(index);
    if (!item)
        return false;
    const auto first = order_.begin() + index;
    changeShape([&] {
        order_.erase(first, first + 1 + descendantCount(item));
        delete item;
    });
    return true;
}

void TreeBoxUnit::clear()
{
    if (!tree_)
        return;
    changeShape([&] {
        order_.clear();
        tree_->clear();
    });
}

bool TreeBoxUnit::setExpanded(int index, bool expanded)
{
    QTreeWidgetItem* item = itemAt(index);
    if (!item)
        return false;
    item->setExpanded(expanded);
    return true;
}

int TreeBoxUnit::findItemByPath(std::string_view path) const
{
    const std::vector<std::string_view> parts = pathParts(path);
    // A path starts at a top-level item; failing that, at the first item in tree order that has
    // the first caption, so that "choose first" also finds a sub-folder item.
    for (int top = 0; tree_ && top < tree_->topLevelItemCount(); ++top)
        if (hasCaption(tree_->topLevelItem(top), parts.front()))
            if (QTreeWidgetItem* found = followPath(tree_->topLevelItem(top), parts))
                return indexOf(found);
    for (QTreeWidgetItem* item : order_)
        if (hasCaption(item, parts.front()))
            if (QTreeWidgetItem* found = followPath(item, parts))
                return indexOf(found);
    return -1;
}

std::string TreeBoxUnit::describe() const
{
    std::string lines;
    for (const QTreeWidgetItem* item : order_) {
        if (!lines.empty())
            lines += '\n';
        lines += std::string(2 * static_cast<std::size_t>(levelOf(item) - 1), ' ');
        lines += escapedForDescription(item->text(0));
    }
    return lines;
}

std::optional<std::vector<TreeItemTemplate>> TreeBoxUnit::liveTreeItems() const
{
    std::vector<TreeItemTemplate> items;
    items.reserve(static_cast<std::size_t>(itemCount()));
    for (int index = 0; index < itemCount(); ++index)
        items.push_back({static_cast<std::uint32_t>(itemLevel(index)), itemImage(index), itemValue(index),
                         itemText(index)});
    return items;
}

bool TreeBoxUnit::automate(std::string_view action, std::string_view argument, std::string& problem)
{
    if (action != "choose")
        return Unit::automate(action, argument, problem);
    if (!userCanReach(*this, problem))
        return false;
    const int index = findItemByPath(argument);
    if (index < 0) {
        problem = name() + " has no item " + std::string(argument);
        return false;
    }
    if (index == currentItem())
        fire(kEventCurrentItemChanged, {index});
    else
        setCurrentItem(index);
    return true;
}

}  // namespace quillora::runtime

// --- the methods ----------------------------------------------------------------------------------

namespace quillora {
namespace {

using runtime::CommandArguments;
using runtime::TreeBoxUnit;

TreeBoxUnit& treeBox(std::int32_t argCount, const RuntimeValue* args)
{
    return runtime::requireUnit<TreeBoxUnit>(argCount, args);
}

}  // namespace

void treeBoxCurrentItem(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    *result = makeInt(treeBox(argCount, args).currentItem());
}

void treeBoxSetCurrentItem(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    TreeBoxUnit& unit = treeBox(argCount, args);
    *result = makeBool(unit.setCurrentItem(CommandArguments(argCount, args).int32(1, -1)));
}

void treeBoxItemCount(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    *result = makeInt(treeBox(argCount, args).itemCount());
}

void treeBoxItemLevel(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    TreeBoxUnit& unit = treeBox(argCount, args);
    *result = makeInt(unit.itemLevel(CommandArguments(argCount, args).int32(1, -1)));
}

void treeBoxItemText(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    TreeBoxUnit& unit = treeBox(argCount, args);
    *result = runtime::textResult(unit.itemText(CommandArguments(argCount, args).int32(1, -1)));
}

void treeBoxItemValue(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    TreeBoxUnit& unit = treeBox(argCount, args);
    *result = makeInt(unit.itemValue(CommandArguments(argCount, args).int32(1, -1)));
}

void treeBoxItemImage(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    TreeBoxUnit& unit = treeBox(argCount, args);
    *result = makeInt(unit.itemImage(CommandArguments(argCount, args).int32(1, -1)));
}

void treeBoxHasChildren(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    TreeBoxUnit& unit = treeBox(argCount, args);
    *result = makeBool(unit.hasChildren(CommandArguments(argCount, args).int32(1, -1)));
}

void treeBoxParentItem(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    TreeBoxUnit& unit = treeBox(argCount, args);
    *result = makeInt(unit.parentItem(CommandArguments(argCount, args).int32(1, -1)));
}

void treeBoxAddItem(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    TreeBoxUnit& unit = treeBox(argCount, args);
    const CommandArguments arguments(argCount, args);
    *result = makeInt(unit.addItem(arguments.int32(1, -1), arguments.text(2), arguments.int32(3, -1),
                                   arguments.int32(4, 0)));
}

void treeBoxDeleteItem(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    TreeBoxUnit& unit = treeBox(argCount, args);
    *result = makeBool(unit.deleteItem(CommandArguments(argCount, args).int32(1, -1)));
}

void treeBoxClear(RuntimeValue*, std::int32_t argCount, RuntimeValue* args)
{
    treeBox(argCount, args).clear();
}

void treeBoxExpand(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    TreeBoxUnit& unit = treeBox(argCount, args);
    *result = makeBool(unit.setExpanded(CommandArguments(argCount, args).int32(1, -1), true));
}

void treeBoxCollapse(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    TreeBoxUnit& unit = treeBox(argCount, args);
    *result = makeBool(unit.setExpanded(CommandArguments(argCount, args).int32(1, -1), false));
}

}  // namespace quillora
