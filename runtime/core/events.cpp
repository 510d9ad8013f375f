#include "runtime/core/events.h"

#include "quillora/runtime_value.h"
#include "runtime/core/error_report.h"
#include "runtime/core/form_template_format.h"
#include "runtime/core/live_window.h"
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

// The handler runs in progress, innermost last, and the modal loops among them (serial 0 and the
// window whose loop it is).
struct RunningFrame {
    std::uint64_t serial = 0;
    std::uint32_t modalWindow = 0;
};
std::vector<RunningFrame> runningFrames;
std::uint64_t lastHandlerSerial = 0;

// Keeps the handler's run on the list while it runs, and takes it off however the handler ends.
class HandlerRun {
public:
    HandlerRun() { runningFrames.push_back({++lastHandlerSerial, 0}); }
    ~HandlerRun() { runningFrames.pop_back(); }
    HandlerRun(const HandlerRun&) = delete;
    HandlerRun& operator=(const HandlerRun&) = delete;
};

// A modal loop waits for the user while its window is up; once the window is closing, the loop is
// about to return into the handler that ran it.
bool waitsForTheUser(const RunningFrame& frame)
{
    if (frame.serial != 0)
        return false;
    const LiveWindow* window = liveWindow(frame.modalWindow);
    return window && !window->closing;
}

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
    HandlerResult result;
    {
        const HandlerRun run;
        result = handler(record.arguments);
    }
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

std::uint64_t outermostRunningHandler()
{
    const auto waiting = std::find_if(runningFrames.rbegin(), runningFrames.rend(), waitsForTheUser);
    for (auto frame = waiting.base(); frame != runningFrames.end(); ++frame)
        if (frame->serial != 0)
            return frame->serial;
    return 0;
}

int modalLoopDepth()
{
    return static_cast<int>(std::count_if(runningFrames.begin(), runningFrames.end(),
                                          [](const RunningFrame& frame) { return frame.serial == 0; }));
}

ModalLoopMark::ModalLoopMark(std::uint32_t windowId)
{
    runningFrames.push_back({0, windowId});
}

ModalLoopMark::~ModalLoopMark()
{
    runningFrames.pop_back();
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
