#include "runtime/core/window_loader.h"

#include "runtime/core/events.h"
#include "runtime/core/form_window.h"
#include "runtime/core/live_window.h"
#include "runtime/core/message_loop.h"
#include "runtime/core/window_registry.h"

#include <QApplication>
#include <QCursor>
#include <QPointer>
#include <QWidget>

#include <utility>

namespace quillora::runtime {
namespace {

// Control ids start at 100 and grow by 10 per created control.
constexpr int kFirstControlId = 100;
constexpr int kControlIdStep = 10;

// How many loads are letting waiting messages through right now, at the current loop level (a
// modal loop starts a level of its own).
int buildingPumps = 0;

// Lets the waiting messages through while a window is being built: whatever runs then finds the
// window missing or unfinished, and windowBeingLoaded() says so.
void processMessagesWhileBuilding()
{
    ++buildingPumps;
    processPendingMessages();
    --buildingPumps;
}

bool activateLoadedWindow(LiveWindow& window)
{
    FormWindow* widget = window.widget();
    if (widget->isMinimized())
        widget->showNormal();
    else {
        widget->raise();
        widget->activateWindow();
    }
    return true;
}

// The widget a unit lies on: the page of its tab, its group box, or the window's client area.
QWidget* containerOf(LiveWindow& window, const UnitTemplate& unitTemplate)
{
    if (unitTemplate.parent != 0) {
        if (Unit* parent = window.findUnit(unitTemplate.parent)) {
            if (QWidget* container = parent->containerWidget(unitTemplate.tabPage))
                return container;
        }
    }
    return window.clientArea();
}

Qt::CursorShape cursorShapeOf(const std::vector<std::uint8_t>& cursorData)
{
    // Cursor data names a stock cursor by its number in the first word; anything else keeps
    // the arrow.
    if (cursorData.size() < 4)
        return Qt::ArrowCursor;
    const std::uint32_t number = cursorData[0] | (cursorData[1] << 8) | (cursorData[2] << 16)
        | (static_cast<std::uint32_t>(cursorData[3]) << 24);
    switch (number) {
    case 1: return Qt::CrossCursor;
    case 2: return Qt::IBeamCursor;
    case 3: return Qt::PointingHandCursor;
    case 4: return Qt::WaitCursor;
    case 5: return Qt::SizeAllCursor;
    case 6: return Qt::ForbiddenCursor;
    default: return Qt::ArrowCursor;
    }
}

// Steps 3 to 9 of a load: the live window with its menu and units, suppressing events while
// it is built. Returns the new window, or null when it could not be built.
LiveWindow* buildWindow(const WindowTemplate& windowTemplate)
{
    auto owned = std::make_unique<LiveWindow>(windowTemplate);
    LiveWindow& window = *owned;
    window.createWindowWidget();
    window.rebuildMenuBar();
    enterLiveWindow(std::move(owned));

    // Units are created from the last in the table to the first, each with its control id; the
    // ids are kept in table order afterwards.
    const auto& unitTemplates = window.workingTemplate().units;
    std::vector<std::unique_ptr<Unit>> created(unitTemplates.size());
    int controlId = kFirstControlId;
    for (std::size_t index = unitTemplates.size(); index-- > 1;) {
        const UnitTemplate& unitTemplate = unitTemplates[index];
        std::unique_ptr<Unit> unit = createUnit(window, unitTemplate);
        QWidget* control = unit->createWidget(window.clientArea());
        if (control) {
            control->setProperty("quilloraControlId", controlId);
            control->setGeometry(unitTemplate.rect.left, unitTemplate.rect.top, unitTemplate.rect.width,
                                 unitTemplate.rect.height);
            control->setEnabled(!unitTemplate.disabled());
            control->setFocusPolicy(unitTemplate.tabStop() ? control->focusPolicy() : Qt::ClickFocus);
            control->hide();
        }
        unit->setWidget(control);
        controlId += kControlIdStep;
        created[index] = std::move(unit);
    }
    for (std::size_t index = 1; index < created.size(); ++index)
        window.addUnit(std::move(created[index]));

    // Re-parent onto containers. A tab keeps one page widget per page, so units on pages other
    // than the selected one are hidden with their page.
    for (const auto& unit : window.units()) {
        QWidget* control = unit->widget();
        if (!control)
            continue;
        QWidget* container = containerOf(window, unit->unitTemplate());
        if (control->parentWidget() != container) {
            control->setParent(container);
            control->setGeometry(unit->unitTemplate().rect.left, unit->unitTemplate().rect.top,
                                 unit->unitTemplate().rect.width, unit->unitTemplate().rect.height);
        }
    }
    // Stacking in table order: each raised unit goes above the ones before it.
    for (const auto& unit : window.units())
        if (unit->widget())
            unit->widget()->raise();
    for (const auto& unit : window.units()) {
        if (unit->widget() && !unit->unitTemplate().hasDefaultCursor())
            unit->widget()->setCursor(cursorShapeOf(unit->unitTemplate().cursorData));
        if (unit->widget())
            unit->watchCommonEvents();
    }
    for (const auto& unit : window.units())
        unit->windowBuilt();
    for (const auto& unit : window.units()) {
        QWidget* control = unit->widget();
        if (control && unit->unitTemplate().visible() && !unit->neverShown())
            control->show();
    }
    return &window;
}

}  // namespace

bool loadWindow(std::uint32_t windowId, bool modal, std::uint32_t ownerId)
{
    if (LiveWindow* loaded = liveWindow(windowId)) {
        if (!loaded->closing)
            return activateLoadedWindow(*loaded);
        // Closed but not yet destroyed: finish it off now, and load the window anew.
        destroyLiveWindow(windowId);
    }
    const WindowTemplate* windowTemplate = formTemplates().findWindow(windowId);
    if (!windowTemplate)
        return false;

    processMessagesWhileBuilding();
    suppressEvents();
    LiveWindow* built = buildWindow(*windowTemplate);
    processMessagesWhileBuilding();
    resumeEvents();

    const QPointer<FormWindow> widget = built->widget();
    fireUnitEvent(windowId, 0, kEventCreated);
    if (!widget)
        return true;
    fireUnitEvent(windowId, 0, kEventPositionChanged);
    if (!widget)
        return true;
    fireUnitEvent(windowId, 0, kEventSizeChanged);
    if (!widget)
        return true;

    if (built->workingTemplate().windowRecord().visible()) {
        if (!modal && ownerId != 0) {
            if (LiveWindow* owner = liveWindow(ownerId); owner && owner->widget()) {
                // An owned window stays above its owner, as a tool window does.
                widget->setParent(owner->widget(), widget->windowFlags() | Qt::Window);
            }
        }
        // The first focus is chosen in table order before the window shows; the unit raises
        // got-focus itself when the focus arrives with the window's activation, so it is not
        // fired here a second time.
        widget->focusFirstUnit();
        widget->show();
        widget->activateWindow();
    }
    if (!widget)
        return true;
    if (modal)
        built->becomeModal();

    QWidget* focusBefore = QApplication::focusWidget();
    const auto& units = built->units();
    for (auto unit = units.rbegin(); unit != units.rend() && widget; ++unit)
        (*unit)->loadingComplete();
    if (widget && focusBefore && QApplication::focusWidget() != focusBefore)
        focusBefore->setFocus();

    if (modal && widget) {
        // A modal window loaded by a handler that ran while messages were let through has a
        // loop of its own, in which nothing is being built.
        const int outerPumps = std::exchange(buildingPumps, 0);
        runModalLoop(windowId);
        buildingPumps = outerPumps;
    }
    return true;
}

bool windowBeingLoaded()
{
    return buildingPumps > 0;
}

void requestWindowClose(std::uint32_t windowId)
{
    LiveWindow* window = liveWindow(windowId);
    if (!window || !window->widget())
        return;
    QMetaObject::invokeMethod(window->widget(), &QWidget::close, Qt::QueuedConnection);
}

}  // namespace quillora::runtime
