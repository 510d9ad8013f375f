#include "runtime/automation/verbs.h"

#include "runtime/core/live_window.h"
#include "runtime/core/window_registry.h"
#include "runtime/units/unit.h"

#include <array>

namespace quillora::runtime {
namespace {

constexpr std::size_t kAny = kAnyNumberOfArguments;

// Every verb of the script language, with the number of words after it and its usage as the
// error line quotes it. driver.h documents each one.
constexpr std::array kVerbs = {
    Verb{"click", 1, 1, "click WINDOW.UNIT", &runClick},
    Verb{"dblclick", 1, 2, "dblclick WINDOW.UNIT [ROW]", &runDoubleClick},
    Verb{"type", 2, 2, "type WINDOW.UNIT TEXT", &runType, false, true},
    Verb{"focus", 1, 1, "focus WINDOW.UNIT", &runFocus, false, true},
    Verb{"check", 2, 2, "check WINDOW.UNIT on|off", &runCheck, false, true},
    Verb{"select", 2, 2, "select WINDOW.UNIT INDEX|TEXT", &runSelect, false, true},
    Verb{"tree", 2, 2, "tree WINDOW.UNIT CAPTION/CAPTION/...", &runTree, false, true},
    Verb{"slide", 2, 2, "slide WINDOW.UNIT POS", &runSlide, false, true},
    Verb{"key", 2, 2, "key WINDOW.UNIT KEY", &runKey, false, true},
    Verb{"press", 1, 1, "press TEXT", &runPress},
    Verb{"close", 1, 1, "close WINDOW", &runClose},
    Verb{"menu", 1, 1, "menu WINDOW.ITEM", &runMenu},
    Verb{"load", 1, 2, "load WINDOW [modal]", &runLoad},
    Verb{"answer", 2, kAny, "answer KIND ANSWER", &runAnswer},
    Verb{"echo", 0, kAny, "echo TEXT", &runEcho},
    Verb{"quit", 0, 1, "quit [CODE]", &runQuit},
    Verb{"remove-file", 1, 1, "remove-file PATH", &runRemoveFile},
    Verb{"copy-file", 2, 2, "copy-file FROM TO", &runCopyFile},
    Verb{"dump", 1, 1, "dump WINDOW|WINDOW.UNIT", &runDump},
    Verb{"rows", 1, 1, "rows WINDOW.UNIT", &runRows},
    Verb{"status", 0, 0, "status", &runStatus},
    Verb{"screenshot", 2, 2, "screenshot WINDOW FILE.png", &runScreenshot},
    Verb{"focused", 1, 1, "focused WINDOW", &runFocused},
    Verb{"enabled", 1, 1, "enabled WINDOW|WINDOW.UNIT", &runEnabled},
    Verb{"events", 1, 1, "events on|off", &runEvents},
    Verb{"wait-idle", 0, 1, "wait-idle [MS]", &runWaitIdle, true},
    Verb{"wait-loaded", 1, 2, "wait-loaded WINDOW [MS]", &runWaitLoaded, true},
    Verb{"wait-closed", 1, 2, "wait-closed WINDOW [MS]", &runWaitClosed, true},
    Verb{"wait-text", 2, 3, "wait-text WINDOW.UNIT TEXT [MS]", &runWaitText, true},
    Verb{"watch-text", 2, 3, "watch-text WINDOW.UNIT TEXT [MS]", &runWatchText, true},
    Verb{"sleep", 1, 1, "sleep MS", &runSleep, true},
};

}  // namespace

std::span<const Verb> verbTable()
{
    return kVerbs;
}

const Verb* findVerb(std::string_view name)
{
    for (const Verb& verb : kVerbs)
        if (verb.name == name)
            return &verb;
    return nullptr;
}

LiveWindow* findWindow(std::string_view name)
{
    for (LiveWindow* window : liveWindows())
        if (window->name() == name)
            return window;
    return nullptr;
}

LiveWindow& windowNamed(const ScriptLine& line, std::string_view name)
{
    if (LiveWindow* window = findWindow(name))
        return *window;
    fail(line, "window " + std::string(name) + " is not loaded");
}

std::pair<std::string, std::string> splitUnitName(const ScriptLine& line, std::string_view target)
{
    const auto dot = target.find('.');
    if (dot == std::string_view::npos)
        fail(line, "expected WINDOW.UNIT, got " + std::string(target));
    return {std::string(target.substr(0, dot)), std::string(target.substr(dot + 1))};
}

Unit& unitNamed(const ScriptLine& line, std::string_view target)
{
    const auto [windowName, unitName] = splitUnitName(line, target);
    Unit* unit = windowNamed(line, windowName).findUnitByName(unitName);
    if (!unit)
        fail(line, "no unit " + std::string(target));
    return *unit;
}

}  // namespace quillora::runtime
