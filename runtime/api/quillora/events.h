// The contract between the runtime and the application's event handlers. A unit or a window
// raises a numbered event; the form template data binds (unit, event number) to an entry of the
// application's handler table; the runtime calls that handler with the event's arguments and
// reads back what it returned.
#pragma once

#include <cstdint>

namespace quillora {

inline constexpr std::uint32_t kMaxEventArguments = 5;

// The arguments of one event, in order. Units and windows raise events with plain 32-bit
// integers (sign-extended into `values`, type 0). Support libraries may raise typed arguments:
// `types[i]` is then the RuntimeValue type code and 8-byte values (long integers, doubles,
// date-times) arrive whole, a double or date-time as its bit pattern.
struct EventArguments {
    std::uint32_t count = 0;
    std::int64_t values[kMaxEventArguments] = {};
    std::uint32_t types[kMaxEventArguments] = {};

    // Argument `index`, or 0 when the event has fewer arguments.
    std::int64_t operator[](std::uint32_t index) const { return index < count ? values[index] : 0; }
};

// What a handler returned. A handler that ends without returning a value reports no value; for
// most events a returned value means nothing, for some it vetoes or replaces (see the event
// numbers below).
struct HandlerResult {
    bool hasValue = false;
    std::int64_t value = 0;
};

inline constexpr HandlerResult noValue() { return {}; }
inline constexpr HandlerResult returnValue(std::int64_t value) { return {true, value}; }
inline constexpr HandlerResult returnBool(bool flag) { return {true, flag ? 1 : 0}; }

using EventHandler = HandlerResult (*)(const EventArguments&);

// Events every unit has. A handler of a mouse, wheel or key event that returns false swallows
// the message; a character handler that returns 0 swallows the character and one that returns
// another value replaces it. Mouse positions are in the unit's client coordinates; key state is
// 1 Ctrl, 2 Shift, 4 Alt, combined.
enum CommonEvent : std::int32_t {
    kEventLeftButtonDown = -1,   // x, y, key state
    kEventLeftButtonUp = -2,     // x, y, key state
    kEventDoubleClicked = -3,    // x, y, key state
    kEventRightButtonDown = -4,  // x, y, key state
    kEventRightButtonUp = -5,    // x, y, key state
    kEventMouseMoved = -6,       // x, y, key state
    kEventGotFocus = -7,
    kEventLostFocus = -8,
    kEventKeyDown = -9,          // key code, key state
    kEventKeyUp = -10,           // key code, key state
    kEventCharacter = -11,       // character code
    kEventWheelTurned = -12,     // notches (signed), key state
};

// Events of a window (raised with unit id 0).
enum WindowEvent : std::int32_t {
    kEventCreated = 0,
    kEventMayClose = 1,          // a returned false keeps the window open
    kEventAboutToBeDestroyed = 2,
    kEventPositionChanged = 3,
    kEventSizeChanged = 4,
    kEventActivated = 5,
    kEventDeactivated = 6,
    kEventFirstActivated = 8,    // before the first kEventActivated; 7 is not used
    kEventTrayNotification = 9,  // 1 left button up, 2 left double-click, 3 right button up
    kEventShown = 10,
    kEventHidden = 11,
};

// Events of the unit kinds that this program binds.
enum KindEvent : std::int32_t {
    kEventClicked = 0,              // buttons, check boxes, radio boxes, picture buttons
    kEventContentChanged = 0,       // edit boxes
    kEventListItemSelected = 0,     // combo boxes (after the list closed up), list boxes
    kEventEditContentChanged = 1,   // combo boxes
    kEventListAboutToDrop = 2,      // combo boxes
    kEventListClosedUp = 3,         // combo boxes
    kEventComboDoubleClicked = 4,   // combo boxes
    kEventSliderMoved = 0,          // sliders
    kEventCurrentItemChanged = 0,   // tree boxes; one argument
    kEventMenuSelected = 0,         // menu items
};

}  // namespace quillora
