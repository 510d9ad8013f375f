// The tree box: items from the template in tree order, the item methods with their pre-order
// indexes, event 0 on a change of the current item, and the automation driver's "choose". The
// tree stands where the main window's folder tree does, so that the application's own
// RemoveChildItems runs on it.
#include "form_ids.h"
#include "quillora/entry_table.h"
#include "quillora/events.h"
#include "quillora/list_unit_commands.h"
#include "runtime/core/form_template.h"
#include "runtime/core/memory.h"
#include "runtime/core/window_loader.h"
#include "runtime/core/window_registry.h"
#include "runtime/units/tree_box.h"
#include "shell/folder_tree.h"

#include <QApplication>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillora::runtime {
namespace {

namespace ff = form_format;

constexpr std::uint32_t kWindowId = forms::MainWindow::id;
constexpr std::uint32_t kTreeId = forms::MainWindow::树型框_文件夹;
constexpr std::uint32_t kTreeType = static_cast<std::uint32_t>(ff::UnitKind::TreeBox);

// The arguments of every "current item changed" event, in order.
std::vector<std::int64_t> currentItemEvents;

HandlerResult onCurrentItemChanged(const EventArguments& arguments)
{
    EXPECT_EQ(arguments.count, 1u);
    currentItemEvents.push_back(arguments[0]);
    return noValue();
}

TreeItemTemplate treeItem(std::uint32_t level, std::string caption, std::int32_t image, std::int32_t value)
{
    TreeItemTemplate item;
    item.level = level;
    item.caption = std::move(caption);
    item.image = image;
    item.value = value;
    return item;
}

// A window holding one tree box 树型框_文件夹 with `items`, its event 0 bound.
WindowTemplate windowWithTree(std::vector<TreeItemTemplate> items)
{
    WindowTemplate window;
    window.id = kWindowId;
    UnitTemplate record;
    record.id = ff::makeUnitId(ff::UnitIdClass::WindowRecord, 1);
    record.typeCode = static_cast<std::uint32_t>(ff::UnitKind::Window);
    record.name = "TreeWindow";
    record.rect = {50, 50, 300, 400};
    record.state = ff::kUnitVisible;
    window.units.push_back(record);

    UnitTemplate tree;
    tree.id = kTreeId;
    tree.typeCode = kTreeType;
    tree.name = "树型框_文件夹";
    tree.rect = {8, 8, 188, 300};
    tree.state = ff::kUnitVisible | ff::kUnitTabStop;
    tree.properties.treeItems = std::move(items);
    tree.bindings.push_back({kEventCurrentItemChanged, 0, &onCurrentItemChanged});
    tree.tableIndex = 1;
    window.units.push_back(tree);
    window.tableSize = window.units.size();
    return window;
}

class TreeBoxTest : public testing::Test {
public:
    void load(std::vector<TreeItemTemplate> items)
    {
        FormTemplates templates;
        templates.windows().push_back(windowWithTree(std::move(items)));
        installFormTemplates(std::move(templates));
        ASSERT_TRUE(loadWindow(kWindowId, false, 0));
        unit_ = dynamic_cast<TreeBoxUnit*>(findLiveUnit(kWindowId, kTreeId));
        ASSERT_NE(unit_, nullptr);
        currentItemEvents.clear();
    }

    void SetUp() override
    {
        load({treeItem(1, "桌面", 0, 3), treeItem(1, "我的文档", 1, 4)});
    }

    void TearDown() override
    {
        releaseWindows();
        installFormTemplates({});
    }

    // Calls a tree box method with the unit reference and `values` as its arguments.
    template <typename... Values>
    RuntimeValue call(CommandFunction method, Values... values)
    {
        RuntimeValue arguments[] = {makeUnitRef(kTreeType, kWindowId, kTreeId), values...};
        RuntimeValue result{};
        method(&result, static_cast<std::int32_t>(std::size(arguments)), arguments);
        return result;
    }

    std::string textOf(RuntimeValue value)
    {
        std::string text = asText(value);
        freeBlock(asPointer(value));
        return text;
    }

    int addItem(int parent, const char* caption, int image = 5, int value = 0)
    {
        return asInt(call(treeBoxAddItem, makeInt(parent), makePointer(TypeCode::Text, caption), makeInt(image),
                          makeInt(value)));
    }

    // The captions of all items in index order.
    std::vector<std::string> captions()
    {
        std::vector<std::string> all;
        const int count = asInt(call(treeBoxItemCount));
        for (int index = 0; index < count; ++index)
            all.push_back(textOf(call(treeBoxItemText, makeInt(index))));
        return all;
    }

    TreeBoxUnit* unit_ = nullptr;
};

using Captions = std::vector<std::string>;

TEST_F(TreeBoxTest, StartsWithTheTemplateItems)
{
    EXPECT_EQ(asInt(call(treeBoxItemCount)), 2);
    EXPECT_EQ(captions(), (Captions{"桌面", "我的文档"}));
    EXPECT_EQ(asInt(call(treeBoxItemValue, makeInt(0))), 3);
    EXPECT_EQ(asInt(call(treeBoxItemValue, makeInt(1))), 4);
    EXPECT_EQ(asInt(call(treeBoxItemImage, makeInt(0))), 0);
    EXPECT_EQ(asInt(call(treeBoxItemImage, makeInt(1))), 1);
    EXPECT_EQ(asInt(call(treeBoxItemLevel, makeInt(1))), 1);
    EXPECT_EQ(asInt(call(treeBoxParentItem, makeInt(1))), -1);
    EXPECT_EQ(asInt(call(treeBoxCurrentItem)), -1);
}

TEST_F(TreeBoxTest, TemplateLevelsNestItemsInTreeOrder)
{
    releaseWindows();
    load({treeItem(1, "A", 0, 1), treeItem(2, "A1", 5, 0), treeItem(3, "A1x", 5, 0), treeItem(2, "A2", 5, 0),
          treeItem(1, "B", 1, 2), treeItem(4, "B-deep", 5, 0)});
    EXPECT_EQ(captions(), (Captions{"A", "A1", "A1x", "A2", "B", "B-deep"}));
    EXPECT_EQ(asInt(call(treeBoxParentItem, makeInt(2))), 1);
    EXPECT_EQ(asInt(call(treeBoxParentItem, makeInt(3))), 0);
    // A level that skips ahead is one deeper than the item before it.
    EXPECT_EQ(asInt(call(treeBoxItemLevel, makeInt(5))), 2);
    EXPECT_EQ(asInt(call(treeBoxParentItem, makeInt(5))), 4);
}

TEST_F(TreeBoxTest, EveryImageIndexHasAPicture)
{
    for (int image = 0; image <= 7; ++image)
        addItem(-1, "drive", image);
    auto* tree = static_cast<QTreeWidget*>(unit_->widget());
    for (int image = 0; image <= 7; ++image)
        EXPECT_FALSE(tree->topLevelItem(2 + image)->icon(0).isNull()) << "image " << image;
    addItem(-1, "none", 8);
    EXPECT_TRUE(tree->topLevelItem(10)->icon(0).isNull());
}

TEST_F(TreeBoxTest, TopLevelItemsAreAppendedAfterTheLast)
{
    EXPECT_EQ(addItem(-1, "System(C:)", 3), 2);
    EXPECT_EQ(addItem(-1, "(D:)", 4), 3);
    EXPECT_EQ(captions(), (Captions{"桌面", "我的文档", "System(C:)", "(D:)"}));
    EXPECT_EQ(asInt(call(treeBoxItemValue, makeInt(3))), 0);
    EXPECT_EQ(asInt(call(treeBoxItemImage, makeInt(3))), 4);
}

TEST_F(TreeBoxTest, AParentLeftOutAddsATopLevelItem)
{
    RuntimeValue arguments[] = {makeUnitRef(kTreeType, kWindowId, kTreeId), RuntimeValue{},
                                makePointer(TypeCode::Text, "top")};
    RuntimeValue result{};
    treeBoxAddItem(&result, 3, arguments);
    EXPECT_EQ(asInt(result), 2);
    EXPECT_EQ(asInt(call(treeBoxItemImage, makeInt(2))), -1);
    EXPECT_EQ(asInt(call(treeBoxItemValue, makeInt(2))), 0);
}

TEST_F(TreeBoxTest, AChildFollowsItsParentsLastDescendantAndShiftsLaterItems)
{
    EXPECT_EQ(addItem(0, "first"), 1);
    EXPECT_EQ(addItem(1, "deeper"), 2);
    EXPECT_EQ(addItem(0, "second"), 3);
    EXPECT_EQ(captions(), (Captions{"桌面", "first", "deeper", "second", "我的文档"}));
    EXPECT_EQ(asInt(call(treeBoxItemLevel, makeInt(2))), 3);
    EXPECT_EQ(asInt(call(treeBoxParentItem, makeInt(3))), 0);
    EXPECT_TRUE(asBool(call(treeBoxHasChildren, makeInt(0))));
    EXPECT_TRUE(asBool(call(treeBoxHasChildren, makeInt(1))));
    EXPECT_FALSE(asBool(call(treeBoxHasChildren, makeInt(2))));
    EXPECT_EQ(asInt(call(treeBoxItemValue, makeInt(4))), 4);
}

TEST_F(TreeBoxTest, AddingUnderAnItemThatDoesNotExistFails)
{
    EXPECT_EQ(addItem(2, "orphan"), -1);
    EXPECT_EQ(asInt(call(treeBoxItemCount)), 2);
}

TEST_F(TreeBoxTest, DeletingAnItemDeletesItsDescendants)
{
    addItem(0, "first");
    addItem(1, "deeper");
    addItem(0, "second");
    EXPECT_TRUE(asBool(call(treeBoxDeleteItem, makeInt(1))));
    EXPECT_EQ(captions(), (Captions{"桌面", "second", "我的文档"}));
    EXPECT_FALSE(asBool(call(treeBoxDeleteItem, makeInt(3))));
}

// The folder tree's RemoveChildItems on a tree built from 桌面 and 我的文档 by `additions`
// ({parent index, caption}, in order): the captions left after removing the children of `item`.
struct RemoveChildItemsCase {
    const char* name;
    std::vector<std::pair<int, const char*>> additions;
    int item;
    Captions expected;
};

class RemoveChildItemsTest : public TreeBoxTest, public testing::WithParamInterface<RemoveChildItemsCase> {};

TEST_P(RemoveChildItemsTest, RemovesTheItemsOwnDescendantsOnly)
{
    for (const auto& [parent, caption] : GetParam().additions)
        ASSERT_GE(addItem(parent, caption), 0) << caption;
    app::RemoveChildItems(GetParam().item);
    EXPECT_EQ(captions(), GetParam().expected);
}

// Indexes after the additions: 桌面 0, its sub-folders, then 我的文档 and its sub-folders.
INSTANTIATE_TEST_SUITE_P(FolderTree, RemoveChildItemsTest, testing::Values(
    RemoveChildItemsCase{"LaterTopLevelItemKeepsItsSubFolders",
                         {{0, "a"}, {1, "a1"}, {0, "b"}, {4, "文档子"}, {5, "文档孙"}}, 0,
                         {"桌面", "我的文档", "文档子", "文档孙"}},
    RemoveChildItemsCase{"EarlierTopLevelItemKeepsItsSubFolders",
                         {{0, "a"}, {0, "b"}, {3, "文档子"}, {4, "文档孙"}}, 3,
                         {"桌面", "a", "b", "我的文档"}},
    RemoveChildItemsCase{"NestedItemKeepsItsSiblingsAndTheirChildren",
                         {{0, "a"}, {1, "a1"}, {2, "a1x"}, {0, "b"}, {4, "b1"}}, 1,
                         {"桌面", "a", "b", "b1", "我的文档"}},
    RemoveChildItemsCase{"ItemWithoutChildrenChangesNothing",
                         {{0, "a"}, {0, "b"}}, 1,
                         {"桌面", "a", "b", "我的文档"}},
    RemoveChildItemsCase{"LastItemChangesNothing",
                         {{0, "a"}}, 2,
                         {"桌面", "a", "我的文档"}}),
    [](const testing::TestParamInfo<RemoveChildItemsCase>& info) { return std::string(info.param.name); });

TEST_F(TreeBoxTest, ChildrenReadAgainAfterRemoveChildItemsLeaveOneSet)
{
    addItem(0, "a");
    addItem(0, "b");
    addItem(3, "文档子");
    app::RemoveChildItems(0);
    addItem(0, "a");
    addItem(0, "b");
    EXPECT_EQ(captions(), (Captions{"桌面", "a", "b", "我的文档", "文档子"}));
}

TEST_F(TreeBoxTest, IndexesOutsideTheItemsAreIgnored)
{
    EXPECT_EQ(textOf(call(treeBoxItemText, makeInt(7))), "");
    EXPECT_EQ(asInt(call(treeBoxItemLevel, makeInt(-1))), 0);
    EXPECT_EQ(asInt(call(treeBoxItemImage, makeInt(2))), -1);
    EXPECT_EQ(asInt(call(treeBoxParentItem, makeInt(9))), -1);
    EXPECT_FALSE(asBool(call(treeBoxExpand, makeInt(2))));
    EXPECT_FALSE(asBool(call(treeBoxSetCurrentItem, makeInt(2))));
    EXPECT_TRUE(currentItemEvents.empty());
}

TEST_F(TreeBoxTest, SettingTheCurrentItemRaisesEventZeroWithItsIndex)
{
    addItem(1, "sub");
    EXPECT_TRUE(asBool(call(treeBoxSetCurrentItem, makeInt(2))));
    EXPECT_EQ(currentItemEvents, (std::vector<std::int64_t>{2}));
    EXPECT_EQ(asInt(call(treeBoxCurrentItem)), 2);
    // Its parent is expanded so that it shows.
    auto* tree = static_cast<QTreeWidget*>(unit_->widget());
    EXPECT_TRUE(tree->topLevelItem(1)->isExpanded());
}

TEST_F(TreeBoxTest, NoItemIsCurrentAfterSettingMinusOne)
{
    call(treeBoxSetCurrentItem, makeInt(0));
    EXPECT_TRUE(asBool(call(treeBoxSetCurrentItem, makeInt(-1))));
    EXPECT_EQ(asInt(call(treeBoxCurrentItem)), -1);
    EXPECT_EQ(currentItemEvents, (std::vector<std::int64_t>{0}));
}

TEST_F(TreeBoxTest, TheFocusAloneMakesNoItemCurrent)
{
    QWidget* tree = unit_->widget();
    tree->activateWindow();
    tree->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(asInt(call(treeBoxCurrentItem)), -1);
    EXPECT_TRUE(currentItemEvents.empty());
}

TEST_F(TreeBoxTest, AddingChildrenInTheHandlerKeepsTheCurrentItem)
{
    // The folder tree's handler reads sub-folders into the chosen item while its event runs.
    static TreeBoxTest* test = nullptr;
    test = this;
    FormTemplates templates;
    WindowTemplate window = windowWithTree({treeItem(1, "桌面", 0, 3), treeItem(1, "我的文档", 1, 4)});
    window.units[1].bindings[0].handler = [](const EventArguments& arguments) {
        currentItemEvents.push_back(arguments[0]);
        app::RemoveChildItems(static_cast<std::int32_t>(arguments[0]));
        test->addItem(static_cast<int>(arguments[0]), "x");
        test->addItem(static_cast<int>(arguments[0]), "y");
        test->call(treeBoxExpand, makeInt(static_cast<int>(arguments[0])));
        return noValue();
    };
    releaseWindows();
    templates.windows().push_back(window);
    installFormTemplates(std::move(templates));
    ASSERT_TRUE(loadWindow(kWindowId, false, 0));
    unit_ = dynamic_cast<TreeBoxUnit*>(findLiveUnit(kWindowId, kTreeId));
    currentItemEvents.clear();

    std::string problem;
    ASSERT_TRUE(unit_->automate("choose", "我的文档", problem)) << problem;
    ASSERT_TRUE(unit_->automate("choose", "我的文档", problem)) << problem;
    EXPECT_EQ(currentItemEvents, (std::vector<std::int64_t>{1, 1}));
    EXPECT_EQ(captions(), (Captions{"桌面", "我的文档", "x", "y"}));
    EXPECT_EQ(asInt(call(treeBoxCurrentItem)), 1);
}

TEST_F(TreeBoxTest, DeletingTheCurrentItemRaisesEventZeroForTheItemThatTakesItsPlace)
{
    addItem(0, "a");
    call(treeBoxSetCurrentItem, makeInt(1));
    currentItemEvents.clear();
    EXPECT_TRUE(asBool(call(treeBoxDeleteItem, makeInt(1))));
    EXPECT_EQ(asInt(call(treeBoxCurrentItem)), 0);
    EXPECT_EQ(currentItemEvents, (std::vector<std::int64_t>{0}));
}

TEST_F(TreeBoxTest, ChoosingAPathMakesThatItemCurrent)
{
    addItem(-1, "System(C:)", 3);
    addItem(2, "first");
    addItem(3, "second");
    std::string problem;
    ASSERT_TRUE(unit_->automate("choose", "System(C:)/first/second", problem)) << problem;
    EXPECT_EQ(currentItemEvents, (std::vector<std::int64_t>{4}));
    EXPECT_EQ(unit_->currentItem(), 4);
}

TEST_F(TreeBoxTest, ChoosingACaptionAloneFindsAnItemAtAnyLevel)
{
    addItem(0, "Photos");
    std::string problem;
    ASSERT_TRUE(unit_->automate("choose", "Photos", problem)) << problem;
    EXPECT_EQ(currentItemEvents, (std::vector<std::int64_t>{1}));
}

TEST_F(TreeBoxTest, ChoosingTheCurrentItemAgainRaisesEventZeroAgain)
{
    std::string problem;
    ASSERT_TRUE(unit_->automate("choose", "桌面", problem));
    ASSERT_TRUE(unit_->automate("choose", "桌面", problem));
    EXPECT_EQ(currentItemEvents, (std::vector<std::int64_t>{0, 0}));
}

TEST_F(TreeBoxTest, ChoosingAMissingItemIsRefused)
{
    std::string problem;
    EXPECT_FALSE(unit_->automate("choose", "桌面/nowhere", problem));
    EXPECT_EQ(problem, "树型框_文件夹 has no item 桌面/nowhere");
    EXPECT_FALSE(unit_->automate("click", "", problem));
    EXPECT_TRUE(currentItemEvents.empty());
}

TEST_F(TreeBoxTest, DescribeIndentsEachItemByItsLevel)
{
    addItem(0, "first");
    addItem(1, "deeper");
    EXPECT_EQ(unit_->describe(), "桌面\n  first\n    deeper\n我的文档");
}

TEST_F(TreeBoxTest, ExpandAndCollapseShowAndHideChildren)
{
    addItem(0, "first");
    auto* tree = static_cast<QTreeWidget*>(unit_->widget());
    EXPECT_TRUE(asBool(call(treeBoxExpand, makeInt(0))));
    EXPECT_TRUE(tree->topLevelItem(0)->isExpanded());
    EXPECT_TRUE(asBool(call(treeBoxCollapse, makeInt(0))));
    EXPECT_FALSE(tree->topLevelItem(0)->isExpanded());
}

TEST_F(TreeBoxTest, ClearDeletesEveryItem)
{
    addItem(0, "first");
    call(treeBoxClear);
    EXPECT_EQ(asInt(call(treeBoxItemCount)), 0);
    EXPECT_EQ(addItem(-1, "again"), 0);
}

}  // namespace
}  // namespace quillora::runtime
