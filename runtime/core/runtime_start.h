// Start-up of the runtime (service 6).
#pragma once

#include <string>

namespace quillora::runtime {

// Makes the program's folder the current folder, starts the windowing system, remembers the
// starting thread, registers the static range of literal data and prepares the DLL command
// table. Later calls do nothing.
void startRuntime(bool withoutWindows = false);

bool runtimeStarted();

// The folder that was current when the program started (before start-up moved to the program's
// own folder): command-line paths are relative to it.
const std::string& launchDirectory();

}  // namespace quillora::runtime
