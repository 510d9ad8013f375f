// The verbs that print what a user sees: a window's or unit's dump, a list view's rows, the
// start window's status bar, which unit has the focus, what is enabled, the events as they fire,
// and a window's picture.
#include "runtime/automation/verbs.h"
#include "runtime/core/runtime_start.h"

#include "runtime/automation/dump.h"
#include "runtime/core/events.h"
#include "runtime/core/form_window.h"
#include "runtime/core/live_window.h"
#include "runtime/core/window_registry.h"
#include "runtime/units/list_view.h"
#include "runtime/units/unit.h"

#include <QApplication>
#include <QPixmap>

#include <cstdio>
#include <optional>
#include <utility>

namespace quillora::runtime {
namespace {

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

// The status text of the start window (the first window loaded and still up): that of the first
// status bar in its table.
std::string startWindowStatus(const ScriptLine& line)
{
    const std::vector<LiveWindow*> loaded = liveWindows();
    if (loaded.empty())
        fail(line, "no window is loaded");
    for (const auto& unit : loaded.front()->units())
        if (std::optional<std::string> text = unit->statusText())
            return *std::move(text);
    fail(line, loaded.front()->name() + " has no status bar");
}

}  // namespace

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

void runDump(const ScriptLine& line)
{
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
    const auto [windowName, unitName] = splitUnitName(line, line.words[1]);
    const std::optional<std::string> rows = dumpRows(windowName, unitName);
    if (!rows)
        fail(line, line.words[1] + " is not a loaded list view");
    write(*rows);
}

void runStatus(const ScriptLine& line)
{
    say("status\t" + escapedField(startWindowStatus(line)));
}

void runScreenshot(const ScriptLine& line)
{
    LiveWindow& window = windowNamed(line, line.words[1]);
    // A list shows rows appended in a burst a moment later; the picture shows every row it holds,
    // as the user sees it once that moment has passed.
    for (const auto& unit : window.units())
        if (auto* list = dynamic_cast<ListViewUnit*>(unit.get()))
            list->showPendingRows();
    if (!window.widget()->grab().save(QString::fromStdString(launchPath(line.words[2]))))
        fail(line, "cannot save " + line.words[2]);
}

// "focused W": the unit that has the keyboard focus in W, or the one that gets it when W is
// next activated.
void runFocused(const ScriptLine& line)
{
    const LiveWindow& window = windowNamed(line, line.words[1]);
    const QWidget* focus = QApplication::focusWidget();
    if (!focus || focus->window() != window.widget())
        focus = window.widget()->focusWidget();
    const Unit* unit = unitHolding(window, focus);
    say("focused\t" + window.name() + "\t" + (unit ? unit->name() : std::string("-")));
}

void runEnabled(const ScriptLine& line)
{
    const std::string& target = line.words[1];
    const QWidget* control = target.find('.') == std::string::npos ? windowNamed(line, target).widget()
                                                                    : unitNamed(line, target).widget();
    say("enabled\t" + target + "\t" + (control && control->isEnabled() ? "yes" : "no"));
}

void runEvents(const ScriptLine& line)
{
    const std::string& state = line.words[1];
    if (state != "on" && state != "off")
        fail(line, "expected events on|off");
    setEventObserver(state == "on" ? &printEvent : nullptr);
}

}  // namespace quillora::runtime
