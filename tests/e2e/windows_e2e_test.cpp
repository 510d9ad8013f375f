// The four windows as the program builds them from its forms, and the window events and keyboard
// handling a user meets in them, observed through the automation driver ("dump", "events on",
// "focused", "enabled"), and the driver's own script language.
//
// The settings and progress windows' handlers do nothing yet, so these tests watch what the
// runtime does (which events fire, in which order, which unit has the focus) rather than what
// the handlers do with it. A may-close handler that returns false, and character handlers that
// swallow or replace a key, need handlers of their own: tests/windows covers them on hand-made
// windows.
#include "e2e_support.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace quillora::e2e {
namespace {

using testing::ElementsAre;
using testing::ElementsAreArray;
using testing::HasSubstr;
using testing::IsEmpty;
using testing::IsSupersetOf;
using testing::Not;

// The lines after the line `from` and before the line `to` ("" = to the end).
std::vector<std::string> section(const std::string& output, const std::string& from, const std::string& to = "")
{
    const std::vector<std::string> all = linesOf(output);
    auto begin = std::find(all.begin(), all.end(), from);
    if (begin == all.end())
        return {};
    ++begin;
    const auto end = to.empty() ? all.end() : std::find(begin, all.end(), to);
    return {begin, end};
}

// The lines that start with `prefix`.
std::vector<std::string> starting(const std::vector<std::string>& lines, const std::string& prefix)
{
    std::vector<std::string> found;
    for (const std::string& line : lines)
        if (line.starts_with(prefix))
            found.push_back(line);
    return found;
}

// The numbers of the window's own events ("event<TAB>W<TAB>N"), in order.
std::vector<int> windowEvents(const std::vector<std::string>& lines, const std::string& window)
{
    std::vector<int> numbers;
    const std::string prefix = "event\t" + window + "\t";
    for (const std::string& line : starting(lines, prefix))
        numbers.push_back(std::stoi(line.substr(prefix.size())));
    return numbers;
}

std::vector<int> only(const std::vector<int>& numbers, std::initializer_list<int> wanted)
{
    std::vector<int> kept;
    for (int number : numbers)
        if (std::find(wanted.begin(), wanted.end(), number) != wanted.end())
            kept.push_back(number);
    return kept;
}

// The unit names of a dump, in the order it gives them.
std::vector<std::string> unitNames(const std::vector<std::string>& lines)
{
    std::vector<std::string> names;
    for (const std::string& line : starting(lines, "unit\t")) {
        const auto start = line.find('.') + 1;
        names.push_back(line.substr(start, line.find('\t', start) - start));
    }
    return names;
}

const char kInformation[] =
    "库文件和剪贴板中的图片还不能打印。\\n\\n请在“文件夹”页中选择一个文件夹，按“搜索”找出其中的图片，"
    "再按“预览与设置”或“准备打印”。";
const char kTooltip[] = "把搜索到符合标准的文件放到剪贴板里去。";

class WindowsTest : public testing::Test {
protected:
    TestMachine machine;
};

TEST_F(WindowsTest, MainWindowIsBuiltAsItsTableGivesIt)
{
    const RunResult run = machine.run("dump MainWindow\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const std::vector<std::string> dump = linesOf(run.output);
    ASSERT_FALSE(dump.empty());
    EXPECT_EQ(dump.front(), "window\tMainWindow\t50,50,687,545\tvisible\tenabled\tQuillora（www.quillora.example）");
    EXPECT_THAT(unitNames(dump),
                ElementsAre("选择夹1", "树型框_文件夹", "按钮_文件夹搜索", "按钮_文件夹停止搜索", "选择框_包括文件夹",
                            "分组框_文件夹打印", "标签_页眉页脚", "编辑框_页眉", "编辑框_页脚", "选择框_按文件夹分类",
                            "按钮_打印预览", "按钮_文件夹准备打印", "标签1", "标签2", "超级列表框_显示", "状态条1",
                            "按钮_结束程序", "高级表格_原始数据"));
    const std::string m = "MainWindow.";
    EXPECT_THAT(dump, IsSupersetOf({
        "unit\t" + m + "选择夹1\tTab\t4,0,668,496\tvisible\tenabled\t",
        "item\t" + m + "选择夹1\t0\t文件夹",
        "item\t" + m + "选择夹1\t1\t库文件",
        "item\t" + m + "选择夹1\t2\t剪贴板",
        "unit\t" + m + "树型框_文件夹\tTreeBox\t8,32,188,416\tvisible\tenabled\t",
        "tree\t" + m + "树型框_文件夹\t1\t0\t3\t桌面",
        "tree\t" + m + "树型框_文件夹\t1\t1\t4\t我的文档",
        "unit\t" + m + "按钮_文件夹搜索\tSuperBtn\t104,461,40,20\tvisible\tenabled\t搜索",
        "tooltip\t" + m + "按钮_文件夹搜索\t" + kTooltip,
        "unit\t" + m + "按钮_文件夹停止搜索\tSuperBtn\t160,461,40,20\tvisible\tenabled\t停止",
        "unit\t" + m + "选择框_包括文件夹\tCheckBox\t9,465,99,16\tvisible\tenabled\t包括子文件夹",
        "unit\t" + m + "分组框_文件夹打印\tGroupBox\t236,416,352,72\tvisible\tenabled\t打印",
        "unit\t" + m + "标签_页眉页脚\tLabel\t3,14,38,40\tvisible\tenabled\t页眉：\\n\\n页脚：",
        "unit\t" + m + "编辑框_页眉\tEditBox\t40,8,232,20\tvisible\tenabled\t",
        "unit\t" + m + "编辑框_页脚\tEditBox\t39,29,232,20\tvisible\tenabled\t",
        "unit\t" + m + "选择框_按文件夹分类\tCheckBox\t39,52,168,18\tvisible\tenabled\t不同文件夹照片要分别打印",
        "unit\t" + m + "按钮_打印预览\tSuperBtn\t282,12,60,20\tvisible\tenabled\t预览与设置",
        "tooltip\t" + m + "按钮_打印预览\t" + kTooltip,
        "unit\t" + m + "按钮_文件夹准备打印\tSuperBtn\t281,36,60,20\tvisible\tenabled\t准备打印",
        // Units of the pages that are not selected are shown on their page; the page is hidden.
        "unit\t" + m + "标签1\tLabel\t16,56,144,200\tvisible\tenabled\t" + kInformation,
        "unit\t" + m + "标签2\tLabel\t16,56,144,200\tvisible\tenabled\t" + kInformation,
        "unit\t" + m + "超级列表框_显示\tListView\t208,31,456,384\tvisible\tenabled\t",
        // A status bar lies along the bottom edge of the client area, whatever its stored place
        // (0,428,674,20).
        "unit\t" + m + "状态条1\tStatusBar\t0,525,687,20\tvisible\tenabled\t",
        "unit\t" + m + "按钮_结束程序\tSuperBtn\t597,466,60,20\tvisible\tenabled\t退出程序",
        "unit\t" + m + "高级表格_原始数据\tDataGrid\t298,368,78,24\thidden\tenabled\t",
    }));
    // The button outside the tab has no tooltip.
    EXPECT_THAT(starting(dump, "tooltip\t" + m + "按钮_结束程序"), IsEmpty());
}

TEST_F(WindowsTest, HiddenMenuKeepsItsItemsOutOfTheMenuBar)
{
    const RunResult run = machine.run("dump MainWindow\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const std::vector<std::string> dump = linesOf(run.output);
    // The table holds the menu with its seven items ...
    EXPECT_THAT(starting(dump, "menu\t"), ElementsAre("menu\tMainWindow.菜单_高级表格操作\t0\t高级表格操作\thidden",
                                                      "menu\tMainWindow.菜单_删除当前行\t1\t删除当前行\t-",
                                                      "menu\tMainWindow.菜单_前插一行\t1\t前插一行\t-",
                                                      "menu\tMainWindow.菜单_后插一行\t1\t后插一行\t-",
                                                      "menu\tMainWindow.菜单_分隔线\t1\t-\t-",
                                                      "menu\tMainWindow.菜单_删除当前列\t1\t删除当前列\t-",
                                                      "menu\tMainWindow.菜单_前插一列\t1\t前插一列\t-",
                                                      "menu\tMainWindow.菜单_后插一列\t1\t后插一列\t-"));
    // ... and the window shows none of them: its items are not hidden themselves, they go with it.
    EXPECT_THAT(starting(dump, "menubar\t"), IsEmpty());
}

TEST_F(WindowsTest, OtherWindowsAreBuiltAsTheirTemplatesGiveThem)
{
    // Each window dumped from its template, then loaded and dumped live: the build must give
    // every unit the place, visibility and text its record has.
    const RunResult run = machine.run(
        "echo stored\n"
        "dump PictureWindow\n"
        "dump PrintSettingsWindow\n"
        "dump ProgressWindow\n"
        "load PictureWindow\n"
        "load PrintSettingsWindow\n"
        "load ProgressWindow\n"
        "echo loaded\n"
        "dump PictureWindow\n"
        "dump PrintSettingsWindow\n"
        "dump ProgressWindow\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const std::vector<std::string> stored = section(run.output, "stored", "loaded");
    const std::vector<std::string> loaded = section(run.output, "loaded");
    // The settings window fills its printer and paper lists and chooses in them when it is
    // created; everything else must come out of the build exactly as stored.
    const auto builtByTemplate = [](const std::vector<std::string>& lines) {
        std::vector<std::string> kept;
        for (const std::string& line : lines)
            if (line.find("组合框_打印机列表") == std::string::npos && line.find("列表框_纸张") == std::string::npos)
                kept.push_back(line);
        return kept;
    };
    EXPECT_THAT(builtByTemplate(loaded), ElementsAreArray(builtByTemplate(stored)));

    EXPECT_THAT(stored, IsSupersetOf({
        "window\tPictureWindow\t50,50,486,371\tvisible\tenabled\t",
        "window\tPrintSettingsWindow\t50,50,590,427\tvisible\tenabled\t打印机设置窗口。Quillora 相册打印，由 Quillora 项目组制作。",
        "unit\tPrintSettingsWindow.组合框_图片优化比率\tComboBox\t2,72,96,20\tvisible\tenabled\t",
        "item\tPrintSettingsWindow.组合框_图片优化比率\t0\t图片不优化",
        "item\tPrintSettingsWindow.组合框_图片优化比率\t5\t优化到250K",
        "unit\tPrintSettingsWindow.打印机1\tprinter\t68,162,32,24\thidden\tenabled\t",
        "unit\tPrintSettingsWindow.按钮_字体\tButton\t128,141,32,56\tvisible\tenabled\t正\\n文\\n字\\n体",
        "unit\tPrintSettingsWindow.单选框_横向打印\tRadioBox\t8,38,88,16\tvisible\tenabled\t横向打印→",
        "unit\tPrintSettingsWindow.通用对话框1\tCommonDlg\t128,160,40,24\thidden\tenabled\t",
        "unit\tPrintSettingsWindow.按钮_取消\tButton\t487,364,80,24\tvisible\tenabled\t取消打印",
        "unit\tPrintSettingsWindow.选择框_自定义纸张\tCheckBox\t8,123,112,24\tvisible\tenabled\t自定义纸张类型",
        "unit\tPrintSettingsWindow.标签_照片说明\tLabel\t8,398,60,16\tvisible\tenabled\t照片说明：",
        "unit\tPrintSettingsWindow.组合框_照片说明\tComboBox\t68,395,136,20\tvisible\tenabled\t",
        "item\tPrintSettingsWindow.组合框_照片说明\t2\t文件名和拍摄日期",
        "window\tProgressWindow\t50,50,380,51\thidden\tenabled\t",
        "unit\tProgressWindow.进度条_当前进度\tProcessBar\t3,2,368,16\tvisible\tenabled\t",
        "unit\tProgressWindow.标签_说明\tLabel\t82,24,128,16\tvisible\tenabled\t正在处理，请稍候。。。",
        "unit\tProgressWindow.按钮_取消打印\tButton\t247,22,64,24\tvisible\tenabled\t取消",
        "unit\tProgressWindow.动画物体1\tCartoonObject\t40,24,32,18\thidden\tenabled\t",
        "unit\tProgressWindow.画板_temp\tDrawPanel\t304,0,32,24\thidden\tenabled\t",
    }));
    // The picture window has no units; the settings window's 46 come in their stored order, the
    // caption kind's label and combo box last.
    EXPECT_THAT(starting(stored, "unit\tPictureWindow."), IsEmpty());
    const std::vector<std::string> settings = unitNames(starting(stored, "unit\tPrintSettingsWindow."));
    ASSERT_EQ(settings.size(), 46u);
    EXPECT_EQ(settings.front(), "组合框_图片优化比率");
    EXPECT_EQ(settings[15], "分组框1");
    EXPECT_EQ(settings[43], "选择框_自定义纸张");
    EXPECT_EQ(settings[44], "标签_照片说明");
    EXPECT_EQ(settings.back(), "组合框_照片说明");
}

TEST_F(WindowsTest, DumpShowsTheChosenItemsTicksAndPositionsAUserSees)
{
    const std::string w = "PrintSettingsWindow.";
    const RunResult run = machine.run(
        "echo stored\n"
        "dump PrintSettingsWindow\n"
        "load PrintSettingsWindow\n"
        "wait-loaded PrintSettingsWindow\n"
        "select PrintSettingsWindow.组合框_页眉对齐 右对齐\n"
        "click PrintSettingsWindow.单选框_横向打印\n"
        "check PrintSettingsWindow.选择框_打印到图片文件 on\n"
        "slide PrintSettingsWindow.滑块条_行 12\n"
        "wait-idle\n"
        "echo changed\n"
        "dump PrintSettingsWindow.组合框_页眉对齐\n"
        "dump PrintSettingsWindow.单选框_纵向打印\n"
        "dump PrintSettingsWindow.单选框_横向打印\n"
        "dump PrintSettingsWindow.选择框_打印到图片文件\n"
        "dump PrintSettingsWindow.滑块条_行\n"
        "dump PrintSettingsWindow.列表框_纸张\n"
        // wait-text matches what dump shows of a unit's state.
        "wait-text PrintSettingsWindow.组合框_页眉对齐 \"selected\t2\t右对齐\" 1000\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    // As the form gives them ...
    EXPECT_THAT(section(run.output, "stored", "changed"), IsSupersetOf({
        "selected\t" + w + "组合框_图片优化比率\t0\t图片不优化",
        "checked\t" + w + "选择框_实时预览\t1",
        "checked\t" + w + "单选框_纵向打印\t1",
        "checked\t" + w + "单选框_横向打印\t0",
        "position\t" + w + "滑块条_行\t20\t4\t80",
    }));
    // ... and as the user left them.
    EXPECT_THAT(section(run.output, "changed"), IsSupersetOf({
        "selected\t" + w + "组合框_页眉对齐\t2\t右对齐",
        "checked\t" + w + "单选框_纵向打印\t0",
        "checked\t" + w + "单选框_横向打印\t1",
        "checked\t" + w + "选择框_打印到图片文件\t1",
        "position\t" + w + "滑块条_行\t12\t4\t80",
    }));
    // The paper list, filled from the printer when the window was created, has A4 chosen.
    EXPECT_THAT(starting(section(run.output, "changed"), "selected\t" + w + "列表框_纸张\t"),
                ElementsAre(::testing::HasSubstr("\tA4")));
}

TEST_F(WindowsTest, WaitsGiveUpAfterTheirLimit)
{
    // The main window stays up, so the wait runs out after its 200 ms rather than the default 30 s.
    const RunResult closed = machine.run("echo before\nwait-closed MainWindow 200\necho after\n");
    EXPECT_EQ(closed.exitCode, 3);
    EXPECT_EQ(closed.errors, "error\t2\ttimed out waiting for MainWindow\n");
    EXPECT_THAT(closed.output, Not(HasSubstr("after")));

    const RunResult text = machine.run("wait-text MainWindow.编辑框_页眉 never 100\n");
    EXPECT_EQ(text.exitCode, 3);
    EXPECT_THAT(text.errors, HasSubstr("timed out waiting for \"never\" in MainWindow.编辑框_页眉"));

    // A limit that holds is no error; a limit that is not a number is.
    const RunResult idle = machine.run("wait-idle 60000\nwait-loaded MainWindow 60000\necho done\n");
    EXPECT_EQ(idle.exitCode, 0) << idle.errors;
    EXPECT_EQ(idle.output, "done\n");
    const RunResult bad = machine.run("wait-idle soon\n");
    EXPECT_EQ(bad.exitCode, 3);
    EXPECT_EQ(bad.errors, "error\t1\texpected wait-idle [MS]\n");
}

TEST_F(WindowsTest, AWaitThatStartsInsideARunningHandlerLooksOnlyOnceTheHandlerIsDone)
{
    // Enough folders that the search runs well past the waits' first polls.
    machine.addDrive('D', "fixed", "Big");
    for (int folder = 0; folder < 2000; ++folder)
        machine.writeFile(machine.drive('D') / ("f" + std::to_string(folder)) / "p.jpg");
    // The line after the click runs at the search's first event point, inside its handler.
    const std::string search = "check MainWindow.选择框_包括文件夹 on\n"
                               "tree MainWindow.树型框_文件夹 Big(D:)\n"
                               "click MainWindow.按钮_文件夹搜索\n";
    // The first folder's row is there almost at once, but wait-text looks only when the search is
    // over.
    const RunResult settled = machine.run(search + "wait-text MainWindow.超级列表框_显示 D:\\f0\\p.jpg\nstatus\n");
    ASSERT_EQ(settled.exitCode, 0) << settled.errors;
    EXPECT_THAT(settled.output, HasSubstr("status\t搜索完成"));
    // watch-text looks inside the handler: the search is still running when it sees the row.
    const RunResult watched =
        machine.run(search + "watch-text MainWindow.超级列表框_显示 D:\\f0\\p.jpg\nstatus\nwait-idle\n");
    ASSERT_EQ(watched.exitCode, 0) << watched.errors;
    EXPECT_THAT(watched.output, HasSubstr("status\t搜索中："));
    // What shows only while a handler runs is never seen by a wait; its error line says why.
    const RunResult missed = machine.run(search + "wait-text MainWindow.状态条1 搜索中 2000\n");
    EXPECT_EQ(missed.exitCode, 3);
    EXPECT_THAT(missed.errors, HasSubstr("timed out waiting for \"搜索中\" in MainWindow.状态条1 (it held only inside "
                                         "a running handler, where waits do not look; watch-text does)"));
}

TEST_F(WindowsTest, PressFindsOnlyButtonsOfDialogsThatAreNotFormWindows)
{
    // "取消打印" is a button of the settings window, a form window: press leaves it alone.
    const RunResult run = machine.run("load PrintSettingsWindow\nwait-loaded PrintSettingsWindow\npress 取消打印\n");
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_EQ(run.errors, "error\t3\tno dialog shows a button 取消打印\n");
}

TEST_F(WindowsTest, StatusReadsTheStartWindowsStatusBar)
{
    // The settings window, loaded after the main window, has no status bar; status still reads
    // the main window's.
    const RunResult run = machine.run(
        "focus MainWindow.编辑框_页眉\n"
        "load PrintSettingsWindow\n"
        "wait-loaded PrintSettingsWindow\n"
        "status\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_THAT(run.output, HasSubstr("status\t显示在每个页眉上，可用&a表示总页数"));
}

TEST_F(WindowsTest, LoadingFiresCreatedPositionSizeThenFirstActivationAndASecondLoadOnlyActivates)
{
    const RunResult run = machine.run(
        "events on\n"
        "echo first\n"
        "load PrintSettingsWindow\n"
        "wait-loaded PrintSettingsWindow\n"
        "wait-idle\n"
        "echo typed\n"
        "type PrintSettingsWindow.编辑框_打印份数 3\n"
        "load MainWindow\n"
        "wait-idle\n"
        "echo second\n"
        "load PrintSettingsWindow\n"
        "wait-idle\n"
        "echo hidden\n"
        "load ProgressWindow\n"
        "wait-idle\n"
        "events off\n"
        "dump PrintSettingsWindow.编辑框_打印份数\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;

    const std::vector<int> first = windowEvents(section(run.output, "first", "typed"), "PrintSettingsWindow");
    EXPECT_THAT(only(first, {0, 3, 4, 5, 8}), ElementsAre(0, 3, 4, 8, 5));
    // Showing the window does not report its placement a second time.
    EXPECT_EQ(std::count(first.begin(), first.end(), 3), 1);
    EXPECT_EQ(std::count(first.begin(), first.end(), 4), 1);

    // Loading the main window, which is up, and then the settings window again only activates
    // them: nothing is created and the first activation does not come again.
    const std::vector<std::string> again = section(run.output, "typed", "hidden");
    EXPECT_THAT(only(windowEvents(again, "MainWindow"), {0, 3, 4, 8}), IsEmpty());
    EXPECT_THAT(only(windowEvents(again, "PrintSettingsWindow"), {0, 3, 4, 8}), IsEmpty());
    // ... and the window keeps what was typed into it.
    const std::vector<std::string> copies = starting(linesOf(run.output), "unit\tPrintSettingsWindow.编辑框_打印份数\t");
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_TRUE(copies.front().ends_with("\tvisible\tenabled\t3")) << copies.front();

    // A window loaded hidden is created but neither shown nor activated.
    const std::vector<int> hidden = windowEvents(section(run.output, "hidden"), "ProgressWindow");
    EXPECT_THAT(hidden, ElementsAre(0, 3, 4));
}

TEST_F(WindowsTest, MayCloseWithoutAValueLetsTheWindowClose)
{
    // The settings window's may-close handler returns no value; the progress window binds none.
    const RunResult run = machine.run(
        "load PrintSettingsWindow\n"
        "load ProgressWindow\n"
        "wait-idle\n"
        "events on\n"
        "echo settings\n"
        "close PrintSettingsWindow\n"
        "wait-closed PrintSettingsWindow\n"
        "echo progress\n"
        "close ProgressWindow\n"
        "wait-closed ProgressWindow\n"
        "echo reload\n"
        "load PrintSettingsWindow\n"
        "wait-idle\n"
        "close PrintSettingsWindow\n"
        "load PrintSettingsWindow\n"
        "wait-idle\n"
        "events off\n"
        "enabled PrintSettingsWindow\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_THAT(only(windowEvents(section(run.output, "settings", "progress"), "PrintSettingsWindow"), {1, 2}),
                ElementsAre(1, 2));
    EXPECT_THAT(only(windowEvents(section(run.output, "progress", "reload"), "ProgressWindow"), {1, 2}),
                ElementsAre(1, 2));
    // A load right after a close, before the closed window is gone, builds the window anew
    // rather than activating the one on its way out.
    EXPECT_THAT(only(windowEvents(section(run.output, "reload"), "PrintSettingsWindow"), {0, 1, 2}),
                ElementsAre(0, 1, 2, 0));
    EXPECT_THAT(run.output, HasSubstr("enabled\tPrintSettingsWindow\tyes"));
}

TEST_F(WindowsTest, TabMovesTheFocusInTableOrder)
{
    // Each key goes to the unit the previous one moved the focus to, as a user keeps pressing it.
    const RunResult run = machine.run(
        "wait-idle\n"
        "focused MainWindow\n"
        "key MainWindow.编辑框_页眉 Tab\n"
        "focused MainWindow\n"
        "key MainWindow.编辑框_页脚 Tab\n"
        "focused MainWindow\n"
        "key MainWindow.选择框_按文件夹分类 Tab\n"
        "focused MainWindow\n"
        "key MainWindow.按钮_打印预览 Tab\n"
        "focused MainWindow\n"
        "key MainWindow.按钮_文件夹准备打印 Tab\n"
        "focused MainWindow\n"
        "key MainWindow.超级列表框_显示 Tab\n"
        "focused MainWindow\n"
        "key MainWindow.按钮_结束程序 Tab\n"
        "focused MainWindow\n"
        "key MainWindow.选择夹1 Tab\n"
        "focused MainWindow\n"
        "key MainWindow.树型框_文件夹 Shift+Tab\n"
        "focused MainWindow\n"
        "key MainWindow.选择夹1 Shift+Tab\n"
        "focused MainWindow\n"
        "echo page 2\n"
        "select MainWindow.选择夹1 1\n"
        "key MainWindow.选择夹1 Tab\n"
        "focused MainWindow\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    std::vector<std::string> order;
    for (const std::string& line : starting(linesOf(run.output), "focused\tMainWindow\t"))
        order.push_back(line.substr(std::string("focused\tMainWindow\t").size()));
    EXPECT_THAT(order, ElementsAre(
        // The first focus: the tab control never takes it, the tree after it does.
        "树型框_文件夹",
        "编辑框_页脚", "选择框_按文件夹分类", "按钮_打印预览", "按钮_文件夹准备打印",
        // The labels are no tab stops (and lie on hidden pages); the status bar is none.
        "超级列表框_显示", "按钮_结束程序",
        // The hidden data grid is passed by, and the order starts again at the top.
        "选择夹1", "树型框_文件夹",
        "选择夹1", "按钮_结束程序",
        // With page 2 selected, the units of page 1 are hidden and Tab passes them by.
        "超级列表框_显示"));
}

TEST_F(WindowsTest, EnterClicksTheFocusedButtonElseTheFirstDefaultButton)
{
    const RunResult run = machine.run(
        "load PrintSettingsWindow\n"
        "wait-loaded PrintSettingsWindow\n"
        "wait-idle\n"
        "events on\n"
        // The edit box first: the cancel button closes the window.
        "echo edit\n"
        "key PrintSettingsWindow.编辑框_打印份数 Enter\n"
        "echo button\n"
        "key PrintSettingsWindow.按钮_取消 Enter\n"
        "echo end\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const auto clicks = [](const std::vector<std::string>& lines) {
        std::vector<std::string> clicked;
        for (const std::string& line : starting(lines, "event\tPrintSettingsWindow."))
            if (line.ends_with("\t0"))
                clicked.push_back(line);
        return clicked;
    };
    EXPECT_THAT(clicks(section(run.output, "button", "end")), ElementsAre("event\tPrintSettingsWindow.按钮_取消\t0"));
    // On an edit box, Enter clicks the window's first button in table order that accepts it.
    EXPECT_THAT(clicks(section(run.output, "edit", "button")), ElementsAre("event\tPrintSettingsWindow.按钮_字体\t0"));
}

TEST_F(WindowsTest, ModalWindowDisablesTheOtherWindowsUntilItCloses)
{
    const RunResult run = machine.run(
        "load PictureWindow\n"
        "load PrintSettingsWindow modal\n"
        // The script goes on inside the modal window's loop.
        "echo modal\n"
        "enabled MainWindow\n"
        "enabled PictureWindow\n"
        "enabled PrintSettingsWindow\n"
        "close PrintSettingsWindow\n"
        "wait-closed PrintSettingsWindow\n"
        "wait-idle\n"
        "echo closed\n"
        "enabled MainWindow\n"
        "enabled PictureWindow\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_THAT(section(run.output, "modal", "closed"),
                ElementsAre("enabled\tMainWindow\tno", "enabled\tPictureWindow\tno", "enabled\tPrintSettingsWindow\tyes"));
    // The picture window, owned by the main window, comes back as well.
    EXPECT_THAT(section(run.output, "closed"), ElementsAre("enabled\tMainWindow\tyes", "enabled\tPictureWindow\tyes"));
}

TEST_F(WindowsTest, ScriptWordsQuotesCommentsAndQuitCode)
{
    const RunResult run = machine.run(
        "# a comment line\n"
        "\n"
        "echo   two  words   # a comment after them\n"
        "echo \"a \\\"quoted\\\" \\\\ text\\nnext\"\n"
        "quit 5\n"
        "echo never\n");
    EXPECT_EQ(run.exitCode, 5) << run.errors;
    EXPECT_EQ(run.output, "two words\na \"quoted\" \\ text\nnext\n");
}

TEST_F(WindowsTest, ALineThatCannotBeCarriedOutEndsTheRunWithCode3)
{
    for (const char* bad : {"frobnicate MainWindow\n", "click MainWindow.没有这个\n", "check MainWindow.选择框_包括文件夹 1\n",
                            "answer message-box maybe\n", "echo \"open quote\n", "wait-loaded NoSuchWindow\n",
                            "click\n", "click MainWindow.按钮_结束程序 twice\n", "status now\n", "press\n",
                            "wait-loaded MainWindow 100 200\n"}) {
        const RunResult run = machine.run(std::string("echo before\n") + bad + "echo after\n");
        EXPECT_EQ(run.exitCode, 3) << bad;
        EXPECT_THAT(run.errors, testing::StartsWith("error\t2\t")) << bad;
        EXPECT_THAT(run.output, Not(HasSubstr("after"))) << bad;
    }
}

TEST_F(WindowsTest, AnswersNoDialogTakesLeaveTheRunAloneAndTheEndOfTheScriptGivesZero)
{
    // Queued answers wait for their dialogs; the script's end, without quit, ends the program
    // with 0.
    const RunResult run = machine.run("answer message-box yes\nanswer font \"Some Face\" 12 bold\necho done\n");
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(run.output, "done\n");
}

}  // namespace
}  // namespace quillora::e2e
