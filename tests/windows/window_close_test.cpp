// Closing a window while its units still react to the close: Qt hides the window after the
// may-close event, and the hiding takes the focus away from the unit that had it. A lost-focus
// handler that lets messages through (as a preview refresh does) must find its window still
// there, and the window goes only once Qt has finished closing it.
#include "runtime/core/events.h"
#include "runtime/core/form_template.h"
#include "runtime/core/live_window.h"
#include "runtime/core/message_loop.h"
#include "runtime/core/window_loader.h"
#include "runtime/core/window_registry.h"

#include <QApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillora::runtime {
namespace {

constexpr std::uint32_t kClosingWindowId = 0x52020001u;
constexpr std::uint32_t kOwnRecord = 0x06020000u;
constexpr std::uint32_t kFirstEditId = 0x16020001u;
constexpr std::uint32_t kSecondEditId = 0x16020002u;

struct LostFocusLog {
    int calls = 0;
    bool windowThereEveryTime = true;
    bool destroyed = false;
};
LostFocusLog lostFocus;

// Lets the waiting messages through on losing the focus, as a long operation does, and notes
// whether the window survived them.
HandlerResult onLostFocus(const EventArguments&)
{
    ++lostFocus.calls;
    processPendingMessages();
    processPendingMessages();
    if (!isWindowLoaded(kClosingWindowId))
        lostFocus.windowThereEveryTime = false;
    return noValue();
}

HandlerResult onDestroyed(const EventArguments&)
{
    lostFocus.destroyed = true;
    return noValue();
}

const EventHandler handlers[] = {&onLostFocus, &onDestroyed};

EventBinding bind(std::int32_t event, std::size_t handler)
{
    return {event, static_cast<std::uint32_t>(handler * sizeof(EventHandler)), handlers[handler]};
}

UnitTemplate editRecord(std::uint32_t id, const char* name, int top)
{
    UnitTemplate edit;
    edit.id = id;
    edit.typeCode = 0x00010005u;
    edit.name = name;
    edit.state = form_format::kUnitVisible | form_format::kUnitTabStop;
    edit.rect = {10, top, 120, 24};
    edit.bindings = {bind(kEventLostFocus, 0)};
    return edit;
}

WindowTemplate closingWindow()
{
    WindowTemplate window;
    window.id = kClosingWindowId;
    UnitTemplate own;
    own.id = kOwnRecord;
    own.typeCode = 0x00010001u;
    own.name = "ClosingWindow";
    own.state = form_format::kUnitVisible;
    own.rect = {60, 60, 300, 200};
    own.bindings = {bind(kEventAboutToBeDestroyed, 1)};
    window.units.push_back(own);
    window.units.push_back(editRecord(kFirstEditId, "编辑框_甲", 10));
    window.units.push_back(editRecord(kSecondEditId, "编辑框_乙", 50));
    for (std::size_t i = 0; i < window.units.size(); ++i)
        window.units[i].tableIndex = i;
    window.tableSize = window.units.size();
    return window;
}

class WindowCloseTest : public testing::Test {
protected:
    void SetUp() override
    {
        FormTemplates templates;
        templates.windows().push_back(closingWindow());
        installFormTemplates(std::move(templates));
        lostFocus = {};
    }

    void TearDown() override
    {
        releaseWindows();
        processPendingMessages();
    }

    // Loads the window, makes it the active one and puts the focus on its first edit box.
    static QWidget* loadWithFocus()
    {
        EXPECT_TRUE(loadWindow(kClosingWindowId, false, 0));
        LiveWindow* window = liveWindow(kClosingWindowId);
        if (!window)
            return nullptr;
        QApplication::setActiveWindow(window->widget());
        QWidget* edit = window->findUnit(kFirstEditId)->widget();
        edit->setFocus(Qt::OtherFocusReason);
        processPendingMessages();
        lostFocus.calls = 0;
        return edit;
    }
};

TEST_F(WindowCloseTest, LostFocusHandlerThatLetsMessagesThroughKeepsTheClosingWindow)
{
    QWidget* edit = loadWithFocus();
    ASSERT_NE(edit, nullptr);
    ASSERT_TRUE(edit->hasFocus());

    liveWindow(kClosingWindowId)->widget()->close();
    EXPECT_GE(lostFocus.calls, 1);
    EXPECT_TRUE(lostFocus.windowThereEveryTime);

    // Once Qt is done with the close, the window goes.
    processPendingMessages();
    EXPECT_FALSE(isWindowLoaded(kClosingWindowId));
    EXPECT_TRUE(lostFocus.destroyed);
    EXPECT_EQ(QApplication::focusWidget(), nullptr);
}

TEST_F(WindowCloseTest, ClosingTwiceInARowDestroysOnce)
{
    ASSERT_NE(loadWithFocus(), nullptr);
    QWidget* widget = liveWindow(kClosingWindowId)->widget();
    widget->close();
    widget->close();
    processPendingMessages();
    EXPECT_FALSE(isWindowLoaded(kClosingWindowId));
    EXPECT_TRUE(lostFocus.destroyed);
    // A window loaded again afterwards is a fresh one that closes the same way.
    ASSERT_NE(loadWithFocus(), nullptr);
    lostFocus.destroyed = false;
    liveWindow(kClosingWindowId)->widget()->close();
    processPendingMessages();
    EXPECT_FALSE(isWindowLoaded(kClosingWindowId));
    EXPECT_TRUE(lostFocus.destroyed);
}

}  // namespace
}  // namespace quillora::runtime
