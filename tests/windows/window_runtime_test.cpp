// Loading windows from templates, firing their events and running their loops, on hand-made
// templates bound to this test's own handler table.
#include "runtime/core/events.h"
#include "runtime/core/form_template.h"
#include "runtime/core/live_window.h"
#include "runtime/core/message_loop.h"
#include "runtime/core/window_entries.h"
#include "runtime/core/window_loader.h"
#include "runtime/core/window_registry.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillora::runtime {
namespace {

constexpr std::uint32_t kWindowId = 0x52010001u;
constexpr std::uint32_t kOtherWindowId = 0x52010002u;
constexpr std::uint32_t kOwnRecord = 0x06010000u;
constexpr std::uint32_t kEditId = 0x16010001u;
constexpr std::uint32_t kHiddenEditId = 0x16010002u;
constexpr std::uint32_t kDialogId = 0x16010003u;

std::vector<std::string> fired;
std::int64_t mayCloseAnswer = -1;  // -1: no value
std::int64_t characterAnswer = -1;

HandlerResult recordEvent(const char* name)
{
    fired.emplace_back(name);
    return noValue();
}

// What the created handler saw of the running handlers: itself, and — when it runs the other
// window's modal loop — nothing while that window is up, itself again once it is closing.
struct RunningSeen {
    bool runModalLoop = false;
    std::uint64_t inHandler = 0;
    std::uint64_t inModalLoop = 0;
    std::uint64_t modalWindowClosing = 0;
    int modalDepth = 0;
};
RunningSeen runningSeen;

HandlerResult onCreated(const EventArguments&)
{
    runningSeen.inHandler = outermostRunningHandler();
    if (runningSeen.runModalLoop) {
        const ModalLoopMark mark(kOtherWindowId);
        runningSeen.modalDepth = modalLoopDepth();
        runningSeen.inModalLoop = outermostRunningHandler();
        liveWindow(kOtherWindowId)->closing = true;
        runningSeen.modalWindowClosing = outermostRunningHandler();
        liveWindow(kOtherWindowId)->closing = false;
    }
    return recordEvent("created");
}
HandlerResult onMoved(const EventArguments&) { return recordEvent("moved"); }
HandlerResult onResized(const EventArguments&) { return recordEvent("resized"); }
HandlerResult onFirstActivated(const EventArguments&) { return recordEvent("first activated"); }
HandlerResult onActivated(const EventArguments&) { return recordEvent("activated"); }
HandlerResult onDestroyed(const EventArguments&) { return recordEvent("destroyed"); }
HandlerResult onMayClose(const EventArguments&)
{
    fired.emplace_back("may close");
    return mayCloseAnswer < 0 ? noValue() : returnValue(mayCloseAnswer);
}
HandlerResult onCharacter(const EventArguments& arguments)
{
    fired.push_back("character " + std::to_string(arguments[0]));
    return characterAnswer < 0 ? noValue() : returnValue(characterAnswer);
}

const EventHandler handlers[] = {&onCreated, &onMoved,  &onResized,   &onFirstActivated,
                                 &onActivated, &onMayClose, &onCharacter, &onDestroyed};

EventBinding bind(std::int32_t event, std::size_t handler)
{
    return {event, static_cast<std::uint32_t>(handler * sizeof(EventHandler)), handlers[handler]};
}

UnitTemplate unitRecord(std::uint32_t id, std::uint32_t typeCode, const char* name, std::uint32_t state)
{
    UnitTemplate unit;
    unit.id = id;
    unit.typeCode = typeCode;
    unit.name = name;
    unit.state = state;
    unit.rect = {10, 10, 120, 24};
    return unit;
}

WindowTemplate testWindow(std::uint32_t windowId, const char* name)
{
    WindowTemplate window;
    window.id = windowId;
    UnitTemplate own = unitRecord(kOwnRecord, 0x00010001u, name, form_format::kUnitVisible);
    own.rect = {50, 50, 300, 200};
    own.properties.text = std::string("测试窗口");
    own.bindings = {bind(kEventCreated, 0),        bind(kEventPositionChanged, 1), bind(kEventSizeChanged, 2),
                    bind(kEventFirstActivated, 3), bind(kEventActivated, 4),       bind(kEventMayClose, 5),
                    bind(kEventAboutToBeDestroyed, 7)};
    window.units.push_back(own);
    UnitTemplate edit = unitRecord(kEditId, 0x00010005u, "编辑框_甲", form_format::kUnitVisible | form_format::kUnitTabStop);
    edit.bindings = {bind(kEventCharacter, 6)};
    window.units.push_back(edit);
    window.units.push_back(unitRecord(kHiddenEditId, 0x00010005u, "编辑框_乙", form_format::kUnitTabStop));
    window.units.push_back(unitRecord(kDialogId, 0x0001001Fu, "通用对话框1", form_format::kUnitVisible));
    for (std::size_t i = 0; i < window.units.size(); ++i)
        window.units[i].tableIndex = i;
    window.tableSize = window.units.size();
    return window;
}

// One offscreen application for the whole test program, deleted at the end so that nothing it
// holds is reported as leaked.
class OffscreenApplication : public testing::Environment {
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "quillora_windows_tests";
        static char* argv[] = {name, nullptr};
        application_ = new QApplication(argc, argv);
    }

    void TearDown() override
    {
        releaseWindows();
        delete application_;
        application_ = nullptr;
    }

private:
    QApplication* application_ = nullptr;
};

const testing::Environment* const offscreenApplication = testing::AddGlobalTestEnvironment(new OffscreenApplication);

class WindowRuntimeTest : public testing::Test {
protected:
    void SetUp() override
    {
        FormTemplates templates;
        templates.windows().push_back(testWindow(kWindowId, "TestWindow"));
        templates.windows().push_back(testWindow(kOtherWindowId, "OtherWindow"));
        installFormTemplates(std::move(templates));
        fired.clear();
        mayCloseAnswer = -1;
        characterAnswer = -1;
    }

    void TearDown() override
    {
        releaseWindows();
        processPendingMessages();
    }
};

TEST_F(WindowRuntimeTest, LoadingFiresCreatedThenPositionThenSize)
{
    ASSERT_TRUE(loadWindow(kWindowId, false, 0));
    ASSERT_GE(fired.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(fired.begin(), fired.begin() + 3),
              (std::vector<std::string>{"created", "moved", "resized"}));
}

TEST_F(WindowRuntimeTest, LoadingTwiceLeavesOneWindow)
{
    ASSERT_TRUE(loadWindow(kWindowId, false, 0));
    LiveWindow* first = liveWindow(kWindowId);
    fired.clear();
    ASSERT_TRUE(loadWindow(kWindowId, false, 0));
    EXPECT_EQ(liveWindow(kWindowId), first);
    EXPECT_EQ(liveWindows().size(), 1u);
    EXPECT_EQ(std::count(fired.begin(), fired.end(), "created"), 0);
}

TEST_F(WindowRuntimeTest, FirstActivationFiresBeforeActivation)
{
    ASSERT_TRUE(loadWindow(kWindowId, false, 0));
    liveWindow(kWindowId)->widget()->activateWindow();
    QApplication::setActiveWindow(liveWindow(kWindowId)->widget());
    processPendingMessages();
    const auto first = std::find(fired.begin(), fired.end(), "first activated");
    const auto activated = std::find(fired.begin(), fired.end(), "activated");
    ASSERT_NE(first, fired.end());
    ASSERT_NE(activated, fired.end());
    EXPECT_LT(first, activated);
    EXPECT_EQ(std::count(fired.begin(), fired.end(), "first activated"), 1);
}

TEST_F(WindowRuntimeTest, HiddenTabStopUnitIsCreatedHiddenAndCanBeShown)
{
    ASSERT_TRUE(loadWindow(kWindowId, false, 0));
    EXPECT_FALSE(asBool(readUnitProperty(kWindowId, kHiddenEditId, 5, -1)));
    writeUnitProperty(kWindowId, kHiddenEditId, 5, -1, 1, 0);
    EXPECT_TRUE(asBool(readUnitProperty(kWindowId, kHiddenEditId, 5, -1)));
    // A dialog unit stored as visible still has no visible window.
    QWidget* dialog = liveWindow(kWindowId)->findUnit(kDialogId)->widget();
    EXPECT_TRUE(!dialog || dialog->isHidden());
}

TEST_F(WindowRuntimeTest, MayCloseFalseKeepsTheWindowAndNoValueLetsItClose)
{
    ASSERT_TRUE(loadWindow(kWindowId, false, 0));
    mayCloseAnswer = 0;
    liveWindow(kWindowId)->widget()->close();
    processPendingMessages();
    EXPECT_TRUE(isWindowLoaded(kWindowId));
    mayCloseAnswer = -1;
    liveWindow(kWindowId)->widget()->close();
    processPendingMessages();
    EXPECT_FALSE(isWindowLoaded(kWindowId));
    EXPECT_NE(std::find(fired.begin(), fired.end(), "destroyed"), fired.end());
}

TEST_F(WindowRuntimeTest, CharacterHandlerSwallowsReplacesOrLetsThrough)
{
    ASSERT_TRUE(loadWindow(kWindowId, false, 0));
    auto* edit = qobject_cast<QLineEdit*>(liveWindow(kWindowId)->findUnit(kEditId)->widget());
    ASSERT_NE(edit, nullptr);
    const auto typeA = [edit] {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
        QApplication::sendEvent(edit, &press);
        processPendingMessages();
    };
    typeA();
    EXPECT_EQ(edit->text().toStdString(), "a");
    characterAnswer = 0;
    typeA();
    EXPECT_EQ(edit->text().toStdString(), "a");
    characterAnswer = 'b';
    typeA();
    EXPECT_EQ(edit->text().toStdString(), "ab");
}

TEST_F(WindowRuntimeTest, IdleCallbackOfADestroyedWindowIsDropped)
{
    ASSERT_TRUE(loadWindow(kWindowId, false, 0));
    int calls = 0;
    registerIdleCallback(liveWindow(kWindowId)->widget(), [&calls] { ++calls; });
    registerIdleCallback(liveWindow(kWindowId)->widget(), [&calls] { calls += 100; });
    runIdleCallbacks();
    EXPECT_EQ(calls, 1);
    destroyLiveWindow(kWindowId);
    runIdleCallbacks();
    EXPECT_EQ(calls, 1);
}

TEST_F(WindowRuntimeTest, AHandlerCountsAsRunningExceptWhileAModalWindowItRunsIsUp)
{
    ASSERT_TRUE(loadWindow(kWindowId, false, 0));
    ASSERT_TRUE(loadWindow(kOtherWindowId, false, 0));
    EXPECT_EQ(outermostRunningHandler(), 0u);
    EXPECT_EQ(modalLoopDepth(), 0);
    runningSeen = {};
    fireUnitEvent(kWindowId, 0, kEventCreated);
    EXPECT_NE(runningSeen.inHandler, 0u);
    EXPECT_EQ(outermostRunningHandler(), 0u);

    runningSeen = {};
    runningSeen.runModalLoop = true;
    fireUnitEvent(kWindowId, 0, kEventCreated);
    EXPECT_EQ(runningSeen.modalDepth, 1);
    EXPECT_EQ(runningSeen.inModalLoop, 0u);
    EXPECT_EQ(runningSeen.modalWindowClosing, runningSeen.inHandler);
    EXPECT_NE(runningSeen.inHandler, 0u);
    EXPECT_EQ(modalLoopDepth(), 0);
    runningSeen = {};
}

TEST_F(WindowRuntimeTest, SuppressedEventsDoNotFire)
{
    ASSERT_TRUE(loadWindow(kWindowId, false, 0));
    fired.clear();
    suppressEvents();
    EXPECT_FALSE(fireUnitEvent(kWindowId, 0, kEventCreated).hasResult);
    EXPECT_TRUE(fired.empty());
    resumeEvents();
    resumeEvents();  // never below zero
    fireUnitEvent(kWindowId, 0, kEventCreated);
    EXPECT_EQ(fired, std::vector<std::string>{"created"});
}

TEST_F(WindowRuntimeTest, PropertiesOfAnUnloadedWindowComeFromTheTemplate)
{
    EXPECT_EQ(asInt(readUnitProperty(kWindowId, kEditId, 2, -1)), 120);
    writeUnitProperty(kWindowId, kEditId, 2, -1, 200, 0);
    EXPECT_EQ(asInt(readUnitProperty(kWindowId, kEditId, 2, -1)), 200);
}

TEST_F(WindowRuntimeTest, ShowingAWindowDoesNotReportItsPlacementAgain)
{
    ASSERT_TRUE(loadWindow(kWindowId, false, 0));
    processPendingMessages();
    EXPECT_EQ(std::count(fired.begin(), fired.end(), "moved"), 1);
    EXPECT_EQ(std::count(fired.begin(), fired.end(), "resized"), 1);
    // A real move still reports.
    liveWindow(kWindowId)->widget()->move(80, 90);
    processPendingMessages();
    EXPECT_EQ(std::count(fired.begin(), fired.end(), "moved"), 2);
}

TEST_F(WindowRuntimeTest, LoadingRightAfterACloseBuildsTheWindowAnew)
{
    ASSERT_TRUE(loadWindow(kWindowId, false, 0));
    LiveWindow* closed = liveWindow(kWindowId);
    closed->widget()->close();
    // The closed window is destroyed only once the close has been processed; a load before that
    // must not activate it and then lose it.
    ASSERT_TRUE(loadWindow(kWindowId, false, 0));
    processPendingMessages();
    ASSERT_TRUE(isWindowLoaded(kWindowId));
    EXPECT_FALSE(liveWindow(kWindowId)->closing);
    EXPECT_EQ(std::count(fired.begin(), fired.end(), "created"), 2);
    EXPECT_EQ(std::count(fired.begin(), fired.end(), "destroyed"), 1);
}

// Menu items as a window stores them: level 0 is the menu bar.
MenuItemTemplate menuItem(std::uint32_t serial, const char* caption, std::uint32_t level, std::uint32_t state = 0)
{
    MenuItemTemplate item;
    item.id = form_format::makeUnitId(form_format::UnitIdClass::MenuItem, serial);
    item.typeCode = 0x00010003u;
    item.name = std::string("菜单_") + caption;
    item.caption = caption;
    item.level = level;
    item.state = state;
    return item;
}

// The captions the menu bar shows, each indented by its depth.
void collectMenu(const QList<QAction*>& actions, int depth, std::vector<std::string>& out)
{
    for (const QAction* action : actions) {
        out.push_back(std::string(static_cast<std::size_t>(depth), ' ')
                      + (action->isSeparator() ? std::string("-") : action->text().toStdString()));
        if (action->menu())
            collectMenu(action->menu()->actions(), depth + 1, out);
    }
}

TEST_F(WindowRuntimeTest, HiddenMenuItemLeavesOutItsDeeperItemsOnly)
{
    FormTemplates templates;
    WindowTemplate window = testWindow(kWindowId, "TestWindow");
    window.menuItems = {menuItem(1, "文件", 0),     menuItem(2, "导出", 1, form_format::kMenuHidden),
                        menuItem(3, "图片", 2),     menuItem(4, "分隔", 1),
                        menuItem(5, "退出", 1),     menuItem(6, "表格", 0, form_format::kMenuHidden),
                        menuItem(7, "删除行", 1),   menuItem(8, "帮助", 0, form_format::kMenuDisabled)};
    window.menuItems[3].caption = "-";
    window.tableSize = window.units.size() + window.menuItems.size();
    templates.windows().push_back(window);
    installFormTemplates(std::move(templates));

    ASSERT_TRUE(loadWindow(kWindowId, false, 0));
    const auto* bar = qobject_cast<QMenuBar*>(liveWindow(kWindowId)->widget()->menuWidget());
    ASSERT_NE(bar, nullptr);
    std::vector<std::string> shown;
    collectMenu(bar->actions(), 0, shown);
    EXPECT_EQ(shown, (std::vector<std::string>{"文件", " -", " 退出", "帮助"}));
    EXPECT_FALSE(bar->actions().back()->isEnabled());
}

using WindowRuntimeDeathTest = WindowRuntimeTest;

TEST_F(WindowRuntimeDeathTest, FailuresEndInTheirReports)
{
    EXPECT_EXIT(readUnitProperty(0x52010099u, kEditId, 0, -1), testing::ExitedWithCode(255),
                "未载入欲访问窗口组件所在的窗口");
    EXPECT_EXIT(readUnitProperty(kWindowId, kEditId, 8, -1), testing::ExitedWithCode(255), "指定窗口尚未载入");
    EXPECT_EXIT(fireUnitEvent(0x52010099u, 0, 0), testing::ExitedWithCode(255), "未找到引发事件的窗口");
    EXPECT_EXIT(fireUnitEvent(kWindowId, 0x16010099u, 0), testing::ExitedWithCode(255), "未找到引发事件的窗口组件");
    EXPECT_EXIT(loadStartWindow(0x52010099u), testing::ExitedWithCode(255), "载入启动窗口失败");
}

}  // namespace
}  // namespace quillora::runtime
