#include "runtime/core/message_loop.h"

#include "runtime/automation/driver.h"
#include "runtime/core/events.h"
#include "runtime/core/form_window.h"
#include "runtime/core/live_window.h"
#include "runtime/core/window_registry.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QEventLoop>
#include <QTimer>

namespace quillora::runtime {
namespace {

bool loopRunning = false;
bool idleHooked = false;

// Idle callbacks run whenever the event dispatcher is about to wait for new messages, which is
// exactly when the queue is empty.
void hookIdlePhase()
{
    if (idleHooked)
        return;
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (!dispatcher)
        return;
    idleHooked = true;
    QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [] { runIdleCallbacks(); });
}

}  // namespace

void runMessageLoop()
{
    loopRunning = true;
    if (liveWindows().empty() || !QCoreApplication::instance())
        return;
    hookIdlePhase();
    // A script starts once the start window is up and the loop runs, as a user would.
    startAutomationIfRequested();
    QApplication::setQuitOnLastWindowClosed(true);
    QCoreApplication::exec();
}

void runModalLoop(std::uint32_t windowId)
{
    hookIdlePhase();
    // The handler that loaded the window now waits for the user, as the main loop does.
    const ModalLoopMark mark(windowId);
    QEventLoop loop;
    // The loop ends when the window is gone; QCoreApplication::quit ends every running loop.
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&loop, windowId] {
        if (!isWindowLoaded(windowId))
            loop.quit();
    });
    watcher.start(20);
    if (LiveWindow* window = liveWindow(windowId)) {
        QObject::connect(window->widget(), &QObject::destroyed, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

void processPendingMessages()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool messageLoopRunning()
{
    return loopRunning;
}

}  // namespace quillora::runtime
