#include "runtime/automation/dump.h"

#include "runtime/automation/script.h"
#include "runtime/core/form_template_format.h"
#include "runtime/core/form_window.h"
#include "runtime/core/live_window.h"
#include "runtime/core/window_registry.h"
#include "runtime/units/unit.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

#include <algorithm>
#include <iterator>
#include <vector>

namespace quillora::runtime {
namespace {

std::string rectText(int left, int top, int width, int height)
{
    return std::to_string(left) + "," + std::to_string(top) + "," + std::to_string(width) + ","
        + std::to_string(height);
}

std::string rectText(const UnitRect& rect)
{
    return rectText(rect.left, rect.top, rect.width, rect.height);
}

// Rectangle, visibility and enabled state of a record: live from its control when it has one.
struct Placement {
    std::string rect;
    bool visible = false;
    bool enabled = false;
};

Placement placementOf(const UnitTemplate& record, const QWidget* control, const QWidget* window)
{
    if (!control)
        return {rectText(record.rect), record.visible(), !record.disabled()};
    const QRect geometry = control->geometry();
    return {rectText(geometry.x(), geometry.y(), geometry.width(), geometry.height()), !control->isHidden(),
            control == window ? control->isEnabled() : control->isEnabledTo(window)};
}

// The text a loaded unit shows now, for the kinds whose first described line is their caption
// or text (an edit box typed into, a label or button whose caption a handler changed). Other
// kinds describe items or positions there, so their text is the form's.
std::optional<std::string> liveText(const Unit& unit, std::string_view kind)
{
    static constexpr std::string_view kTextKinds[] = {"EditBox", "Label", "Button", "SuperBtn", "CheckBox",
                                                      "RadioBox", "GroupBox"};
    if (std::find(std::begin(kTextKinds), std::end(kTextKinds), kind) == std::end(kTextKinds))
        return std::nullopt;
    const std::string shown = unit.describe();
    return shown.substr(0, shown.find('\n'));
}

std::string alignmentName(form_format::Alignment alignment)
{
    switch (alignment) {
    case form_format::Alignment::Centre: return "center";
    case form_format::Alignment::Right: return "right";
    case form_format::Alignment::Left: break;
    }
    return "left";
}

// The lines of a unit's state, which a user reads off the control: the chosen item of a combo
// box, list box or tab, the tick of a check or radio box, the handle of a slider or the bar of a
// progress bar. A loaded unit's describe() gives them live; a unit not loaded has its form's.
constexpr std::string_view kStateKeys[] = {"selected", "checked", "position"};

bool isStateLine(std::string_view line)
{
    const std::string_view key = line.substr(0, line.find('\t'));
    return line.size() > key.size()
        && std::find(std::begin(kStateKeys), std::end(kStateKeys), key) != std::end(kStateKeys);
}

// "KEY<TAB>VALUES" lines of describe() become "KEY<TAB>NAME<TAB>VALUES".
void liveStateLines(std::string& out, const std::string& name, const Unit& unit)
{
    const std::string shown = unit.describe();
    std::size_t start = shown.find('\n');
    while (start != std::string::npos) {
        const std::size_t end = shown.find('\n', start + 1);
        const std::string_view line = std::string_view(shown).substr(start + 1, end - start - 1);
        if (isStateLine(line)) {
            const std::size_t tab = line.find('\t');
            out += std::string(line.substr(0, tab)) + "\t" + name + std::string(line.substr(tab)) + "\n";
        }
        start = end;
    }
}

void storedStateLines(std::string& out, const std::string& name, std::string_view kind, const KindProperties& stored)
{
    if (kind == "ComboBox" || kind == "ListBox" || kind == "Tab") {
        const std::int32_t fallback = kind == "Tab" ? 0 : -1;
        std::int32_t index = stored.selectedIndex.value_or(fallback);
        if (index < 0 || static_cast<std::size_t>(index) >= stored.items.size())
            index = kind == "Tab" && !stored.items.empty() ? 0 : -1;
        out += "selected\t" + name + "\t" + std::to_string(index) + "\t"
            + (index >= 0 ? escapedField(stored.items[static_cast<std::size_t>(index)]) : std::string()) + "\n";
    } else if (kind == "CheckBox" || kind == "RadioBox") {
        out += "checked\t" + name + "\t" + (stored.checked.value_or(false) ? "1" : "0") + "\n";
    } else if (kind == "SliderBar" || kind == "ProcessBar") {
        // Both keep the position within the range; a maximum below the minimum counts as it.
        const std::int32_t minimum = stored.rangeMinimum.value_or(0);
        const std::int32_t maximum = stored.rangeMaximum.value_or(100);
        const std::int32_t position = std::clamp(stored.position.value_or(minimum), minimum, std::max(minimum, maximum));
        out += "position\t" + name + "\t" + std::to_string(position) + "\t" + std::to_string(minimum) + "\t"
            + std::to_string(kind == "SliderBar" ? std::max(minimum, maximum) : maximum) + "\n";
    }
}

void itemLines(std::string& out, const std::string& name, const std::vector<std::string>& items)
{
    for (std::size_t index = 0; index < items.size(); ++index)
        out += "item\t" + name + "\t" + std::to_string(index) + "\t" + escapedField(items[index]) + "\n";
}

void treeLines(std::string& out, const std::string& name, const std::vector<TreeItemTemplate>& items)
{
    for (const TreeItemTemplate& item : items)
        out += "tree\t" + name + "\t" + std::to_string(item.level) + "\t" + std::to_string(item.image) + "\t"
            + std::to_string(item.value) + "\t" + escapedField(item.caption) + "\n";
}

std::string menuFlags(const MenuItemTemplate& item)
{
    std::string flags;
    const auto add = [&flags](const char* flag) { flags += (flags.empty() ? "" : ",") + std::string(flag); };
    if (item.hidden())
        add("hidden");
    if (item.disabled())
        add("disabled");
    if (item.checked())
        add("checked");
    return flags.empty() ? "-" : flags;
}

void columnLines(std::string& out, const std::string& name, const UnitTable& table)
{
    for (int column = 0; column < table.columnCount(); ++column)
        out += "column\t" + name + "\t" + std::to_string(column) + "\t" + escapedField(table.columnTitle(column))
            + "\t" + std::to_string(table.columnWidth(column)) + "\t" + alignmentName(table.columnAlignment(column))
            + "\n";
}

void rowLines(std::string& out, const std::string& name, const UnitTable& table)
{
    // Without columns a row still has its caption, cell 0.
    const int cells = std::max(table.columnCount(), 1);
    for (int row = 0; row < table.rowCount(); ++row) {
        out += "row\t" + name + "\t" + std::to_string(row);
        for (int cell = 0; cell < cells; ++cell)
            out += "\t" + escapedField(table.cellText(row, cell));
        out += "\n";
    }
}

// A loaded unit's items are the live ones (a tree read from the disk, a list filled by a
// search); a unit not loaded gives those of its form.
void dumpUnit(std::string& out, const std::string& windowName, const UnitTemplate& record, const Unit* unit,
              const Placement& placement)
{
    const std::string name = windowName + "." + record.name;
    const KindProperties& properties = record.properties;
    const std::string_view kind = form_format::unitKindName(record.typeCode);
    const std::optional<std::string> shown = unit ? liveText(*unit, kind) : std::nullopt;
    out += "unit\t" + name + "\t" + std::string(kind) + "\t" + placement.rect + "\t"
        + (placement.visible ? "visible" : "hidden") + "\t" + (placement.enabled ? "enabled" : "disabled") + "\t"
        + (shown ? *shown : escapedField(properties.text.value_or(std::string()))) + "\n";
    if (unit)
        liveStateLines(out, name, *unit);
    else
        storedStateLines(out, name, kind, properties);
    // A tab control's pages keep the captions of its form; only the kinds that hold items, tree
    // items or a table live answer for them.
    const std::optional<std::vector<std::string>> items = unit ? unit->liveItems() : std::nullopt;
    itemLines(out, name, items ? *items : properties.items);
    const std::optional<std::vector<TreeItemTemplate>> treeItems = unit ? unit->liveTreeItems() : std::nullopt;
    treeLines(out, name, treeItems ? *treeItems : properties.treeItems);
    if (const UnitTable* table = unit ? unit->table() : nullptr) {
        columnLines(out, name, *table);
        rowLines(out, name, *table);
    }
    if (properties.tooltip)
        out += "tooltip\t" + name + "\t" + escapedField(*properties.tooltip) + "\n";
}

struct Located {
    const WindowTemplate* table = nullptr;
    const LiveWindow* live = nullptr;
    const UnitTemplate* record = nullptr;
    const Unit* unit = nullptr;
};

// Window and unit by name; the unit's record is that of the working copy when the window is
// loaded.
std::optional<Located> locate(std::string_view windowName, std::string_view unitName)
{
    const WindowTemplate* stored = formTemplates().findWindowByName(windowName);
    if (!stored)
        return std::nullopt;
    Located found;
    found.live = liveWindow(stored->id);
    found.table = found.live ? &found.live->workingTemplate() : stored;
    for (std::size_t index = 1; index < found.table->units.size(); ++index)
        if (found.table->units[index].name == unitName)
            found.record = &found.table->units[index];
    if (!found.record)
        return std::nullopt;
    found.unit = found.live ? found.live->findUnit(found.record->id) : nullptr;
    return found;
}

// The entries the live menu bar shows, depth first.
void dumpMenuActions(std::string& out, const std::string& windowName, const QList<QAction*>& actions, int level)
{
    for (const QAction* action : actions) {
        if (!action->isVisible())
            continue;
        out += "menubar\t" + windowName + "\t" + std::to_string(level) + "\t"
            + escapedField(action->isSeparator() ? std::string("-") : action->text().toStdString()) + "\n";
        if (action->menu())
            dumpMenuActions(out, windowName, action->menu()->actions(), level + 1);
    }
}

}  // namespace

std::optional<std::string> dumpWindow(std::string_view windowName)
{
    const WindowTemplate* stored = formTemplates().findWindowByName(windowName);
    if (!stored)
        return std::nullopt;
    const LiveWindow* live = liveWindow(stored->id);
    // A loaded window's working copy holds what its menu item and caption writes changed.
    const WindowTemplate& table = live ? live->workingTemplate() : *stored;
    const std::string name(windowName);
    const QWidget* window = live ? live->widget() : nullptr;

    std::string out;
    const Placement own = placementOf(table.windowRecord(), window, window);
    out += "window\t" + name + "\t" + own.rect + "\t" + (own.visible ? "visible" : "hidden") + "\t"
        + (own.enabled ? "enabled" : "disabled") + "\t"
        + escapedField(live ? live->caption() : table.windowRecord().properties.text.value_or(std::string())) + "\n";

    for (std::size_t index = 1; index < table.units.size(); ++index) {
        const UnitTemplate& record = table.units[index];
        const Unit* unit = live ? live->findUnit(record.id) : nullptr;
        const QWidget* control = unit ? unit->widget() : nullptr;
        dumpUnit(out, name, record, unit, placementOf(record, control, window));
    }
    for (const MenuItemTemplate& item : table.menuItems)
        out += "menu\t" + name + "." + item.name + "\t" + std::to_string(item.level) + "\t" + escapedField(item.caption)
            + "\t" + menuFlags(item) + "\n";
    if (live && live->widget()) {
        // menuWidget(), unlike menuBar(), does not make a bar where the window has none.
        if (const auto* bar = qobject_cast<const QMenuBar*>(live->widget()->menuWidget()))
            dumpMenuActions(out, name, bar->actions(), 0);
    }
    return out;
}

std::optional<std::string> dumpUnitNamed(std::string_view windowName, std::string_view unitName)
{
    const std::optional<Located> found = locate(windowName, unitName);
    if (!found)
        return std::nullopt;
    const QWidget* window = found->live ? found->live->widget() : nullptr;
    const QWidget* control = found->unit ? found->unit->widget() : nullptr;
    std::string out;
    dumpUnit(out, std::string(windowName), *found->record, found->unit, placementOf(*found->record, control, window));
    return out;
}

std::optional<std::string> dumpRows(std::string_view windowName, std::string_view unitName)
{
    const std::optional<Located> found = locate(windowName, unitName);
    const UnitTable* table = found && found->unit ? found->unit->table() : nullptr;
    if (!table)
        return std::nullopt;
    std::string out;
    rowLines(out, std::string(windowName) + "." + std::string(unitName), *table);
    return out;
}

}  // namespace quillora::runtime
