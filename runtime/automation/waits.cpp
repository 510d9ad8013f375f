// The verbs that wait: the line stays current, polled without blocking the program, until its
// condition holds (then the next line is scheduled) or its limit runs out (the run ends with an
// error line). A limit is given in milliseconds; 30 s when the line gives none, and a long job
// (an album of thousands of photos) may need a larger one.
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

void pollUntil(const ScriptLine& line, Condition done, QElapsedTimer started, int limit, std::string what)
{
    if (done()) {
        scheduleNextLine(0);
        return;
    }
    if (started.elapsed() > limit)
        fail(line, "timed out waiting " + what);
    QTimer::singleShot(kPollMilliseconds, [line, done = std::move(done), started, limit, what = std::move(what)] {
        pollUntil(line, done, started, limit, what);
    });
}

void waitFor(const ScriptLine& line, Condition done, int limit, std::string what)
{
    QElapsedTimer started;
    started.start();
    pollUntil(line, std::move(done), started, limit, std::move(what));
}

// The optional limit in word `index`; the default when the line ends before it.
int limitArgument(const ScriptLine& line, std::size_t index, std::string_view usage)
{
    return index < line.words.size() ? numberArgument(line, index, usage) : kDefaultWaitMilliseconds;
}

// No handler runs and no window is being built, and that twice in a row a poll apart, so that
// what a finished handler posted has had its turn too.
Condition idleCondition()
{
    auto quietPolls = std::make_shared<int>(0);
    return [quietPolls] {
        const EventSource source = currentEventSource();
        const bool quiet = source.windowId == 0 && source.unitId == 0 && !windowBeingLoaded();
        *quietPolls = quiet ? *quietPolls + 1 : 0;
        return *quietPolls >= 2;
    };
}

void waitForWindow(const ScriptLine& line, bool loaded, std::string_view usage)
{
    const std::string name = line.words[1];
    const int limit = limitArgument(line, 2, usage);
    if (!formTemplates().findWindowByName(name))
        fail(line, "no window " + name);
    waitFor(line, [name, loaded] { return (findWindow(name) != nullptr) == loaded && !windowBeingLoaded(); },
            limit, "for " + name);
}

}  // namespace

void runWaitIdle(const ScriptLine& line)
{
    waitFor(line, idleCondition(), limitArgument(line, 1, "wait-idle [MS]"), "for the program to be idle");
}

void runWaitLoaded(const ScriptLine& line)
{
    waitForWindow(line, true, "wait-loaded WINDOW [MS]");
}

void runWaitClosed(const ScriptLine& line)
{
    waitForWindow(line, false, "wait-closed WINDOW [MS]");
}

// Waits until what the unit shows (its description: a list view's rows, a status bar's parts, an
// edit box's text) contains TEXT; for watching a handler that is still running. The window may
// not be loaded yet when the wait starts.
void runWaitText(const ScriptLine& line)
{
    const std::string target = line.words[1];
    const std::string expected = line.words[2];
    const int limit = limitArgument(line, 3, "wait-text WINDOW.UNIT TEXT [MS]");
    // Named copies, not structured bindings: clang 14 cannot capture a binding in a lambda.
    const std::pair<std::string, std::string> names = splitUnitName(line, target);
    waitFor(line, [windowName = names.first, unitName = names.second, expected] {
        LiveWindow* window = findWindow(windowName);
        const Unit* unit = window ? window->findUnitByName(unitName) : nullptr;
        return unit && unit->describe().find(expected) != std::string::npos;
    }, limit, "for \"" + expected + "\" in " + target);
}

void runSleep(const ScriptLine& line)
{
    scheduleNextLine(numberArgument(line, 1, "sleep MS"));
}

}  // namespace quillora::runtime
