// The tree box (TreeBox, 0x00030001): a tree of items, each with a caption, an image index and an
// item value, addressed by its pre-order index (see quillora/list_unit_commands.h for the exact
// numbering). It raises event 0, "current item changed", with the new current item's index.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <QIcon>

#include "runtime/units/unit.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace quillora::runtime {

class TreeBoxUnit : public Unit {
public:
    TreeBoxUnit(LiveWindow& window, const UnitTemplate& unitTemplate);

    QWidget* createWidget(QWidget* parent) override;
    std::string describe() const override;
    // "choose CAPTION" or "choose CAPTION/CAPTION/..." (a path from a top-level item down)
    // makes that item current and raises event 0, also when it was current already, as choosing
    // it again in the folder tree reads its folder again.
    bool automate(std::string_view action, std::string_view argument, std::string& problem) override;
    std::optional<std::vector<TreeItemTemplate>> liveTreeItems() const override;

    // The item operations of the methods. An index outside the items gives -1, 0, false or the
    // empty text and changes nothing.
    int itemCount() const;
    int currentItem() const;
    bool setCurrentItem(int index);
    int itemLevel(int index) const;
    std::string itemText(int index) const;
    std::int32_t itemValue(int index) const;
    int itemImage(int index) const;
    bool hasChildren(int index) const;
    int parentItem(int index) const;
    int addItem(int parentIndex, std::string_view caption, int image, std::int32_t value);
    bool deleteItem(int index);
    void clear();
    bool setExpanded(int index, bool expanded);

    // The index of the item a "choose" path names, or -1.
    int findItemByPath(std::string_view path) const;

private:
    QTreeWidgetItem* itemAt(int index) const;
    int indexOf(const QTreeWidgetItem* item) const;
    QTreeWidgetItem* selectedItem() const;
    QTreeWidgetItem* newItem(std::string_view caption, int image, std::int32_t value) const;
    void selectionChanged();
    // Runs a change of the tree's shape. Qt may report a selection change in the middle of it;
    // event 0 is raised only once the change is complete, so that a handler never meets a tree
    // that is half rebuilt.
    template <typename Change>
    void changeShape(Change&& change);

    QTreeWidget* tree_ = nullptr;
    // Every item in pre-order: position k holds item k. Kept in step with every change, so an
    // index is found without walking the tree.
    std::vector<QTreeWidgetItem*> order_;
    std::vector<QIcon> images_;
    bool changingShape_ = false;
    bool selectionChangedMeanwhile_ = false;
};

}  // namespace quillora::runtime
