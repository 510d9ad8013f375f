#include "runtime/core/events.h"

#include "quillora/runtime_value.h"
#include "runtime/core/error_report.h"
#include "runtime/core/form_template_format.h"
#include "runtime/core/window_registry.h"

#include <QObject>
#include <QPointer>

#include <algorithm>
#include <vector>

namespace quillora::runtime {
namespace {

int suppressionCounter = 0;
EventSource eventSource;
EventObserver eventObserver = nullptr;

struct IdleCallback {
    QPointer<QObject> owner;
    std::function<void()> callback;
};
std::vector<IdleCallback> idleCallbacks;

// A unit may name another unit of the same kind whose bindings it uses; the chain is followed
// as long as the named unit exists and has the same type code. A chain that comes back on
// itself stops where it started.
const UnitTemplate* bindingsOwner(const WindowTemplate& window, const UnitTemplate* unit)
{
    const UnitTemplate* owner = unit;
    for (std::size_t steps = 0; owner->bindingsSource != 0 && steps < window.units.size(); ++steps) {
        const UnitTemplate* next = window.findUnit(owner->bindingsSource);
        if (!next || next->typeCode != owner->typeCode || next == unit)
            break;
        owner = next;
    }
    return owner;
}

EventHandler findHandler(const WindowTemplate& window, const EventRecord& record)
{
    if (form_format::isMenuItemId(record.unitId)) {
        const MenuItemTemplate* item = window.findMenuItem(record.unitId);
        if (!item)
            reportRuntimeError(0, "未找到引发事件的窗口组件");
        return item->handler;
    }
    const UnitTemplate* unit = window.findUnit(record.unitId);
    if (!unit)
        reportRuntimeError(0, "未找到引发事件的窗口组件");
    unit = bindingsOwner(window, unit);
    if (!quillora::isUnitType(unit->typeCode))
        reportRuntimeError(0, "引发事件的窗口组件无效");
    const EventBinding* binding = unit->bindingFor(record.event);
    return binding ? binding->handler : nullptr;
}

}  // namespace

bool fireEvent(EventRecord& record)
{
    if (suppressionCounter > 0)
        return false;
    const WindowTemplate* window = formTemplates().findWindow(record.windowId);
    if (!window)
        reportRuntimeError(0, "未找到引发事件的窗口");
    const EventHandler handler = findHandler(*window, record);
    if (eventObserver)
        eventObserver(record);
    if (!handler)
        return false;
    const EventSource previous = eventSource;
    eventSource = {record.windowId, record.unitId};
    const HandlerResult result = handler(record.arguments);
    eventSource = previous;
    record.hasResult = result.hasValue;
    record.result = result.value;
    return true;
}

void setEventObserver(EventObserver observer)
{
    eventObserver = observer;
}

EventRecord fireUnitEvent(std::uint32_t windowId, std::uint32_t unitId, std::int32_t event,
                          std::initializer_list<std::int64_t> arguments)
{
    EventRecord record;
    record.windowId = windowId;
    record.unitId = unitId;
    record.event = event;
    for (std::int64_t argument : arguments) {
        if (record.arguments.count == kMaxEventArguments)
            break;
        record.arguments.values[record.arguments.count++] = argument;
    }
    fireEvent(record);
    return record;
}

void suppressEvents()
{
    ++suppressionCounter;
}

void resumeEvents()
{
    suppressionCounter = std::max(0, suppressionCounter - 1);
}

bool eventsSuppressed()
{
    return suppressionCounter > 0;
}

EventSource currentEventSource()
{
    return eventSource;
}

void registerIdleCallback(QObject* owner, std::function<void()> callback)
{
    for (const IdleCallback& entry : idleCallbacks)
        if (entry.owner == owner)
            return;
    idleCallbacks.push_back({owner, std::move(callback)});
}

void runIdleCallbacks()
{
    // A callback may register or drop others, so walk a snapshot from the last to the first.
    idleCallbacks.erase(std::remove_if(idleCallbacks.begin(), idleCallbacks.end(),
                                       [](const IdleCallback& entry) { return entry.owner.isNull(); }),
                        idleCallbacks.end());
    const std::vector<IdleCallback> snapshot = idleCallbacks;
    for (auto entry = snapshot.rbegin(); entry != snapshot.rend(); ++entry)
        if (!entry->owner.isNull())
            entry->callback();
}

void clearIdleCallbacks()
{
    idleCallbacks.clear();
}

}  // namespace quillora::runtime
