// Orderly shutdown of the program.
#pragma once

#include <cstdint>
#include <functional>

#include "quillora/entry_table.h"

namespace quillora::runtime {

// The order in which the parts of the runtime are torn down when the program exits. The
// application's exit hook runs between releasing the window templates and notifying the
// support libraries.
enum class ShutdownStage {
    StopEvents,
    ClearIdleCallbacks,
    ReleaseTemplates,
    NotifyLibraries,
    ReleaseModules,
    DestroyHiddenWindow,
};

// Adds a step that runs when the program exits, in stage order (steps of one stage in the order
// added).
void addShutdownStep(ShutdownStage stage, std::function<void()> step);

// Remembers the thread that started the runtime; exits requested on other threads are handed
// to it.
void rememberStartingThread();

void setExitHook(Subroutine hook);
void clearExitHook();

// True once an exit has begun.
bool isExiting();

// Entry 10: runs the shutdown steps and the exit hook once, then ends the process.
[[noreturn]] void exitProgram(std::int32_t exitCode);

}  // namespace quillora::runtime
