// The runtime reads back what the form compiler wrote at build time: the four windows of the
// program with their units, tab pages, menu items and bindings.
#include "form_ids.h"
#include "runtime/core/form_template.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace quillora::runtime {
namespace {

namespace ff = form_format;
namespace qf = quillora::forms;

// A handler table of the application's shape, built from the generated list: entry k answers
// with k, so a test can tell which handler a binding reached.
template <int N>
HandlerResult answerIndex(const EventArguments&)
{
    return returnValue(N);
}

constexpr int kCounterBase = __COUNTER__ + 1;
#define QUILLORA_HANDLER(name) &answerIndex<__COUNTER__ - kCounterBase>,
const EventHandler kHandlers[] = {
#include "handler_names.inc"
};
#undef QUILLORA_HANDLER
#define QUILLORA_HANDLER(name) #name,
const char* const kHandlerNames[] = {
#include "handler_names.inc"
};
#undef QUILLORA_HANDLER

static_assert(std::size(kHandlers) == qf::kHandlerCount);

// The name of the handler an event of a unit is bound to; "" when none.
std::string boundHandler(const UnitTemplate& unit, std::int32_t event)
{
    const EventBinding* binding = unit.bindingFor(event);
    if (!binding || !binding->handler)
        return "";
    const std::int64_t index = binding->handler(EventArguments{}).value;
    EXPECT_EQ(binding->offset, index * sizeof(EventHandler));
    return kHandlerNames[index];
}

class FormRoundTrip : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        result = new FormTemplateReadResult(
            readFormTemplates({qf::templateData, qf::templateDataBytes}, {kHandlers, std::size(kHandlers)}));
    }
    static void TearDownTestSuite()
    {
        delete result;
        result = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(result->ok()) << result->error->message << " at " << result->error->offset;
    }

    const WindowTemplate& window(std::uint32_t windowId)
    {
        const WindowTemplate* found = result->templates.findWindow(windowId);
        EXPECT_NE(found, nullptr);
        return *found;
    }
    const UnitTemplate& unit(const WindowTemplate& window, std::uint32_t unitId)
    {
        const UnitTemplate* found = window.findUnit(unitId);
        EXPECT_NE(found, nullptr) << std::hex << unitId;
        return *found;
    }

    static FormTemplateReadResult* result;
};

FormTemplateReadResult* FormRoundTrip::result = nullptr;

TEST_F(FormRoundTrip, TheFourWindowsAreThereInDirectoryOrder)
{
    const auto& windows = result->templates.windows();
    ASSERT_EQ(windows.size(), qf::kWindowCount);
    EXPECT_EQ(windows[0].name(), "MainWindow");
    EXPECT_EQ(windows[1].name(), "PictureWindow");
    EXPECT_EQ(windows[2].name(), "PrintSettingsWindow");
    EXPECT_EQ(windows[3].name(), "ProgressWindow");
    EXPECT_EQ(windows[0].id, qf::MainWindow::id);
    EXPECT_EQ(windows[3].id, qf::ProgressWindow::id);
    EXPECT_EQ(result->templates.findWindowByName("PrintSettingsWindow")->id, qf::PrintSettingsWindow::id);
    for (const WindowTemplate& window : windows) {
        EXPECT_EQ(window.windowRecord().typeCode, qf::unit_type::window);
        EXPECT_EQ(window.windowRecord().id, qf::MainWindow::ownRecord);
    }
}

TEST_F(FormRoundTrip, MainWindowRecordAndTabPages)
{
    const WindowTemplate& main = window(qf::MainWindow::id);
    const UnitTemplate& record = main.windowRecord();
    EXPECT_EQ(record.properties.text, "Quillora（www.quillora.example）");
    EXPECT_EQ(record.rect.left, 50);
    EXPECT_EQ(record.rect.width, 687);
    EXPECT_EQ(record.rect.height, 545);
    EXPECT_TRUE(record.visible());
    EXPECT_EQ(boundHandler(record, kEventCreated), "MainWindow_创建完毕");
    EXPECT_EQ(boundHandler(record, kEventMayClose), "MainWindow_可否被关闭");
    EXPECT_EQ(boundHandler(record, kEventShown), "");

    const UnitTemplate& tab = unit(main, qf::MainWindow::选择夹1);
    EXPECT_EQ(tab.typeCode, qf::unit_type::Tab);
    EXPECT_EQ(tab.properties.items, (std::vector<std::string>{"文件夹", "库文件", "剪贴板"}));
    EXPECT_EQ(tab.pageChildren(0),
              (std::vector<std::uint32_t>{qf::MainWindow::树型框_文件夹, qf::MainWindow::按钮_文件夹搜索,
                                          qf::MainWindow::按钮_文件夹停止搜索, qf::MainWindow::选择框_包括文件夹,
                                          qf::MainWindow::分组框_文件夹打印}));
    EXPECT_EQ(tab.pageChildren(1), std::vector<std::uint32_t>{qf::MainWindow::标签1});
    EXPECT_EQ(tab.pageChildren(2), std::vector<std::uint32_t>{qf::MainWindow::标签2});
    EXPECT_EQ(unit(main, qf::MainWindow::标签2).tabPage, 2u);
    EXPECT_EQ(unit(main, qf::MainWindow::标签2).parent, qf::MainWindow::选择夹1);
}

TEST_F(FormRoundTrip, MainWindowUnits)
{
    const WindowTemplate& main = window(qf::MainWindow::id);
    const UnitTemplate& tree = unit(main, qf::MainWindow::树型框_文件夹);
    EXPECT_EQ(tree.name, "树型框_文件夹");
    EXPECT_EQ(tree.typeCode, qf::unit_type::TreeBox);
    ASSERT_EQ(tree.properties.treeItems.size(), 2u);
    EXPECT_EQ(tree.properties.treeItems[1].caption, "我的文档");
    EXPECT_EQ(tree.properties.treeItems[1].image, 1);
    EXPECT_EQ(tree.properties.treeItems[1].value, 4);
    EXPECT_EQ(boundHandler(tree, kEventCurrentItemChanged), "ShowSubFolders");

    const UnitTemplate& search = unit(main, qf::MainWindow::按钮_文件夹搜索);
    EXPECT_EQ(search.typeCode, qf::unit_type::SuperBtn);
    EXPECT_EQ(search.rect.left, 104);
    EXPECT_EQ(search.rect.top, 461);
    EXPECT_EQ(search.properties.text, "搜索");
    EXPECT_EQ(search.properties.tooltip, "把搜索到符合标准的文件放到剪贴板里去。");
    EXPECT_TRUE(search.tabStop());
    EXPECT_EQ(boundHandler(search, kEventClicked), "按钮_文件夹搜索_被单击");

    const UnitTemplate& group = unit(main, qf::MainWindow::分组框_文件夹打印);
    EXPECT_EQ(group.children.size(), 6u);
    EXPECT_EQ(unit(main, qf::MainWindow::标签_页眉页脚).properties.text, "页眉：\n\n页脚：");
    EXPECT_EQ(unit(main, qf::MainWindow::编辑框_页脚).parent, qf::MainWindow::分组框_文件夹打印);
    EXPECT_EQ(boundHandler(unit(main, qf::MainWindow::编辑框_页眉), kEventGotFocus), "编辑框_页眉_获得焦点");

    const UnitTemplate& list = unit(main, qf::MainWindow::超级列表框_显示);
    EXPECT_EQ(list.typeCode, qf::unit_type::ListView);
    EXPECT_EQ(list.properties.style, static_cast<std::uint32_t>(ff::ListViewStyle::Report));
    EXPECT_EQ(boundHandler(list, kEventDoubleClicked), "ShowPicture");
    EXPECT_EQ(list.parent, 0u);

    EXPECT_FALSE(unit(main, qf::MainWindow::高级表格_原始数据).visible());
    EXPECT_TRUE(unit(main, qf::MainWindow::状态条1).visible());
}

TEST_F(FormRoundTrip, MainWindowHiddenMenuWithSevenItems)
{
    const WindowTemplate& main = window(qf::MainWindow::id);
    ASSERT_EQ(main.menuItems.size(), 8u);
    const MenuItemTemplate& menu = main.menuItems.front();
    EXPECT_EQ(menu.id, qf::MainWindow::菜单_高级表格操作);
    EXPECT_TRUE(ff::isMenuItemId(menu.id));
    EXPECT_EQ(menu.level, 0u);
    EXPECT_TRUE(menu.hidden());
    std::vector<std::string> captions;
    for (std::size_t k = 1; k < main.menuItems.size(); ++k) {
        const MenuItemTemplate& item = main.menuItems[k];
        EXPECT_EQ(item.level, 1u);
        EXPECT_EQ(item.handler, nullptr);
        EXPECT_EQ(item.offset, ff::kNoHandler);
        captions.push_back(item.caption);
    }
    EXPECT_EQ(captions, (std::vector<std::string>{"删除当前行", "前插一行", "后插一行", "-", "删除当前列", "前插一列",
                                                  "后插一列"}));
    EXPECT_TRUE(main.menuItems[4].isSeparator());
    // Menu items follow the units in the table.
    EXPECT_EQ(menu.tableIndex, main.units.size());
    EXPECT_EQ(main.tableSize, main.units.size() + main.menuItems.size());
}

TEST_F(FormRoundTrip, PictureWindowHasNoUnits)
{
    const WindowTemplate& picture = window(qf::PictureWindow::id);
    EXPECT_EQ(picture.units.size(), 1u);
    EXPECT_TRUE(picture.menuItems.empty());
    EXPECT_EQ(picture.windowRecord().properties.text, "");
    EXPECT_EQ(picture.windowRecord().rect.width, 486);
    EXPECT_EQ(picture.windowRecord().rect.height, 371);
    EXPECT_EQ(picture.windowRecord().properties.backgroundMode, ff::BackgroundMode::Stretched);
    EXPECT_EQ(picture.classId, 0u) << "a window without handlers has no class id";
}

TEST_F(FormRoundTrip, PrintSettingsWindowKeepsTheStoredOrder)
{
    const WindowTemplate& settings = window(qf::PrintSettingsWindow::id);
    ASSERT_EQ(settings.units.size(), 45u);
    EXPECT_EQ(settings.units[1].name, "组合框_图片优化比率");
    EXPECT_EQ(settings.units[3].name, "打印机1");
    EXPECT_EQ(settings.units[44].name, "选择框_自定义纸张");
    EXPECT_TRUE(settings.windowRecord().properties.text->starts_with("打印机设置窗口。"));

    const UnitTemplate& optimisation = settings.units[1];
    EXPECT_EQ(optimisation.parent, qf::PrintSettingsWindow::分组框1);
    EXPECT_EQ(optimisation.properties.items.size(), 6u);
    EXPECT_EQ(optimisation.properties.items[5], "优化到250K");
    EXPECT_EQ(optimisation.properties.selectedIndex, 0);

    const UnitTemplate& width = unit(settings, qf::PrintSettingsWindow::编辑框_宽度);
    EXPECT_EQ(width.properties.text, "210");
    EXPECT_TRUE(width.visible());
    EXPECT_FALSE(width.tabStop());
    EXPECT_EQ(boundHandler(width, kEventContentChanged), "编辑框_宽度_内容被改变");
    EXPECT_EQ(boundHandler(width, kEventLostFocus), "RefreshPreview");
    EXPECT_EQ(boundHandler(unit(settings, qf::PrintSettingsWindow::编辑框_下边距), kEventLostFocus),
              "RefreshPreview");

    const UnitTemplate& margins = unit(settings, qf::PrintSettingsWindow::标签_边距);
    EXPECT_EQ(margins.properties.text, "上边距：          毫米\n\n下边距：          毫米\n\n左边距：          毫米\n\n"
                                       "右边距：          毫米\n\n页眉距顶端：      毫米\n页脚距底端：      毫米");
    EXPECT_EQ(unit(settings, qf::PrintSettingsWindow::按钮_字体).properties.text, "正\n文\n字\n体");
    EXPECT_EQ(unit(settings, qf::PrintSettingsWindow::单选框_纵向打印).properties.checked, true);
    EXPECT_FALSE(unit(settings, qf::PrintSettingsWindow::单选框_横向打印).properties.checked.has_value());

    const UnitTemplate& rows = unit(settings, qf::PrintSettingsWindow::滑块条_行);
    EXPECT_EQ(rows.properties.position, 20);
    EXPECT_EQ(boundHandler(rows, kEventSliderMoved), "滑块条_行_位置被改变");
    const UnitTemplate& mode = unit(settings, qf::PrintSettingsWindow::组合框_照片打印方式);
    EXPECT_EQ(boundHandler(mode, kEventListClosedUp), "RefreshPreview");
    EXPECT_EQ(boundHandler(mode, kEventListItemSelected), "");
}

TEST_F(FormRoundTrip, ProgressWindowStartsHiddenWithHiddenHelpers)
{
    const WindowTemplate& progress = window(qf::ProgressWindow::id);
    EXPECT_FALSE(progress.windowRecord().visible());
    EXPECT_EQ(boundHandler(progress.windowRecord(), kEventFirstActivated), "ProgressWindow_首次激活");
    const UnitTemplate& bar = unit(progress, qf::ProgressWindow::进度条_当前进度);
    EXPECT_EQ(bar.typeCode, qf::unit_type::ProcessBar);
    EXPECT_EQ(bar.properties.rangeMinimum, 0);
    EXPECT_EQ(bar.properties.rangeMaximum, 100);
    EXPECT_EQ(boundHandler(bar, kEventLeftButtonDown), "进度条_当前进度_鼠标左键被按下");
    for (std::uint32_t hidden : {qf::ProgressWindow::动画框1, qf::ProgressWindow::动画物体1,
                                 qf::ProgressWindow::打印机1, qf::ProgressWindow::画板_temp})
        EXPECT_FALSE(unit(progress, hidden).visible()) << unit(progress, hidden).name;
    EXPECT_EQ(unit(progress, qf::ProgressWindow::画板_temp).rect.left, 304);
    EXPECT_EQ(unit(progress, qf::ProgressWindow::打印机1).typeCode, qf::ProgressWindow::kind::打印机1);
    EXPECT_EQ(unit(progress, qf::ProgressWindow::标签_说明).properties.text, "正在处理，请稍候。。。");
}

TEST_F(FormRoundTrip, LookupByNameAndId)
{
    const WindowTemplate& settings = window(qf::PrintSettingsWindow::id);
    EXPECT_EQ(settings.findUnitByName("按钮_确定")->id, qf::PrintSettingsWindow::按钮_确定);
    EXPECT_EQ(settings.findUnitByName("PrintSettingsWindow"), &settings.windowRecord());
    EXPECT_EQ(settings.findUnit(0), &settings.windowRecord());
    EXPECT_EQ(settings.findUnitByName("按钮_不存在"), nullptr);
    EXPECT_EQ(settings.findUnit(qf::MainWindow::菜单_高级表格操作), nullptr);
    EXPECT_EQ(window(qf::MainWindow::id).findMenuItemByName("菜单_前插一列")->caption, "前插一列");
    EXPECT_EQ(result->templates.findWindow(qf::MainWindow::id + 100), nullptr);
}

}  // namespace
}  // namespace quillora::runtime
