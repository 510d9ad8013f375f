// The runtime reads back what the form compiler writes: a form source written here, with every
// kind and property the program's windows use, is compiled, read through the runtime's reader
// and compared with the source, property by property. The program's own compiled forms are
// checked only for what does not change with a layout edit: they read cleanly, their windows
// carry the generated ids, and every binding reaches its handler.
#include "form_ids.h"
#include "runtime/core/form_template.h"
#include "tools/form_compiler/form_compiler.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

namespace quillora::runtime {
namespace {

namespace ff = form_format;
namespace qf = quillora::forms;
using form_compiler::CompiledForms;
using form_compiler::compileForms;

// Handler entry k answers with k, so a test can tell which handler a binding reached.
template <int N>
HandlerResult answerIndex(const EventArguments&)
{
    return returnValue(N);
}

constexpr EventHandler kEightHandlers[] = {&answerIndex<0>, &answerIndex<1>, &answerIndex<2>, &answerIndex<3>,
                                           &answerIndex<4>, &answerIndex<5>, &answerIndex<6>, &answerIndex<7>};

// One window and one unit of every kind with the properties the program's forms give them.
constexpr const char* kEveryKind = R"(window 样例窗口
    text "样例：窗口"
    rect 50, 60, 590, 427
    state visible
    options drag-move esc-closes
    background stretched
    on 创建完毕 窗口_创建完毕
    on 首次激活 窗口_首次激活

unit 分组框_设置 GroupBox
    rect 4, 220, 216, 168
    state visible
    text "照片打印方式"

unit 组合框_对齐 ComboBox
    parent 分组框_设置
    rect 75, 146, 48, 20
    state visible tabstop
    style drop-down-list
    item "左对齐"
    item "居中"
    item "右对齐"
    selected 1
    on 列表被关闭 刷新预览

unit 列表框_纸张 ListBox
    parent 分组框_设置
    rect 8, 11, 120, 112
    state visible tabstop
    item "A4"
    item "Letter"
    on 列表项被选择 列表框_纸张_列表项被选择

unit 选择框_预览 CheckBox
    rect 8, 200, 80, 16
    state visible tabstop disabled
    text "实时预览"
    checked

unit 单选框_横向 RadioBox
    rect 8, 38, 88, 16
    state visible tabstop
    text "横向打印→"
    on 被单击 刷新预览

unit 滑块条_行 SliderBar
    rect 98, 39, 120, 15
    state visible tabstop
    range 4, 80
    position 20

unit 进度条 ProcessBar
    rect 3, 2, 368, 16
    state visible
    range 0, 100

unit 标签_边距 Label
    parent 分组框_设置
    rect 16, 16, 136, 145
    state visible
    text "上边距：\n\n下边距："
    align right
    font "楷体" 12 bold italic

unit 编辑框_宽度 EditBox
    rect 26, 139, 35, 20
    state visible
    text "210"
    align centre
    options multi-line

unit 按钮_搜索 SuperBtn
    rect 104, 461, 40, 20
    state visible tabstop
    text "搜索"
    tooltip "把搜索到的文件放到剪贴板里去。"

unit 树型框_文件夹 TreeBox
    rect 8, 32, 188, 416
    state visible tabstop
    node 1 "桌面" image 0 value 3
    node 2 "我的文档" image 1 value 4

unit 超级列表框_显示 ListView
    rect 208, 31, 456, 384
    state visible tabstop
    style report
    options full-row-select grid-lines

unit 打印机1 printer
    rect 68, 162, 32, 24
    state
)";

class FormRoundTrip : public testing::Test {
protected:
    void SetUp() override
    {
        compiled_ = compileForms({{"every_kind.form", kEveryKind}});
        ASSERT_TRUE(compiled_.ok()) << compiled_.diagnostics.front().text();
        ASSERT_LE(compiled_.handlers.size(), std::size(kEightHandlers));
        read_ = readFormTemplates(compiled_.templateData, {kEightHandlers, compiled_.handlers.size()});
        ASSERT_TRUE(read_.ok()) << read_.error->message << " at " << read_.error->offset;
        ASSERT_EQ(read_.templates.windows().size(), 1u);
    }

    const WindowTemplate& window() const { return read_.templates.windows().front(); }

    const UnitTemplate& unit(std::string_view name) const
    {
        const UnitTemplate* found = window().findUnitByName(name);
        EXPECT_NE(found, nullptr) << name;
        return found ? *found : window().windowRecord();
    }

    // The name of the handler an event of a unit reaches after relocation; "" when none.
    std::string handlerOf(const UnitTemplate& record, std::int32_t event) const
    {
        const EventBinding* binding = record.bindingFor(event);
        if (!binding || !binding->handler)
            return "";
        const std::int64_t index = binding->handler(EventArguments{}).value;
        EXPECT_EQ(binding->offset, index * sizeof(EventHandler));
        return compiled_.handlers.at(static_cast<std::size_t>(index));
    }

    CompiledForms compiled_;
    FormTemplateReadResult read_;
};

TEST_F(FormRoundTrip, WindowRecordComesBackAsWritten)
{
    const UnitTemplate& record = window().windowRecord();
    EXPECT_EQ(record.name, "样例窗口");
    EXPECT_EQ(record.typeCode, static_cast<std::uint32_t>(ff::UnitKind::Window));
    EXPECT_EQ(record.properties.text, "样例：窗口");
    EXPECT_EQ(record.rect.left, 50);
    EXPECT_EQ(record.rect.top, 60);
    EXPECT_EQ(record.rect.width, 590);
    EXPECT_EQ(record.rect.height, 427);
    EXPECT_TRUE(record.visible());
    EXPECT_EQ(record.properties.options, ff::kWindowMoveByDragging | ff::kWindowEscCloses);
    EXPECT_EQ(record.properties.backgroundMode, ff::BackgroundMode::Stretched);
    EXPECT_EQ(handlerOf(record, kEventCreated), "窗口_创建完毕");
    EXPECT_EQ(handlerOf(record, kEventFirstActivated), "窗口_首次激活");
    EXPECT_EQ(handlerOf(record, kEventMayClose), "");
}

TEST_F(FormRoundTrip, UnitsKeepTheirOrderPlaceParentAndState)
{
    std::vector<std::string> names;
    for (std::size_t index = 1; index < window().units.size(); ++index)
        names.push_back(window().units[index].name);
    EXPECT_EQ(names, (std::vector<std::string>{"分组框_设置", "组合框_对齐", "列表框_纸张", "选择框_预览", "单选框_横向",
                                               "滑块条_行", "进度条", "标签_边距", "编辑框_宽度", "按钮_搜索",
                                               "树型框_文件夹", "超级列表框_显示", "打印机1"}));
    const UnitTemplate& group = unit("分组框_设置");
    const UnitTemplate& combo = unit("组合框_对齐");
    EXPECT_EQ(combo.parent, group.id);
    EXPECT_EQ(combo.rect.left, 75);
    EXPECT_EQ(combo.rect.top, 146);
    EXPECT_EQ(combo.rect.width, 48);
    EXPECT_EQ(combo.rect.height, 20);
    EXPECT_EQ(group.children, (std::vector<std::uint32_t>{combo.id, unit("列表框_纸张").id, unit("标签_边距").id}));
    EXPECT_EQ(unit("选择框_预览").parent, 0u);
    EXPECT_TRUE(unit("选择框_预览").disabled());
    EXPECT_TRUE(unit("选择框_预览").tabStop());
    EXPECT_FALSE(unit("标签_边距").tabStop());
    EXPECT_FALSE(unit("打印机1").visible());
    EXPECT_EQ(unit("打印机1").typeCode, static_cast<std::uint32_t>(ff::UnitKind::Printer));
}

TEST_F(FormRoundTrip, ListKindsKeepItemsSelectionAndStyle)
{
    const UnitTemplate& combo = unit("组合框_对齐");
    EXPECT_EQ(combo.properties.items, (std::vector<std::string>{"左对齐", "居中", "右对齐"}));
    EXPECT_EQ(combo.properties.selectedIndex, 1);
    EXPECT_EQ(combo.properties.style, static_cast<std::uint32_t>(ff::ComboBoxStyle::DropDownList));
    EXPECT_EQ(handlerOf(combo, kEventListClosedUp), "刷新预览");
    EXPECT_EQ(handlerOf(combo, kEventListItemSelected), "");

    const UnitTemplate& list = unit("列表框_纸张");
    EXPECT_EQ(list.properties.items, (std::vector<std::string>{"A4", "Letter"}));
    EXPECT_FALSE(list.properties.selectedIndex.has_value());
    EXPECT_EQ(handlerOf(list, kEventListItemSelected), "列表框_纸张_列表项被选择");

    const UnitTemplate& view = unit("超级列表框_显示");
    EXPECT_EQ(view.properties.style, static_cast<std::uint32_t>(ff::ListViewStyle::Report));
    EXPECT_EQ(view.properties.options, ff::kListViewFullRowSelect | ff::kListViewGridLines);

    const std::vector<TreeItemTemplate>& nodes = unit("树型框_文件夹").properties.treeItems;
    ASSERT_EQ(nodes.size(), 2u);
    EXPECT_EQ(nodes[0].caption, "桌面");
    EXPECT_EQ(nodes[0].level, 1u);
    EXPECT_EQ(nodes[0].image, 0);
    EXPECT_EQ(nodes[0].value, 3);
    EXPECT_EQ(nodes[1].caption, "我的文档");
    EXPECT_EQ(nodes[1].level, 2u);
    EXPECT_EQ(nodes[1].image, 1);
    EXPECT_EQ(nodes[1].value, 4);
}

TEST_F(FormRoundTrip, TicksRangesAndPositions)
{
    EXPECT_EQ(unit("选择框_预览").properties.checked, true);
    EXPECT_EQ(unit("选择框_预览").properties.text, "实时预览");
    // A radio box the source does not tick has no stored tick at all.
    EXPECT_FALSE(unit("单选框_横向").properties.checked.has_value());
    EXPECT_EQ(handlerOf(unit("单选框_横向"), kEventClicked), "刷新预览");

    const KindProperties& slider = unit("滑块条_行").properties;
    EXPECT_EQ(slider.rangeMinimum, 4);
    EXPECT_EQ(slider.rangeMaximum, 80);
    EXPECT_EQ(slider.position, 20);
    const KindProperties& bar = unit("进度条").properties;
    EXPECT_EQ(bar.rangeMinimum, 0);
    EXPECT_EQ(bar.rangeMaximum, 100);
    EXPECT_FALSE(bar.position.has_value());
}

TEST_F(FormRoundTrip, TextsAlignmentsFontsAndTooltips)
{
    const KindProperties& label = unit("标签_边距").properties;
    EXPECT_EQ(label.text, "上边距：\n\n下边距：");
    EXPECT_EQ(label.alignment, ff::Alignment::Right);
    ASSERT_TRUE(label.font.has_value());
    EXPECT_EQ(label.font->faceName, "楷体");
    EXPECT_EQ(label.font->sizePoints, 12);
    EXPECT_TRUE(label.font->bold);
    EXPECT_TRUE(label.font->italic);
    EXPECT_FALSE(label.font->underline);
    EXPECT_FALSE(label.font->strikeOut);

    const KindProperties& edit = unit("编辑框_宽度").properties;
    EXPECT_EQ(edit.text, "210");
    EXPECT_EQ(edit.alignment, ff::Alignment::Centre);
    EXPECT_EQ(edit.options, ff::kEditBoxMultiLine);
    EXPECT_FALSE(edit.font.has_value());

    EXPECT_EQ(unit("按钮_搜索").properties.text, "搜索");
    EXPECT_EQ(unit("按钮_搜索").properties.tooltip, "把搜索到的文件放到剪贴板里去。");
    EXPECT_EQ(unit("分组框_设置").properties.text, "照片打印方式");
}

// The program's own forms as the build compiled them.
TEST(BuiltForms, ReadBackWithTheGeneratedIdsAndEveryBindingReachesItsHandler)
{
    std::vector<EventHandler> handlers(qf::kHandlerCount, &answerIndex<0>);
    const FormTemplateReadResult read =
        readFormTemplates({qf::templateData, qf::templateDataBytes}, {handlers.data(), handlers.size()});
    ASSERT_TRUE(read.ok()) << read.error->message << " at " << read.error->offset;
    const auto& windows = read.templates.windows();
    ASSERT_EQ(windows.size(), qf::kWindowCount);
    EXPECT_EQ(read.templates.findWindowByName("MainWindow")->id, qf::MainWindow::id);
    EXPECT_EQ(read.templates.findWindowByName("PictureWindow")->id, qf::PictureWindow::id);
    EXPECT_EQ(read.templates.findWindowByName("PrintSettingsWindow")->id, qf::PrintSettingsWindow::id);
    EXPECT_EQ(read.templates.findWindowByName("ProgressWindow")->id, qf::ProgressWindow::id);
    EXPECT_EQ(read.templates.findWindow(qf::MainWindow::id)->findUnitByName("树型框_文件夹")->id,
              qf::MainWindow::树型框_文件夹);
    for (const WindowTemplate& window : windows)
        for (const UnitTemplate& record : window.units)
            for (const EventBinding& binding : record.bindings) {
                if (binding.offset == ff::kNoHandler)
                    continue;
                EXPECT_NE(binding.handler, nullptr) << window.name() << "." << record.name;
            }
}

}  // namespace
}  // namespace quillora::runtime
