// Loading a window: building the live window and its units from the window's template.
#pragma once

#include <cstdint>

namespace quillora::runtime {

// Loads window `windowId`. An already loaded window is only activated (or restored when
// minimised). A modal load disables the program's other windows and returns only when the
// window is gone or the program quits; `ownerId` (0 = none) is ignored for modal loads. False
// when the window is unknown or cannot be built.
bool loadWindow(std::uint32_t windowId, bool modal, std::uint32_t ownerId);

// True while a load lets the waiting messages through, before it builds its window and once
// more before it fires the window's first events: whatever runs then finds the window missing
// or unfinished. The automation driver holds its next line back until then. (The window's
// handlers run afterwards, and their own points of processing events are ordinary ones.)
bool windowBeingLoaded();

// Asks the window to close when pending messages are next processed.
void requestWindowClose(std::uint32_t windowId);

}  // namespace quillora::runtime
