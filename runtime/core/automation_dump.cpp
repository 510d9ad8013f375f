#include "runtime/core/automation_dump.h"

#include "runtime/core/form_template_format.h"
#include "runtime/core/form_window.h"
#include "runtime/core/live_window.h"
#include "runtime/core/window_registry.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

namespace quillora::runtime {
namespace {

std::string escaped(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        case '\\': out += "\\\\"; break;
        default: out += c;
        }
    }
    return out;
}

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

std::string parentText(const WindowTemplate& table, const UnitTemplate& record)
{
    if (record.parent == 0)
        return "-";
    const UnitTemplate* parent = table.findUnit(record.parent);
    if (!parent)
        return "?";
    if (parent->typeCode == static_cast<std::uint32_t>(form_format::UnitKind::Tab))
        return parent->name + " page " + std::to_string(record.tabPage + 1);
    return parent->name;
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

void dumpUnit(std::string& out, const std::string& windowName, const WindowTemplate& table,
              const UnitTemplate& record, const Placement& placement)
{
    const std::string name = windowName + "." + record.name;
    const KindProperties& properties = record.properties;
    out += "unit\t" + name + "\t" + std::string(form_format::unitKindName(record.typeCode)) + "\t" + placement.rect
        + "\t" + (placement.visible ? "visible" : "hidden") + "\t" + (placement.enabled ? "enabled" : "disabled")
        + "\t" + parentText(table, record) + "\t" + escaped(properties.text.value_or(std::string())) + "\n";
    for (std::size_t index = 0; index < properties.items.size(); ++index)
        out += "item\t" + name + "\t" + std::to_string(index) + "\t" + escaped(properties.items[index]) + "\n";
    for (const TreeItemTemplate& item : properties.treeItems)
        out += "tree\t" + name + "\t" + std::to_string(item.level) + "\t" + std::to_string(item.image) + "\t"
            + std::to_string(item.value) + "\t" + escaped(item.caption) + "\n";
    if (properties.tooltip)
        out += "tooltip\t" + name + "\t" + escaped(*properties.tooltip) + "\n";
}

// The entries the live menu bar shows, depth first.
void dumpMenuActions(std::string& out, const std::string& windowName, const QList<QAction*>& actions, int level)
{
    for (const QAction* action : actions) {
        if (!action->isVisible())
            continue;
        out += "menubar\t" + windowName + "\t" + std::to_string(level) + "\t"
            + escaped(action->isSeparator() ? std::string("-") : action->text().toStdString()) + "\n";
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
        + escaped(live ? live->caption() : table.windowRecord().properties.text.value_or(std::string())) + "\n";

    for (std::size_t index = 1; index < table.units.size(); ++index) {
        const UnitTemplate& record = table.units[index];
        const Unit* unit = live ? live->findUnit(record.id) : nullptr;
        const QWidget* control = unit ? unit->widget() : nullptr;
        dumpUnit(out, name, table, record, placementOf(record, control, window));
    }
    for (const MenuItemTemplate& item : table.menuItems)
        out += "menu\t" + name + "." + item.name + "\t" + std::to_string(item.level) + "\t" + escaped(item.caption)
            + "\t" + menuFlags(item) + "\n";
    if (live && live->widget()) {
        // menuWidget(), unlike menuBar(), does not make a bar where the window has none.
        if (const auto* bar = qobject_cast<const QMenuBar*>(live->widget()->menuWidget()))
            dumpMenuActions(out, name, bar->actions(), 0);
    }
    return out;
}

}  // namespace quillora::runtime
