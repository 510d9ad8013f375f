// Process-level services: ending the process and reaching the user-interface thread.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace quillora::platform {

// Flushes the standard streams and ends the process with the code, without running static
// destructors (the windowing objects are already gone by then).
[[noreturn]] void endProcess(std::int32_t exitCode);

// The current folder.
std::string currentDirectory();

// Makes `directory` the current folder; false when it cannot.
bool setCurrentDirectory(const std::string& directory);

// Queues `task` to run on the user-interface thread's event loop. False when there is no
// event loop to run it.
bool postToMainThread(std::function<void()> task);

}  // namespace quillora::platform
