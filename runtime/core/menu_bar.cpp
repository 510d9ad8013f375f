#include "runtime/core/menu_bar.h"

#include "runtime/core/events.h"
#include "runtime/core/form_window.h"
#include "runtime/core/live_window.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <vector>

namespace quillora::runtime {
namespace {

// The first command id of a menu item.
constexpr int kFirstMenuCommandId = 20000;

}  // namespace

void buildMenuBar(LiveWindow& window)
{
    FormWindow* widget = window.widget();
    const auto& items = window.workingTemplate().menuItems;
    if (items.empty()) {
        widget->setMenuBar(nullptr);
        return;
    }
    auto* bar = new QMenuBar(widget);
    // menus[level] is the menu that takes items of that level; level 0 goes on the bar.
    std::vector<QMenu*> menus;
    std::uint32_t hiddenBelow = UINT32_MAX;
    int commandId = kFirstMenuCommandId;
    bool anyShown = false;
    for (const MenuItemTemplate& item : items) {
        const int thisCommand = commandId++;
        if (item.level > hiddenBelow)
            continue;
        hiddenBelow = UINT32_MAX;
        if (item.hidden()) {
            hiddenBelow = item.level;
            continue;
        }
        if (item.level > menus.size())
            continue;  // a level that skips a step has no menu to go in
        menus.resize(item.level);
        QWidget* container = item.level == 0 ? static_cast<QWidget*>(bar) : menus.back();
        if (item.isSeparator()) {
            if (auto* menu = qobject_cast<QMenu*>(container))
                menu->addSeparator();
            continue;
        }
        const QString caption = QString::fromStdString(item.caption);
        auto* action = new QAction(caption, container);
        action->setData(thisCommand);
        action->setEnabled(!item.disabled());
        if (item.checked()) {
            action->setCheckable(true);
            action->setChecked(true);
        }
        if (item.shortcut != 0)
            action->setShortcut(QKeySequence(static_cast<int>(item.shortcut)));
        auto* submenu = new QMenu(caption, container);
        action->setMenu(submenu);
        container->addAction(action);
        menus.push_back(submenu);
        anyShown = true;
        const std::uint32_t windowId = window.id();
        const std::uint32_t itemId = item.id;
        QObject::connect(action, &QAction::triggered, [windowId, itemId] {
            fireUnitEvent(windowId, itemId, kEventMenuSelected);
        });
    }
    // An item without sub-items is a plain command, not a menu.
    for (QAction* action : bar->findChildren<QAction*>())
        if (action->menu() && action->menu()->actions().isEmpty())
            action->setMenu(static_cast<QMenu*>(nullptr));
    if (anyShown)
        widget->setMenuBar(bar);
    else {
        delete bar;
        widget->setMenuBar(nullptr);
    }
}

}  // namespace quillora::runtime
