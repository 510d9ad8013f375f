// The verbs that act as a user does: on units by name, with keys, on the buttons of dialogs that
// are not form windows, and on windows (load, close, menu), plus echo and quit.
#include "runtime/automation/verbs.h"

#include "runtime/core/events.h"
#include "runtime/core/form_window.h"
#include "runtime/core/live_window.h"
#include "runtime/core/program_exit.h"
#include "runtime/core/window_loader.h"
#include "runtime/core/window_registry.h"
#include "runtime/units/unit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>

#include <map>
#include <vector>

namespace quillora::runtime {
namespace {

// The unit kinds take their user actions under their own verbs; the script's verbs map onto them.
void automateUnit(const ScriptLine& line, const std::string& action, const std::string& argument)
{
    const std::string& target = line.words[1];
    std::string problem;
    if (!unitNamed(line, target).automate(action, argument, problem))
        fail(line, problem.empty() ? line.words[0] + " failed on " + target : problem);
}

void focusUnit(Unit& unit)
{
    if (!unit.widget())
        return;
    // A user clicks into a window before typing in it. The platform activates a window only when
    // its own events come round (the offscreen platform, after another window hid, not at all),
    // and a focus change in an inactive window raises no focus events, so the driver makes the
    // window active at once.
    QWidget* window = unit.widget()->window();
    window->activateWindow();
    if (QApplication::activeWindow() != window)
        QApplication::setActiveWindow(window);
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

// A button's caption as the user reads it: the "&" that marks a mnemonic is not shown, "&&" shows
// one "&".
QString shownCaption(const QString& caption)
{
    QString shown;
    for (qsizetype at = 0; at < caption.size(); ++at) {
        if (caption[at] == u'&' && at + 1 < caption.size())
            ++at;
        shown += caption[at];
    }
    return shown;
}

// The dialogs a user sees besides the program's own windows: shown top-level widgets that are
// not form windows (a printer's status dialog, a folder browser).
std::vector<QWidget*> visibleDialogs()
{
    std::vector<QWidget*> dialogs;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && !dynamic_cast<FormWindow*>(widget))
            dialogs.push_back(widget);
    return dialogs;
}

}  // namespace

void runClick(const ScriptLine& line)
{
    automateUnit(line, "click", {});
}

void runDoubleClick(const ScriptLine& line)
{
    if (line.words.size() == 3 && !wholeNumber(line.words[2]))
        fail(line, "expected dblclick WINDOW.UNIT [ROW]");
    automateUnit(line, "doubleclick", line.words.size() == 3 ? line.words[2] : "0");
}

void runType(const ScriptLine& line)
{
    automateUnit(line, "type", line.words[2]);
}

void runFocus(const ScriptLine& line)
{
    focusUnit(unitNamed(line, line.words[1]));
}

void runCheck(const ScriptLine& line)
{
    const std::string& state = line.words[2];
    if (state != "on" && state != "off")
        fail(line, "expected check WINDOW.UNIT on|off");
    automateUnit(line, "check", state == "on" ? "1" : "0");
}

void runSelect(const ScriptLine& line)
{
    automateUnit(line, "select", line.words[2]);
}

void runTree(const ScriptLine& line)
{
    automateUnit(line, "choose", line.words[2]);
}

void runSlide(const ScriptLine& line)
{
    automateUnit(line, "slide", line.words[2]);
}

// "key W.U KEY": the key goes to the unit's control after it took the focus, as when a user
// clicks into it and then presses the key.
void runKey(const ScriptLine& line)
{
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

// "press TEXT": the push button captioned TEXT in a dialog that is not a form window, such as the
// "中止打印" of the printer's status dialog. Message boxes never show under the driver: they take
// their queued answers.
void runPress(const ScriptLine& line)
{
    const QString caption = QString::fromStdString(line.words[1]);
    bool disabledOne = false;
    for (QWidget* dialog : visibleDialogs()) {
        for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
            if (!button->isVisible() || shownCaption(button->text()) != caption)
                continue;
            if (!button->isEnabled()) {
                disabledOne = true;
                continue;
            }
            button->click();
            return;
        }
    }
    fail(line, disabledOne ? "the button " + line.words[1] + " is disabled"
                           : "no dialog shows a button " + line.words[1]);
}

void runClose(const ScriptLine& line)
{
    windowNamed(line, line.words[1]).widget()->close();
}

// "load W" loads W as the application's load-window command does: owned by the start window.
// "load W modal" loads it modally and returns only when the window is gone; the next line is
// already scheduled, so the script goes on inside the modal loop.
void runLoad(const ScriptLine& line)
{
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

void runMenu(const ScriptLine& line)
{
    const auto [windowName, itemName] = splitUnitName(line, line.words[1]);
    LiveWindow& window = windowNamed(line, windowName);
    const MenuItemTemplate* item = window.workingTemplate().findMenuItemByName(itemName);
    if (!item)
        fail(line, "no menu item " + line.words[1]);
    fireUnitEvent(window.id(), item->id, kEventMenuSelected);
}

void runEcho(const ScriptLine& line)
{
    std::string text;
    for (std::size_t index = 1; index < line.words.size(); ++index)
        text += (index > 1 ? " " : "") + line.words[index];
    say(text);
}

void runQuit(const ScriptLine& line)
{
    exitProgram(line.words.size() == 2 ? numberArgument(line, 1, "quit [CODE]") : 0);
}

}  // namespace quillora::runtime
