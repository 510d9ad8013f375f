// The message loop: the Qt event loop with the runtime's idle phase, modal runs and the
// cooperative "process pending events" point.
#pragma once

#include <cstdint>

namespace quillora::runtime {

// Entry 11: runs until the quit message when a window is loaded; returns at once otherwise.
void runMessageLoop();

// Runs the loop for a modal window until it is gone or the program quits.
void runModalLoop(std::uint32_t windowId);

// Dispatches the messages already waiting, then returns.
void processPendingMessages();

// True while RunMessageLoop runs.
bool messageLoopRunning();

}  // namespace quillora::runtime
