// The runtime's table of windows: every window template read at start-up and the live window
// of each one that is loaded.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "runtime/core/form_template.h"

namespace quillora::runtime {

class LiveWindow;

// Takes the templates read at start-up; they live until exit.
void installFormTemplates(FormTemplates templates);
FormTemplates& formTemplates();

// The live window of `windowId`, or null when it is not loaded.
LiveWindow* liveWindow(std::uint32_t windowId);
bool isWindowLoaded(std::uint32_t windowId);
// Every loaded window, in the order they were loaded.
std::vector<LiveWindow*> liveWindows();

// Destroys every live window without events, as the program exits.
void releaseWindows();

// Enters a freshly built window into the table, and removes one that is gone.
void enterLiveWindow(std::unique_ptr<LiveWindow> window);
// Removes and destroys the live window (its template stays for later loads).
void destroyLiveWindow(std::uint32_t windowId);

}  // namespace quillora::runtime
