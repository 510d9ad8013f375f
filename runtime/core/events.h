// Firing unit events into the application's handlers, the current event source, the
// suppression counter and the idle callbacks.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>

#include "quillora/events.h"

class QObject;

namespace quillora::runtime {

struct EventRecord {
    std::uint32_t windowId = 0;
    std::uint32_t unitId = 0;  // 0 = the window itself
    std::int32_t event = 0;
    EventArguments arguments;
    bool hasResult = false;
    std::int64_t result = 0;
};

// Fires the event: finds the handler bound to (unit, event) — following the unit's bindings
// source — and calls it with the record's arguments. Returns whether a handler ran; the record's
// hasResult and result are filled. While events are suppressed nothing fires. A window or unit
// that does not exist ends in the runtime error report.
bool fireEvent(EventRecord& record);

// An observer sees every event that fires: one that is not suppressed and whose window and unit
// exist, just before its handler runs, and also when no handler is bound to it. The automation
// driver sets it to print the order of events whatever the application binds. Null = none.
using EventObserver = void (*)(const EventRecord& record);
void setEventObserver(EventObserver observer);

// Convenience: fires with plain integer arguments and returns the record.
EventRecord fireUnitEvent(std::uint32_t windowId, std::uint32_t unitId, std::int32_t event,
                          std::initializer_list<std::int64_t> arguments = {});

// True when the event ran a handler that returned exactly false (0): the caller swallows
// the message or vetoes the action.
inline bool handlerSaidNo(const EventRecord& record)
{
    return record.hasResult && record.result == 0;
}

// The suppression counter: building a window raises it and lowers it again; error reports and
// the start of exit raise it for good.
void suppressEvents();
void resumeEvents();
bool eventsSuppressed();

// The unit whose event is being handled (both 0 outside a handler).
struct EventSource {
    std::uint32_t windowId = 0;
    std::uint32_t unitId = 0;
};
EventSource currentEventSource();

// The handlers running now, for the automation driver: each run of a handler has a serial number
// (0 names none). A handler that runs a modal window's loop waits for the user there as the main
// loop does, so it does not count as running while that window is up (from the moment the window
// closes it counts again: the loop is about to return into it).
//
// The first handler running above the innermost modal loop whose window is up (above the main
// loop when there is none); 0 when no handler runs there.
std::uint64_t outermostRunningHandler();
// The modal loops running now, nested.
int modalLoopDepth();

// Marks the modal loop of a window for as long as it lives (runModalLoop holds one).
class ModalLoopMark {
public:
    explicit ModalLoopMark(std::uint32_t windowId);
    ~ModalLoopMark();
    ModalLoopMark(const ModalLoopMark&) = delete;
    ModalLoopMark& operator=(const ModalLoopMark&) = delete;
};

// Registers `callback` to run whenever the message queue runs empty, for as long as `owner`
// (the window's widget) exists. A second registration for the same owner keeps the first.
void registerIdleCallback(QObject* owner, std::function<void()> callback);
// Runs the idle callbacks from the last registered to the first, dropping those whose owner is
// gone. The message loop calls it when the queue is empty.
void runIdleCallbacks();
void clearIdleCallbacks();

}  // namespace quillora::runtime
