// What the automation driver's "dump" and "rows" list of each unit kind: a loaded unit's live
// items, tree items, columns and rows (read through the unit's own interface), the form's for a
// unit that is not loaded or whose kind keeps them (a tab's pages), and a status bar's text.
#include "control_test_window.h"
#include "runtime/automation/dump.h"
#include "runtime/units/combo_box_unit.h"
#include "runtime/units/list_box_unit.h"
#include "runtime/units/list_view.h"
#include "runtime/units/status_bar.h"
#include "runtime/units/tree_box.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace quillora::runtime::control_test {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;

// A window with one unit of every kind whose contents the dump lists.
WindowBuilder listingWindow()
{
    WindowBuilder builder(7);
    builder.add(ff::UnitKind::ComboBox, "组合框_纸张", {10, 10, 120, 24}).properties.items = {"A4", "A5"};
    builder.add(ff::UnitKind::ListBox, "列表框_文件", {10, 40, 120, 80});
    builder.add(ff::UnitKind::Tab, "选择夹_页", {140, 10, 200, 120}).properties.items = {"纸张", "字体"};
    TreeItemTemplate drive;
    drive.level = 1;
    drive.image = 1;
    drive.value = 7;
    drive.caption = "C:";
    builder.add(ff::UnitKind::TreeBox, "树型框_目录", {10, 130, 120, 120}).properties.treeItems = {drive};
    builder.add(ff::UnitKind::ListView, "超级列表框_照片", {140, 140, 300, 120});
    builder.add(ff::UnitKind::StatusBar, "状态条_进度", {0, 370, 500, 24}).properties.text = std::string("就绪");
    builder.add(ff::UnitKind::Label, "标签_说明", {10, 260, 120, 24}).properties.text = std::string("说明");
    return builder;
}

// The dump's lines that start with `key`, without the key.
std::vector<std::string> linesOf(const std::optional<std::string>& dump, const std::string& key)
{
    std::vector<std::string> found;
    if (!dump)
        return found;
    std::istringstream lines(*dump);
    for (std::string line; std::getline(lines, line);)
        if (line.starts_with(key + "\t"))
            found.push_back(line.substr(key.size() + 1));
    return found;
}

class UnitDumpTest : public ControlWindowTest {};

TEST_F(UnitDumpTest, AWindowNotLoadedListsTheContentsOfItsForm)
{
    FormTemplates templates;
    templates.windows().push_back(listingWindow().build());
    installFormTemplates(std::move(templates));

    const std::optional<std::string> dump = dumpWindow("ControlWindow");
    ASSERT_TRUE(dump.has_value());
    EXPECT_THAT(linesOf(dump, "item"),
                ElementsAre("ControlWindow.组合框_纸张\t0\tA4", "ControlWindow.组合框_纸张\t1\tA5",
                            "ControlWindow.选择夹_页\t0\t纸张", "ControlWindow.选择夹_页\t1\t字体"));
    EXPECT_THAT(linesOf(dump, "tree"), ElementsAre("ControlWindow.树型框_目录\t1\t1\t7\tC:"));
    EXPECT_THAT(linesOf(dump, "column"), IsEmpty());
    // Rows are read from a loaded list view only.
    EXPECT_FALSE(dumpRows("ControlWindow", "超级列表框_照片").has_value());
}

TEST_F(UnitDumpTest, ALoadedWindowListsWhatItsUnitsHoldNow)
{
    WindowBuilder builder = listingWindow();
    load(builder);
    unit<ComboBoxUnit>("组合框_纸张").insertItem(2, "Letter\tUS");
    unit<ListBoxUnit>("列表框_文件").insertItem(0, "甲.jpg");
    TreeBoxUnit& tree = unit<TreeBoxUnit>("树型框_目录");
    ASSERT_EQ(tree.addItem(0, "照片", 3, -2), 1);
    ListViewUnit& view = unit<ListViewUnit>("超级列表框_照片");
    view.insertColumn(0, "文件名", 120, ff::Alignment::Left);
    view.insertColumn(1, "文件夹", 80, ff::Alignment::Right);
    view.insertRow(0, "a.jpg");
    view.setCellText(0, 1, "C:\\照片");
    view.insertRow(1, "b\nc.jpg");

    const std::optional<std::string> dump = dumpWindow("ControlWindow");
    ASSERT_TRUE(dump.has_value());
    // Texts stay one field: a tab or line break is written as \t or \n, a backslash as it is.
    EXPECT_THAT(linesOf(dump, "item"),
                ElementsAre("ControlWindow.组合框_纸张\t0\tA4", "ControlWindow.组合框_纸张\t1\tA5",
                            "ControlWindow.组合框_纸张\t2\tLetter\\tUS", "ControlWindow.列表框_文件\t0\t甲.jpg",
                            "ControlWindow.选择夹_页\t0\t纸张", "ControlWindow.选择夹_页\t1\t字体"));
    EXPECT_THAT(linesOf(dump, "tree"),
                ElementsAre("ControlWindow.树型框_目录\t1\t1\t7\tC:", "ControlWindow.树型框_目录\t2\t3\t-2\t照片"));
    EXPECT_THAT(linesOf(dump, "column"), ElementsAre("ControlWindow.超级列表框_照片\t0\t文件名\t120\tleft",
                                                     "ControlWindow.超级列表框_照片\t1\t文件夹\t80\tright"));
    const std::vector<std::string> rows{"ControlWindow.超级列表框_照片\t0\ta.jpg\tC:\\照片",
                                        "ControlWindow.超级列表框_照片\t1\tb\\nc.jpg\t"};
    EXPECT_EQ(linesOf(dump, "row"), rows);
    EXPECT_EQ(linesOf(dumpRows("ControlWindow", "超级列表框_照片"), "row"), rows);
    EXPECT_EQ(linesOf(dumpUnitNamed("ControlWindow", "树型框_目录"), "tree").size(), 2u);
    // Only a list view has rows.
    EXPECT_FALSE(dumpRows("ControlWindow", "列表框_文件").has_value());
    EXPECT_FALSE(dumpRows("ControlWindow", "没有").has_value());
}

TEST_F(UnitDumpTest, OnlyAStatusBarAnswersWithAStatusText)
{
    WindowBuilder builder = listingWindow();
    load(builder);
    StatusBarUnit& bar = unit<StatusBarUnit>("状态条_进度");
    EXPECT_EQ(bar.statusText(), std::optional<std::string>("就绪"));
    ASSERT_TRUE(bar.setPartText(0, "搜索中……"));
    EXPECT_EQ(bar.statusText(), std::optional<std::string>("搜索中……"));
    // A bar whose parts were all taken away still is the status bar, with nothing to say.
    ASSERT_TRUE(bar.deletePart(0));
    EXPECT_EQ(bar.statusText(), std::optional<std::string>(""));
    for (const char* other : {"组合框_纸张", "列表框_文件", "选择夹_页", "树型框_目录", "超级列表框_照片", "标签_说明"}) {
        EXPECT_FALSE(unit(other).statusText().has_value()) << other;
        EXPECT_EQ(unit(other).table() != nullptr, std::string(other) == "超级列表框_照片") << other;
    }
}

}  // namespace
}  // namespace quillora::runtime::control_test
