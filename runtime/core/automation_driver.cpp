#include "runtime/core/automation_driver.h"

#include "platform/message_box.h"
#include "platform/program_image.h"
#include "runtime/core/automation_dump.h"
#include "runtime/core/events.h"
#include "runtime/core/form_template_format.h"
#include "runtime/core/live_window.h"
#include "runtime/core/program_exit.h"
#include "runtime/core/runtime_start.h"
#include "runtime/core/window_loader.h"
#include "runtime/core/window_registry.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTimer>

#include <cstdio>
#include <deque>
#include <fstream>
#include <map>
#include <sstream>
#include <vector>

namespace quillora::runtime {
namespace {

constexpr int kDefaultWaitMilliseconds = 30000;
constexpr int kPollMilliseconds = 50;
constexpr int kLoadPollMilliseconds = 10;
constexpr int kScriptFailedExitCode = 2;

struct ScriptLine {
    int number = 0;
    std::string verb;
    std::string rest;
};

struct Driver {
    std::vector<ScriptLine> lines;
    std::size_t next = 0;
    std::deque<int> messageBoxAnswers;
    std::map<std::string, std::deque<std::string>, std::less<>> dialogAnswers;
};

Driver* driver = nullptr;

void say(const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

[[noreturn]] void fail(const ScriptLine& line, const std::string& problem)
{
    std::fprintf(stderr, "script error line %d: %s\n", line.number, problem.c_str());
    exitProgram(kScriptFailedExitCode);
}

std::string trim(std::string_view text)
{
    const auto begin = text.find_first_not_of(" \t\r");
    if (begin == std::string_view::npos)
        return {};
    const auto end = text.find_last_not_of(" \t\r");
    return std::string(text.substr(begin, end - begin + 1));
}

// Splits "first rest of line" at the first blank.
std::pair<std::string, std::string> splitFirst(std::string_view text)
{
    const std::string whole = trim(text);
    const auto blank = whole.find_first_of(" \t");
    if (blank == std::string::npos)
        return {whole, {}};
    return {whole.substr(0, blank), trim(std::string_view(whole).substr(blank))};
}

// A quoted argument loses its quotes, so that "" stands for the empty text.
std::string unquote(std::string text)
{
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        return text.substr(1, text.size() - 2);
    return text;
}

// Paths on the command line and in the script are relative to the folder the program was
// started from, not the program's own folder that start-up moves to.
std::string launchPath(const std::string& path)
{
    if (path.empty() || path.front() == '/' || launchDirectory().empty())
        return path;
    return launchDirectory() + "/" + path;
}

LiveWindow& windowNamed(const ScriptLine& line, std::string_view name)
{
    for (LiveWindow* window : liveWindows())
        if (window->name() == name)
            return *window;
    fail(line, "window " + std::string(name) + " is not loaded");
}

Unit& unitNamed(const ScriptLine& line, std::string_view target)
{
    const auto dot = target.find('.');
    if (dot == std::string_view::npos)
        fail(line, "expected WINDOW.UNIT, got " + std::string(target));
    LiveWindow& window = windowNamed(line, target.substr(0, dot));
    Unit* unit = window.findUnitByName(target.substr(dot + 1));
    if (!unit)
        fail(line, "no unit " + std::string(target));
    return *unit;
}

std::string describeWindow(const LiveWindow& window)
{
    std::string text = window.name() + " \"" + window.caption() + "\"";
    for (const auto& unit : window.units()) {
        const std::string shown = unit->describe();
        if (!shown.empty())
            text += "\n" + unit->name() + ": " + shown;
    }
    return text;
}

std::string describeTarget(const ScriptLine& line, std::string_view target)
{
    if (target.find('.') == std::string_view::npos)
        return describeWindow(windowNamed(line, target));
    return unitNamed(line, target).describe();
}

struct KeyStroke {
    int key = 0;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};

// "Tab", "Shift+Tab", "Enter", "Esc", "Alt+X", a single character, ...
KeyStroke keyNamed(std::string_view name)
{
    static const std::map<std::string, int, std::less<>> keys = {
        {"Return", Qt::Key_Return}, {"Enter", Qt::Key_Return}, {"Escape", Qt::Key_Escape}, {"Esc", Qt::Key_Escape},
        {"Tab", Qt::Key_Tab}, {"Backtab", Qt::Key_Backtab}, {"Left", Qt::Key_Left}, {"Right", Qt::Key_Right},
        {"Up", Qt::Key_Up}, {"Down", Qt::Key_Down}, {"Space", Qt::Key_Space}, {"F1", Qt::Key_F1},
    };
    KeyStroke stroke;
    for (;;) {
        if (name.starts_with("Shift+"))
            stroke.modifiers |= Qt::ShiftModifier;
        else if (name.starts_with("Alt+"))
            stroke.modifiers |= Qt::AltModifier;
        else if (name.starts_with("Ctrl+"))
            stroke.modifiers |= Qt::ControlModifier;
        else
            break;
        name.remove_prefix(name.find('+') + 1);
    }
    if (const auto found = keys.find(name); found != keys.end())
        stroke.key = found->second;
    else if (name.size() == 1)
        stroke.key = QChar(name[0]).toUpper().unicode();
    // Qt reports Shift+Tab as its own key.
    if (stroke.key == Qt::Key_Tab && (stroke.modifiers & Qt::ShiftModifier))
        stroke.key = Qt::Key_Backtab;
    return stroke;
}

void scheduleNext(int delayMilliseconds);

void runUnitAction(const ScriptLine& line)
{
    const auto [target, argument] = splitFirst(line.rest);
    std::string problem;
    if (!unitNamed(line, target).automate(line.verb, unquote(argument), problem))
        fail(line, problem.empty() ? line.verb + " failed on " + target : problem);
}

void runAnswer(const ScriptLine& line)
{
    const auto [kind, answer] = splitFirst(line.rest);
    if (kind == "messagebox") {
        driver->messageBoxAnswers.push_back(std::atoi(answer.c_str()));
        return;
    }
    if (kind != "folder" && kind != "font" && kind != "print")
        fail(line, "unknown dialog " + kind);
    driver->dialogAnswers[kind].push_back(unquote(answer));
}

void runKey(const ScriptLine& line)
{
    const auto [windowName, keyName] = splitFirst(line.rest);
    LiveWindow& window = windowNamed(line, windowName);
    const KeyStroke stroke = keyNamed(keyName);
    if (stroke.key == 0)
        fail(line, "unknown key " + keyName);
    QWidget* target = QApplication::focusWidget();
    if (!target || target->window() != window.widget())
        target = window.widget();
    QString text;
    if (stroke.key == Qt::Key_Return)
        text = QStringLiteral("\r");
    else if (stroke.key < 0x80 && stroke.key >= 0x20 && !(stroke.modifiers & Qt::ControlModifier))
        text = QChar(stroke.key).toLower();
    QKeyEvent press(QEvent::KeyPress, stroke.key, stroke.modifiers, text);
    QKeyEvent release(QEvent::KeyRelease, stroke.key, stroke.modifiers, text);
    QApplication::sendEvent(target, &press);
    QApplication::sendEvent(target, &release);
}

// The unit whose control holds `widget`: the nearest unit control among its ancestors, so that a
// focus proxy (a tab control's tab row) or a viewport names its unit.
const Unit* unitHolding(const LiveWindow& window, const QWidget* widget)
{
    for (; widget; widget = widget->parentWidget())
        for (const auto& unit : window.units())
            if (unit->widget() == widget)
                return unit.get();
    return nullptr;
}

// "focused W": the unit that has the keyboard focus in W, or the one that gets it when W is
// next activated.
void runFocused(const ScriptLine& line)
{
    const LiveWindow& window = windowNamed(line, line.rest);
    const QWidget* focus = QApplication::focusWidget();
    if (!focus || focus->window() != window.widget())
        focus = window.widget()->focusWidget();
    const Unit* unit = unitHolding(window, focus);
    say("focused\t" + window.name() + "\t" + (unit ? unit->name() : std::string("-")));
}

void runEnabled(const ScriptLine& line)
{
    const QWidget* control = line.rest.find('.') == std::string::npos ? windowNamed(line, line.rest).widget()
                                                                         : unitNamed(line, line.rest).widget();
    say("enabled\t" + line.rest + "\t" + (control && control->isEnabled() ? "yes" : "no"));
}

// "load W [modal]" loads W as the application's load-window command does: a non-modal window is
// owned by the start window. A modal load returns only when the window is gone; the next line
// is already scheduled, so the script goes on inside the modal loop.
void runLoad(const ScriptLine& line)
{
    const auto [windowName, mode] = splitFirst(line.rest);
    if (!mode.empty() && mode != "modal")
        fail(line, "expected load WINDOW [modal]");
    const WindowTemplate* stored = formTemplates().findWindowByName(windowName);
    if (!stored)
        fail(line, "no window " + windowName);
    const std::vector<LiveWindow*> loaded = liveWindows();
    const std::uint32_t owner = loaded.empty() ? 0 : loaded.front()->id();
    if (!loadWindow(stored->id, mode == "modal", owner))
        fail(line, "cannot load " + windowName);
}

// Prints "event WINDOW.UNIT NUMBER" (just WINDOW for the window's own events) for every event.
void printEvent(const EventRecord& record)
{
    const WindowTemplate* window = formTemplates().findWindow(record.windowId);
    if (!window)
        return;
    std::string name = window->name();
    if (record.unitId != 0) {
        if (const UnitTemplate* unit = window->findUnit(record.unitId))
            name += "." + unit->name;
        else if (const MenuItemTemplate* item = window->findMenuItem(record.unitId))
            name += "." + item->name;
    }
    say("event " + name + " " + std::to_string(record.event));
}

void runEvents(const ScriptLine& line)
{
    if (line.rest != "on" && line.rest != "off")
        fail(line, "expected events on|off");
    setEventObserver(line.rest == "on" ? &printEvent : nullptr);
}

void runMenu(const ScriptLine& line)
{
    const auto dot = line.rest.find('.');
    if (dot == std::string::npos)
        fail(line, "expected WINDOW.ITEM");
    LiveWindow& window = windowNamed(line, std::string_view(line.rest).substr(0, dot));
    const MenuItemTemplate* item = window.workingTemplate().findMenuItemByName(line.rest.substr(dot + 1));
    if (!item)
        fail(line, "no menu item " + line.rest);
    fireUnitEvent(window.id(), item->id, kEventMenuSelected);
}

// Returns how long to wait before the next line.
int runLine(const ScriptLine& line)
{
    const std::string& verb = line.verb;
    if (verb == "click" || verb == "type" || verb == "tick" || verb == "select" || verb == "choose"
        || verb == "doubleclick") {
        runUnitAction(line);
    } else if (verb == "focus") {
        Unit& unit = unitNamed(line, line.rest);
        if (unit.widget()) {
            unit.widget()->window()->activateWindow();
            unit.widget()->setFocus(Qt::OtherFocusReason);
        }
    } else if (verb == "key") {
        runKey(line);
    } else if (verb == "menu") {
        runMenu(line);
    } else if (verb == "close") {
        LiveWindow& window = windowNamed(line, line.rest);
        window.widget()->close();
    } else if (verb == "focused") {
        runFocused(line);
    } else if (verb == "enabled") {
        runEnabled(line);
    } else if (verb == "load") {
        runLoad(line);
    } else if (verb == "events") {
        runEvents(line);
    } else if (verb == "dump") {
        const std::optional<std::string> dump = dumpWindow(line.rest);
        if (!dump)
            fail(line, "no window " + line.rest);
        std::fwrite(dump->data(), 1, dump->size(), stdout);
        std::fflush(stdout);
    } else if (verb == "answer") {
        runAnswer(line);
    } else if (verb == "show") {
        say(line.rest + ": " + describeTarget(line, line.rest));
    } else if (verb == "expect") {
        const auto [target, expected] = splitFirst(line.rest);
        const std::string shown = describeTarget(line, target);
        if (shown.find(unquote(expected)) == std::string::npos)
            fail(line, target + " shows \"" + shown + "\", not \"" + unquote(expected) + "\"");
    } else if (verb == "wait") {
        return std::max(0, std::atoi(line.rest.c_str()));
    } else if (verb == "save") {
        const auto [windowName, file] = splitFirst(line.rest);
        LiveWindow& window = windowNamed(line, windowName);
        if (!window.widget()->grab().save(QString::fromStdString(launchPath(unquote(file)))))
            fail(line, "cannot save " + file);
    } else if (verb == "echo") {
        say(unquote(line.rest));
    } else if (verb == "quit") {
        exitProgram(line.rest.empty() ? 0 : std::atoi(line.rest.c_str()));
    } else {
        fail(line, "unknown command " + verb);
    }
    return 0;
}

// "waitfor" polls without blocking the program: the line stays current until its text shows or
// its time runs out.
void runWaitFor(const ScriptLine& line, QElapsedTimer started)
{
    auto [target, rest] = splitFirst(line.rest);
    std::string expected = rest;
    int limit = kDefaultWaitMilliseconds;
    if (const auto blank = rest.find_last_of(' '); blank != std::string::npos) {
        const std::string last = rest.substr(blank + 1);
        if (!last.empty() && last.find_first_not_of("0123456789") == std::string::npos) {
            limit = std::atoi(last.c_str());
            expected = trim(std::string_view(rest).substr(0, blank));
        }
    }
    expected = unquote(expected);
    const bool windowTarget = target.find('.') == std::string::npos;
    const bool present = windowTarget ? [&] {
        for (LiveWindow* window : liveWindows())
            if (window->name() == target)
                return true;
        return false;
    }() : true;
    if (present && describeTarget(line, target).find(expected) != std::string::npos) {
        scheduleNext(0);
        return;
    }
    if (started.elapsed() > limit)
        fail(line, "timed out waiting for \"" + expected + "\" in " + target);
    QTimer::singleShot(kPollMilliseconds, [line, started] { runWaitFor(line, started); });
}

void step()
{
    // A window being built lets waiting messages through; the script waits until the window is
    // complete, as a user cannot act on a window that is not up yet.
    if (windowBeingLoaded()) {
        QTimer::singleShot(kLoadPollMilliseconds, [] { step(); });
        return;
    }
    if (driver->next >= driver->lines.size()) {
        exitProgram(0);
    }
    const ScriptLine line = driver->lines[driver->next++];
    if (line.verb == "waitfor") {
        QElapsedTimer started;
        started.start();
        runWaitFor(line, started);
        return;
    }
    // The next line is scheduled before this one runs: a line that opens a modal window only
    // returns when that window closes, and the script must go on inside it.
    if (line.verb == "wait") {
        scheduleNext(runLine(line));
        return;
    }
    scheduleNext(0);
    runLine(line);
}

void scheduleNext(int delayMilliseconds)
{
    QTimer::singleShot(delayMilliseconds, [] { step(); });
}

int answerMessageBox(const platform::MessageBoxRequest& request)
{
    int answer = platform::defaultMessageBoxAnswer(request.style);
    if (!driver->messageBoxAnswers.empty()) {
        answer = driver->messageBoxAnswers.front();
        driver->messageBoxAnswers.pop_front();
    }
    say("messagebox \"" + request.title + "\": " + request.text + " -> " + std::to_string(answer));
    return answer;
}

bool loadScript(const std::string& path, Driver& target)
{
    std::ifstream file(path);
    if (!file)
        return false;
    std::string text;
    for (int number = 1; std::getline(file, text); ++number) {
        const std::string content = trim(text);
        if (content.empty() || content.front() == '#')
            continue;
        auto [verb, rest] = splitFirst(content);
        target.lines.push_back({number, verb, rest});
    }
    return true;
}

}  // namespace

void startAutomationIfRequested()
{
    const std::vector<std::string> arguments = platform::programArguments();
    for (std::size_t i = 0; i + 1 < arguments.size(); ++i) {
        if (arguments[i] != "--script")
            continue;
        driver = new Driver;
        if (!loadScript(launchPath(arguments[i + 1]), *driver)) {
            std::fprintf(stderr, "script error: cannot read %s\n", arguments[i + 1].c_str());
            exitProgram(kScriptFailedExitCode);
        }
        platform::setMessageBoxInterceptor(&answerMessageBox);
        scheduleNext(0);
        return;
    }
}

bool automationRunning()
{
    return driver != nullptr;
}

std::optional<std::string> takeAutomationAnswer(std::string_view kind)
{
    if (!driver)
        return std::nullopt;
    auto found = driver->dialogAnswers.find(kind);
    if (found == driver->dialogAnswers.end() || found->second.empty())
        return std::nullopt;
    std::string answer = found->second.front();
    found->second.pop_front();
    return answer;
}

}  // namespace quillora::runtime
