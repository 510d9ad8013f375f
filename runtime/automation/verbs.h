// The automation driver's verbs, shared between its parts: the table that dispatches them, the
// lookups of the windows and units a line names, and each group of verbs.
//
//   verbs.cpp              the table, and finding windows and units by name
//   actions.cpp            what a user does: click, type, select, key, press, load, close, ...
//   output.cpp             what a user sees: dump, rows, status, screenshot, focused, ...
//   waits.cpp              wait-idle, wait-loaded, wait-closed, wait-text, sleep
//   answers.cpp            answer, and the queue the dialogs take their answers from
//   driver.cpp             starting the driver and running the lines one by one
#pragma once

#include "runtime/automation/script.h"

#include <cstddef>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace quillora::runtime {

class LiveWindow;
class Unit;

using VerbFunction = void (*)(const ScriptLine& line);

inline constexpr std::size_t kAnyNumberOfArguments = std::numeric_limits<std::size_t>::max();

struct Verb {
    std::string_view name;
    std::size_t leastArguments = 0;
    std::size_t mostArguments = 0;
    std::string_view usage;  // "click WINDOW.UNIT": the words a line of this verb takes
    VerbFunction run = nullptr;
    // A waiting verb schedules the next line itself when its condition holds; any other verb
    // gets the next line scheduled before it runs (see driver.cpp).
    bool waits = false;
    // The next line runs only once this one is done, not at the event processing of a handler
    // the line sets off (a preview drawn because the focus left a box): a value typed, ticked or
    // chosen is all in place before the script goes on. A modal window the line opens still lets
    // the script go on inside it.
    bool holds = false;
};

std::span<const Verb> verbTable();
// The verb of that name; null when there is none.
const Verb* findVerb(std::string_view name);

// --- naming windows and units ---------------------------------------------------------------

// The loaded window of that name; null when it is not loaded.
LiveWindow* findWindow(std::string_view name);
// The same, ending the run when it is not loaded.
LiveWindow& windowNamed(const ScriptLine& line, std::string_view name);
// "WINDOW.UNIT" split at its first dot; ends the run when there is none.
std::pair<std::string, std::string> splitUnitName(const ScriptLine& line, std::string_view target);
// The unit of a loaded window; ends the run when there is none.
Unit& unitNamed(const ScriptLine& line, std::string_view target);

// --- the verbs --------------------------------------------------------------------------------

void runClick(const ScriptLine& line);
void runDoubleClick(const ScriptLine& line);
void runType(const ScriptLine& line);
void runFocus(const ScriptLine& line);
void runCheck(const ScriptLine& line);
void runSelect(const ScriptLine& line);
void runTree(const ScriptLine& line);
void runSlide(const ScriptLine& line);
void runKey(const ScriptLine& line);
void runPress(const ScriptLine& line);
void runClose(const ScriptLine& line);
void runLoad(const ScriptLine& line);
void runMenu(const ScriptLine& line);
void runEcho(const ScriptLine& line);
void runQuit(const ScriptLine& line);
void runRemoveFile(const ScriptLine& line);
void runCopyFile(const ScriptLine& line);

void runDump(const ScriptLine& line);
void runRows(const ScriptLine& line);
void runStatus(const ScriptLine& line);
void runScreenshot(const ScriptLine& line);
void runFocused(const ScriptLine& line);
void runEnabled(const ScriptLine& line);
void runEvents(const ScriptLine& line);

void runWaitIdle(const ScriptLine& line);
void runWaitLoaded(const ScriptLine& line);
void runWaitClosed(const ScriptLine& line);
void runWaitText(const ScriptLine& line);
void runWatchText(const ScriptLine& line);
void runSleep(const ScriptLine& line);

void runAnswer(const ScriptLine& line);

// --- shared by the parts ----------------------------------------------------------------------

// Writes one output line (a newline is added) or a block of lines to standard output, at once.
void say(const std::string& text);
void write(const std::string& text);

// Installs the message-box interceptor that answers from the queue and prints every box.
void interceptMessageBoxes();

// Schedules the next script line after `delayMilliseconds` (driver.cpp).
void scheduleNextLine(int delayMilliseconds);

}  // namespace quillora::runtime
