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
#include "runtime/units/status_bar.h"
#include "runtime/units/unit.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTimer>

#include <cstdio>
#include <deque>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace quillora::runtime {
namespace {

constexpr int kDefaultWaitMilliseconds = 30000;
constexpr int kPollMilliseconds = 20;
constexpr int kLoadPollMilliseconds = 10;
constexpr int kScriptFailedExitCode = 3;

struct ScriptLine {
    int number = 0;
    std::vector<std::string> words;  // words[0] is the command
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

void write(const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

// Output fields are tab-separated, so a tab or line break inside a text must not split them.
std::string escaped(std::string_view text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
    return out;
}

[[noreturn]] void failAt(int lineNumber, const std::string& problem)
{
    std::fprintf(stderr, "error\t%d\t%s\n", lineNumber, escaped(problem).c_str());
    std::fflush(stderr);
    exitProgram(kScriptFailedExitCode);
}

[[noreturn]] void fail(const ScriptLine& line, const std::string& problem)
{
    failAt(line.number, problem);
}

// Splits a line into blank-separated words. Double quotes group blanks into a word, with \",
// \\ and \n inside them; a # outside quotes at the start of a word ends the line. False (with
// the reason) for an unterminated quote.
bool splitWords(std::string_view text, std::vector<std::string>& words, std::string& problem)
{
    std::size_t at = 0;
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (at < text.size()) {
        while (at < text.size() && blank(text[at]))
            ++at;
        if (at >= text.size() || text[at] == '#')
            break;
        std::string word;
        while (at < text.size() && !blank(text[at])) {
            if (text[at] != '"') {
                word += text[at++];
                continue;
            }
            ++at;
            bool closed = false;
            while (at < text.size()) {
                const char c = text[at++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c == '\\' && at < text.size()) {
                    const char escapedChar = text[at++];
                    word += escapedChar == 'n' ? '\n' : escapedChar;
                    continue;
                }
                word += c;
            }
            if (!closed) {
                problem = "unterminated quote";
                return false;
            }
        }
        words.push_back(std::move(word));
    }
    return true;
}

// Paths on the command line and in the script are relative to the folder the program was
// started from, not the program's own folder that start-up moves to.
std::string launchPath(const std::string& path)
{
    if (path.empty() || path.front() == '/' || launchDirectory().empty())
        return path;
    return launchDirectory() + "/" + path;
}

void expectWords(const ScriptLine& line, std::size_t least, std::size_t most, const char* usage)
{
    if (line.words.size() < least || line.words.size() > most)
        fail(line, std::string("expected ") + usage);
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

// The unit kinds take their user actions under their own verbs; the script's verbs map onto them.
void automateUnit(const ScriptLine& line, const std::string& target, const std::string& action,
                  const std::string& argument)
{
    std::string problem;
    if (!unitNamed(line, target).automate(action, argument, problem))
        fail(line, problem.empty() ? line.words[0] + " failed on " + target : problem);
}

void focusUnit(Unit& unit)
{
    if (!unit.widget())
        return;
    unit.widget()->window()->activateWindow();
    unit.widget()->setFocus(Qt::OtherFocusReason);
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
        {"Tab", Qt::Key_Tab}, {"Left", Qt::Key_Left}, {"Right", Qt::Key_Right}, {"Up", Qt::Key_Up},
        {"Down", Qt::Key_Down}, {"Space", Qt::Key_Space}, {"F1", Qt::Key_F1},
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

// "key W.U KEY": the key goes to the unit's control after it took the focus, as when a user
// clicks into it and then presses the key.
void runKey(const ScriptLine& line)
{
    expectWords(line, 3, 3, "key WINDOW.UNIT KEY");
    Unit& unit = unitNamed(line, line.words[1]);
    const KeyStroke stroke = keyNamed(line.words[2]);
    if (stroke.key == 0)
        fail(line, "unknown key " + line.words[2]);
    if (!unit.widget())
        fail(line, line.words[1] + " has no control");
    focusUnit(unit);
    QWidget* target = QApplication::focusWidget();
    if (!target || target->window() != unit.widget()->window())
        target = unit.widget()->focusProxy() ? unit.widget()->focusProxy() : unit.widget();
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
    expectWords(line, 2, 2, "focused WINDOW");
    const LiveWindow& window = windowNamed(line, line.words[1]);
    const QWidget* focus = QApplication::focusWidget();
    if (!focus || focus->window() != window.widget())
        focus = window.widget()->focusWidget();
    const Unit* unit = unitHolding(window, focus);
    say("focused\t" + window.name() + "\t" + (unit ? unit->name() : std::string("-")));
}

void runEnabled(const ScriptLine& line)
{
    expectWords(line, 2, 2, "enabled WINDOW|WINDOW.UNIT");
    const std::string& target = line.words[1];
    const QWidget* control = target.find('.') == std::string::npos ? windowNamed(line, target).widget()
                                                                    : unitNamed(line, target).widget();
    say("enabled\t" + target + "\t" + (control && control->isEnabled() ? "yes" : "no"));
}

// "load W" loads W as the application's load-window command does: owned by the start window.
// "load W modal" loads it modally and returns only when the window is gone; the next line is
// already scheduled, so the script goes on inside the modal loop.
void runLoad(const ScriptLine& line)
{
    expectWords(line, 2, 3, "load WINDOW [modal]");
    const bool modal = line.words.size() == 3;
    if (modal && line.words[2] != "modal")
        fail(line, "expected load WINDOW [modal]");
    const WindowTemplate* stored = formTemplates().findWindowByName(line.words[1]);
    if (!stored)
        fail(line, "no window " + line.words[1]);
    const std::vector<LiveWindow*> loaded = liveWindows();
    const std::uint32_t owner = loaded.empty() ? 0 : loaded.front()->id();
    if (!loadWindow(stored->id, modal, owner))
        fail(line, "cannot load " + line.words[1]);
}

// Prints "event<TAB>WINDOW.UNIT<TAB>NUMBER" (just WINDOW for the window's own events).
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
    say("event\t" + name + "\t" + std::to_string(record.event));
}

void runMenu(const ScriptLine& line)
{
    expectWords(line, 2, 2, "menu WINDOW.ITEM");
    const auto [windowName, itemName] = splitUnitName(line, line.words[1]);
    LiveWindow& window = windowNamed(line, windowName);
    const MenuItemTemplate* item = window.workingTemplate().findMenuItemByName(itemName);
    if (!item)
        fail(line, "no menu item " + line.words[1]);
    fireUnitEvent(window.id(), item->id, kEventMenuSelected);
}

// "answer KIND ...": queued for the next dialog of that kind. What a dialog takes from
// takeAutomationAnswer: a folder or file path ("" when cancelled), "ok" or "cancel" for the print
// dialog, "FACE SIZE [styles]" or "cancel" for the font dialog.
void runAnswer(const ScriptLine& line)
{
    if (line.words.size() < 3)
        fail(line, "expected answer KIND ANSWER");
    const std::string& kind = line.words[1];
    const std::string& answer = line.words[2];
    if (kind == "message-box") {
        expectWords(line, 3, 3, "answer message-box ok|cancel|yes|no");
        static const std::map<std::string, int, std::less<>> buttons = {
            {"ok", 1}, {"cancel", 2}, {"yes", 6}, {"no", 7}};
        const auto found = buttons.find(answer);
        if (found == buttons.end())
            fail(line, "expected answer message-box ok|cancel|yes|no");
        driver->messageBoxAnswers.push_back(found->second);
    } else if (kind == "folder" || kind == "save-file") {
        expectWords(line, 3, 3, "answer folder|save-file PATH|cancel");
        driver->dialogAnswers[kind].push_back(answer == "cancel" ? std::string() : launchPath(answer));
    } else if (kind == "print-dialog") {
        expectWords(line, 3, 3, "answer print-dialog ok|cancel");
        if (answer != "ok" && answer != "cancel")
            fail(line, "expected answer print-dialog ok|cancel");
        driver->dialogAnswers[kind].push_back(answer);
    } else if (kind == "font") {
        if (answer == "cancel") {
            expectWords(line, 3, 3, "answer font cancel");
            driver->dialogAnswers[kind].push_back(answer);
            return;
        }
        if (line.words.size() < 4)
            fail(line, "expected answer font NAME SIZE [bold] [italic] [underline] [strikeout]");
        // The font dialog reads "FACE SIZE styles", with a face of several words quoted.
        std::string text = answer.find(' ') == std::string::npos ? answer : "\"" + answer + "\"";
        for (std::size_t index = 3; index < line.words.size(); ++index) {
            const std::string& word = line.words[index];
            if (index > 3 && word != "bold" && word != "italic" && word != "underline" && word != "strikeout")
                fail(line, "unknown font style " + word);
            text += " " + word;
        }
        driver->dialogAnswers[kind].push_back(text);
    } else {
        fail(line, "unknown dialog " + kind);
    }
}

void runDump(const ScriptLine& line)
{
    expectWords(line, 2, 2, "dump WINDOW|WINDOW.UNIT");
    const std::string& target = line.words[1];
    std::optional<std::string> dump;
    if (target.find('.') == std::string::npos) {
        dump = dumpWindow(target);
    } else {
        const auto [windowName, unitName] = splitUnitName(line, target);
        dump = dumpUnitNamed(windowName, unitName);
    }
    if (!dump)
        fail(line, "no window or unit " + target);
    write(*dump);
}

void runRows(const ScriptLine& line)
{
    expectWords(line, 2, 2, "rows WINDOW.UNIT");
    const auto [windowName, unitName] = splitUnitName(line, line.words[1]);
    const std::optional<std::string> rows = dumpRows(windowName, unitName);
    if (!rows)
        fail(line, line.words[1] + " is not a loaded list view");
    write(*rows);
}

void runStatus(const ScriptLine& line)
{
    expectWords(line, 1, 1, "status");
    const auto* bar = dynamic_cast<const StatusBarUnit*>(&unitNamed(line, "MainWindow.状态条1"));
    if (!bar)
        fail(line, "MainWindow.状态条1 is not a status bar");
    say("status\t" + escaped(bar->partCount() > 0 ? bar->partText(0) : std::string()));
}

std::optional<int> wholeNumber(const std::string& text)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return std::stoi(text);
}

int numberArgument(const ScriptLine& line, std::size_t index, const char* usage)
{
    const std::optional<int> number = index < line.words.size() ? wholeNumber(line.words[index]) : std::nullopt;
    if (!number)
        fail(line, std::string("expected ") + usage);
    return *number;
}

void runLine(const ScriptLine& line)
{
    const std::string& verb = line.words[0];
    const auto& words = line.words;
    if (verb == "click") {
        expectWords(line, 2, 2, "click WINDOW.UNIT");
        automateUnit(line, words[1], "click", {});
    } else if (verb == "dblclick") {
        expectWords(line, 2, 3, "dblclick WINDOW.UNIT [ROW]");
        if (words.size() == 3 && !wholeNumber(words[2]))
            fail(line, "expected dblclick WINDOW.UNIT [ROW]");
        automateUnit(line, words[1], "doubleclick", words.size() == 3 ? words[2] : "0");
    } else if (verb == "type") {
        expectWords(line, 3, 3, "type WINDOW.UNIT TEXT");
        automateUnit(line, words[1], "type", words[2]);
    } else if (verb == "focus") {
        expectWords(line, 2, 2, "focus WINDOW.UNIT");
        focusUnit(unitNamed(line, words[1]));
    } else if (verb == "check") {
        expectWords(line, 3, 3, "check WINDOW.UNIT on|off");
        if (words[2] != "on" && words[2] != "off")
            fail(line, "expected check WINDOW.UNIT on|off");
        automateUnit(line, words[1], "check", words[2] == "on" ? "1" : "0");
    } else if (verb == "select") {
        expectWords(line, 3, 3, "select WINDOW.UNIT INDEX|TEXT");
        automateUnit(line, words[1], "select", words[2]);
    } else if (verb == "tree") {
        expectWords(line, 3, 3, "tree WINDOW.UNIT CAPTION/CAPTION/...");
        automateUnit(line, words[1], "choose", words[2]);
    } else if (verb == "slide") {
        expectWords(line, 3, 3, "slide WINDOW.UNIT POS");
        automateUnit(line, words[1], "slide", words[2]);
    } else if (verb == "key") {
        runKey(line);
    } else if (verb == "close") {
        expectWords(line, 2, 2, "close WINDOW");
        windowNamed(line, words[1]).widget()->close();
    } else if (verb == "answer") {
        runAnswer(line);
    } else if (verb == "load") {
        runLoad(line);
    } else if (verb == "echo") {
        std::string text;
        for (std::size_t index = 1; index < words.size(); ++index)
            text += (index > 1 ? " " : "") + words[index];
        say(text);
    } else if (verb == "quit") {
        expectWords(line, 1, 2, "quit [CODE]");
        exitProgram(words.size() == 2 ? numberArgument(line, 1, "quit [CODE]") : 0);
    } else if (verb == "dump") {
        runDump(line);
    } else if (verb == "rows") {
        runRows(line);
    } else if (verb == "status") {
        runStatus(line);
    } else if (verb == "screenshot") {
        expectWords(line, 3, 3, "screenshot WINDOW FILE.png");
        LiveWindow& window = windowNamed(line, words[1]);
        if (!window.widget()->grab().save(QString::fromStdString(launchPath(words[2]))))
            fail(line, "cannot save " + words[2]);
    } else if (verb == "focused") {
        runFocused(line);
    } else if (verb == "enabled") {
        runEnabled(line);
    } else if (verb == "menu") {
        runMenu(line);
    } else if (verb == "events") {
        expectWords(line, 2, 2, "events on|off");
        if (words[1] != "on" && words[1] != "off")
            fail(line, "expected events on|off");
        setEventObserver(words[1] == "on" ? &printEvent : nullptr);
    } else {
        fail(line, "unknown command " + verb);
    }
}

void scheduleNext(int delayMilliseconds);

// A waiting line stays current, polled without blocking the program, until its condition holds
// or its time runs out.
using Condition = std::function<bool()>;

void pollUntil(const ScriptLine& line, Condition done, QElapsedTimer started, int limit, std::string what)
{
    if (done()) {
        scheduleNext(0);
        return;
    }
    if (started.elapsed() > limit)
        fail(line, "timed out waiting " + what);
    QTimer::singleShot(kPollMilliseconds, [line, done = std::move(done), started, limit, what = std::move(what)] {
        pollUntil(line, done, started, limit, what);
    });
}

// No handler runs, and that twice in a row a poll apart, so that what a finished handler posted
// has had its turn too.
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

// True when the line is a waiting one; it then schedules the next line itself.
bool startWait(const ScriptLine& line)
{
    const std::string& verb = line.words[0];
    const auto& words = line.words;
    QElapsedTimer started;
    started.start();
    if (verb == "sleep") {
        expectWords(line, 2, 2, "sleep MS");
        scheduleNext(numberArgument(line, 1, "sleep MS"));
        return true;
    }
    if (verb == "wait-idle") {
        expectWords(line, 1, 1, "wait-idle");
        pollUntil(line, idleCondition(), started, kDefaultWaitMilliseconds, "for the program to be idle");
        return true;
    }
    if (verb == "wait-loaded" || verb == "wait-closed") {
        expectWords(line, 2, 2, "wait-loaded|wait-closed WINDOW");
        const std::string name = words[1];
        if (!formTemplates().findWindowByName(name))
            fail(line, "no window " + name);
        const bool loaded = verb == "wait-loaded";
        pollUntil(line, [name, loaded] { return (findWindow(name) != nullptr) == loaded && !windowBeingLoaded(); },
                  started, kDefaultWaitMilliseconds, "for " + name);
        return true;
    }
    if (verb == "wait-text") {
        // Waits until what the unit shows (its description: a list view's rows, a status bar's
        // parts, an edit box's text) contains TEXT; for watching a handler that is still running.
        expectWords(line, 3, 4, "wait-text WINDOW.UNIT TEXT [MS]");
        const int limit = words.size() == 4 ? numberArgument(line, 3, "wait-text WINDOW.UNIT TEXT [MS]")
                                            : kDefaultWaitMilliseconds;
        const std::string target = words[1];
        const std::string expected = words[2];
        const int number = line.number;
        pollUntil(line, [target, expected, number] {
            const auto dot = target.find('.');
            LiveWindow* window = dot == std::string::npos ? nullptr : findWindow(target.substr(0, dot));
            Unit* unit = window ? window->findUnitByName(target.substr(dot + 1)) : nullptr;
            if (dot == std::string::npos)
                failAt(number, "expected WINDOW.UNIT, got " + target);
            return unit && unit->describe().find(expected) != std::string::npos;
        }, started, limit, "for \"" + expected + "\" in " + target);
        return true;
    }
    return false;
}

void step()
{
    // A window being built lets waiting messages through; the script waits until the window is
    // complete, as a user cannot act on a window that is not up yet.
    if (windowBeingLoaded()) {
        QTimer::singleShot(kLoadPollMilliseconds, [] { step(); });
        return;
    }
    if (driver->next >= driver->lines.size())
        exitProgram(0);
    const ScriptLine line = driver->lines[driver->next++];
    if (startWait(line))
        return;
    // The next line is scheduled before this one runs: a line that opens a modal window only
    // returns when that window closes, and the script must go on inside it; a line that starts
    // a long handler lets the next line act at the handler's next event processing.
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
    say("message-box\t" + escaped(request.title) + "\t" + escaped(request.text) + "\t"
        + std::to_string(request.style));
    return answer;
}

bool loadScript(const std::string& path, Driver& target)
{
    std::ifstream file(path);
    if (!file)
        return false;
    std::string text;
    for (int number = 1; std::getline(file, text); ++number) {
        ScriptLine line{number, {}};
        std::string problem;
        if (!splitWords(text, line.words, problem))
            failAt(number, problem);
        if (!line.words.empty())
            target.lines.push_back(std::move(line));
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
            failAt(0, "cannot read " + arguments[i + 1]);
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
