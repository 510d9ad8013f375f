// Starting the driver and running the script one line at a time at the program's idle points.
#include "runtime/automation/driver.h"

#include "platform/program_image.h"
#include "runtime/automation/verbs.h"
#include "runtime/core/events.h"
#include "runtime/core/runtime_start.h"
#include "runtime/core/program_exit.h"
#include "runtime/core/window_loader.h"

#include <QTimer>

#include <vector>

namespace quillora::runtime {
namespace {

constexpr int kLoadPollMilliseconds = 10;

struct Driver {
    std::vector<ScriptLine> lines;
    std::size_t next = 0;
    // While a holding line runs (Verb::holds): the modal loops running when it started. The next
    // line waits for it unless a modal window it opened runs a loop of its own.
    bool held = false;
    int heldAtModalDepth = 0;
};

Driver* driver = nullptr;

// Marks the driver held for as long as a holding line runs, and restores what was before (a
// holding line may run inside a modal window opened by another).
class LineHold {
public:
    LineHold() : wasHeld_(driver->held), depthBefore_(driver->heldAtModalDepth)
    {
        driver->held = true;
        driver->heldAtModalDepth = modalLoopDepth();
    }
    ~LineHold()
    {
        driver->held = wasHeld_;
        driver->heldAtModalDepth = depthBefore_;
    }
    LineHold(const LineHold&) = delete;
    LineHold& operator=(const LineHold&) = delete;

private:
    bool wasHeld_;
    int depthBefore_;
};

void step()
{
    // A window being built lets waiting messages through; the script waits until the window is
    // complete, as a user cannot act on a window that is not up yet.
    // So does a line that holds the script until it is done.
    if (windowBeingLoaded() || (driver->held && modalLoopDepth() <= driver->heldAtModalDepth)) {
        QTimer::singleShot(kLoadPollMilliseconds, [] { step(); });
        return;
    }
    if (driver->next >= driver->lines.size())
        exitProgram(0);
    const ScriptLine line = driver->lines[driver->next++];
    const Verb* verb = findVerb(line.words[0]);
    if (!verb)
        fail(line, "unknown command " + line.words[0]);
    expectArguments(line, verb->leastArguments, verb->mostArguments, verb->usage);
    // The next line is scheduled before this one runs: a line that opens a modal window only
    // returns when that window closes, and the script must go on inside it; a line that starts
    // a long handler lets the next line act at the handler's next event processing. A waiting
    // line schedules the next one itself when its wait is over.
    if (!verb->waits)
        scheduleNextLine(0);
    if (verb->holds) {
        const LineHold hold;
        verb->run(line);
    } else {
        verb->run(line);
    }
}

}  // namespace

void scheduleNextLine(int delayMilliseconds)
{
    QTimer::singleShot(delayMilliseconds, [] { step(); });
}

void startAutomationIfRequested()
{
    const std::vector<std::string> arguments = platform::programArguments();
    for (std::size_t i = 0; i + 1 < arguments.size(); ++i) {
        if (arguments[i] != "--script")
            continue;
        std::optional<std::vector<ScriptLine>> lines = readScript(launchPath(arguments[i + 1]));
        if (!lines)
            failAt(0, "cannot read " + arguments[i + 1]);
        driver = new Driver{std::move(*lines), 0};
        interceptMessageBoxes();
        scheduleNextLine(0);
        return;
    }
}

bool automationRunning()
{
    return driver != nullptr;
}

}  // namespace quillora::runtime
