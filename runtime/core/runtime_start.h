// Start-up of the runtime (service 6).
#pragma once

namespace quillora::runtime {

// Makes the program's folder the current folder, starts the windowing system, remembers the
// starting thread, registers the static range of literal data and prepares the DLL command
// table. Later calls do nothing.
void startRuntime();

bool runtimeStarted();

}  // namespace quillora::runtime
