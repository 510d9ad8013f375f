// The verbs that wait: the line stays current, polled without blocking the program, until its
// condition holds (then the next line is scheduled) or its limit runs out (the run ends with an
// error line). A limit is given in milliseconds; 30 s when the line gives none, and a long job
// (an album of thousands of photos) may need a larger one.
//
// A wait looks at the program only at a quiet point: no handler running (a handler that runs a
// modal window's loop waits for the user there, as the main loop does, and does not count) and no
// window being built. Script lines also run at a handler's own event processing, so a wait line
// often starts inside a handler, such as a preview being drawn after the box the previous line
// left; it then lets that handler finish before it looks, and never sees what a half-done handler
// shows (a preview half drawn, a window about to go, a tick about to be taken back). watch-text is
// the one wait that looks inside a running handler, for the lines that act during a search or a
// job.
#include "runtime/automation/verbs.h"

#include "runtime/core/events.h"
#include "runtime/core/live_window.h"
#include "runtime/core/window_loader.h"
#include "runtime/core/window_registry.h"
#include "runtime/units/unit.h"

#include <QElapsedTimer>
#include <QTimer>

#include <functional>
#include <memory>
#include <utility>

namespace quillora::runtime {
namespace {

constexpr int kDefaultWaitMilliseconds = 30000;
constexpr int kPollMilliseconds = 20;

using Condition = std::function<bool()>;

struct Wait {
    ScriptLine line;
    Condition done;
    int limit = kDefaultWaitMilliseconds;
    std::string what;
    // Looks at every poll, inside a running handler too (watch-text).
    bool watches = false;
    // Quiet polls in a row the condition needs (wait-idle: two, so that what a finished handler
    // posted has had its turn too).
    int quietPollsNeeded = 1;
    int quietPolls = 0;
    // The condition held at a poll inside a running handler, where the wait does not look; the
    // error line of a wait that times out says so.
    bool heldInsideAHandler = false;
    QElapsedTimer started;
};

bool quietPoint()
{
    return outermostRunningHandler() == 0 && !windowBeingLoaded();
}

void poll(const std::shared_ptr<Wait>& wait)
{
    const bool looks = wait->watches || quietPoint();
    wait->quietPolls = looks ? wait->quietPolls + 1 : 0;
    if (looks && wait->quietPolls >= wait->quietPollsNeeded && wait->done()) {
        scheduleNextLine(0);
        return;
    }
    if (!looks && wait->quietPollsNeeded == 1 && wait->done())
        wait->heldInsideAHandler = true;
    if (wait->started.elapsed() > wait->limit) {
        fail(wait->line, "timed out waiting " + wait->what
                             + (wait->heldInsideAHandler
                                    ? " (it held only inside a running handler, where waits do not look; "
                                      "watch-text does)"
                                    : ""));
    }
    QTimer::singleShot(kPollMilliseconds, [wait] { poll(wait); });
}

void waitFor(const ScriptLine& line, Condition done, int limit, std::string what, bool watches = false,
             int quietPollsNeeded = 1)
{
    auto wait = std::make_shared<Wait>();
    wait->line = line;
    wait->done = std::move(done);
    wait->limit = limit;
    wait->what = std::move(what);
    wait->watches = watches;
    wait->quietPollsNeeded = quietPollsNeeded;
    wait->started.start();
    poll(wait);
}

// The optional limit in word `index`; the default when the line ends before it.
int limitArgument(const ScriptLine& line, std::size_t index, std::string_view usage)
{
    return index < line.words.size() ? numberArgument(line, index, usage) : kDefaultWaitMilliseconds;
}

void waitForWindow(const ScriptLine& line, bool loaded, std::string_view usage)
{
    const std::string name = line.words[1];
    const int limit = limitArgument(line, 2, usage);
    if (!formTemplates().findWindowByName(name))
        fail(line, "no window " + name);
    waitFor(line, [name, loaded] { return (findWindow(name) != nullptr) == loaded; }, limit, "for " + name);
}

// What the unit shows (its description: a list view's rows, a status bar's parts, an edit box's
// text) contains TEXT. The window may not be loaded yet when the wait starts.
void waitForText(const ScriptLine& line, bool watches, std::string_view usage)
{
    const std::string target = line.words[1];
    const std::string expected = line.words[2];
    const int limit = limitArgument(line, 3, usage);
    // Named copies, not structured bindings: clang 14 cannot capture a binding in a lambda.
    const std::pair<std::string, std::string> names = splitUnitName(line, target);
    waitFor(line, [windowName = names.first, unitName = names.second, expected] {
        LiveWindow* window = findWindow(windowName);
        const Unit* unit = window ? window->findUnitByName(unitName) : nullptr;
        return unit && unit->describe().find(expected) != std::string::npos;
    }, limit, "for \"" + expected + "\" in " + target, watches);
}

}  // namespace

void runWaitIdle(const ScriptLine& line)
{
    waitFor(line, [] { return true; }, limitArgument(line, 1, "wait-idle [MS]"), "for the program to be idle", false,
            2);
}

void runWaitLoaded(const ScriptLine& line)
{
    waitForWindow(line, true, "wait-loaded WINDOW [MS]");
}

void runWaitClosed(const ScriptLine& line)
{
    waitForWindow(line, false, "wait-closed WINDOW [MS]");
}

void runWaitText(const ScriptLine& line)
{
    waitForText(line, false, "wait-text WINDOW.UNIT TEXT [MS]");
}

// For the lines that act while a handler still runs (stop a search that has listed a few folders,
// cancel a job that has made a page): looks at every event point, inside the handler too.
void runWatchText(const ScriptLine& line)
{
    waitForText(line, true, "watch-text WINDOW.UNIT TEXT [MS]");
}

void runSleep(const ScriptLine& line)
{
    scheduleNextLine(numberArgument(line, 1, "sleep MS"));
}

}  // namespace quillora::runtime
