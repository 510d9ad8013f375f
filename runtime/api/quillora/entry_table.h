// The one interface between the application and the runtime: thirteen entry points in a fixed
// table. Application code reaches every command, unit property, memory block and DLL command
// through it.
#pragma once

#include <cstdint>

#include "quillora/runtime_value.h"

namespace quillora {

// The one signature of every core command, support-library command and unit method. `result`
// has been zeroed by the caller; `args` points at `argCount` records that lie next to each
// other. For a unit method args[0] is the unit reference.
using CommandFunction = void (*)(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);

// An application subroutine without arguments (exit hook, start-up routine).
using Subroutine = void (*)();

struct RuntimeEntryTable {
    // 1. Shows the runtime error report for the code and ends the program with -1; does not
    //    return.
    void (*ReportRuntimeError)(std::int32_t code);
    // 2. Resolves DLL command `index` (cached after the first call) and returns the address the
    //    caller transfers control to with the function's own native arguments. A command that
    //    cannot be resolved ends in the runtime error report.
    void* (*CallDllCommand)(std::int32_t index);
    // 3. Calls a support-library command with a zeroed result; `library` is informational.
    RuntimeValue (*CallLibraryCommand)(std::int32_t library, CommandFunction command, std::int32_t argCount,
                                       RuntimeValue* args);
    // 4. Calls a core command with a zeroed result.
    RuntimeValue (*CallCoreCommand)(CommandFunction command, std::int32_t argCount, RuntimeValue* args);
    // 5. Reads unit property `property` (member -1 = the whole value).
    RuntimeValue (*ReadUnitProperty)(std::uint32_t windowId, std::uint32_t unitId, std::int32_t property,
                                      std::int32_t member);
    // 6. Writes unit property `property`; the value's payload is given as its two words.
    void (*WriteUnitProperty)(std::uint32_t windowId, std::uint32_t unitId, std::int32_t property,
                              std::int32_t member, std::uint32_t payloadLow, std::uint32_t payloadHigh);
    // 7. A heap block of `bytes` bytes; failure reports "分配 %d 字节内存失败!" and exits.
    void* (*AllocateBlock)(std::int64_t bytes);
    // 8. Resizes a block; a null block allocates and a static block is copied out.
    void* (*ResizeBlock)(void* block, std::int64_t bytes);
    // 9. Frees a heap block; null and static blocks are ignored.
    void (*FreeBlock)(void* block);
    // 10. Orderly shutdown with the exit code; does not return.
    void (*ExitProgram)(std::int32_t exitCode);
    // 11. Runs the message loop until the quit message when a window is loaded.
    void (*RunMessageLoop)();
    // 12. Loads and shows the start window; failure reports "载入启动窗口失败".
    void (*LoadStartWindow)(std::uint32_t windowId);
    // 13. Runtime services by number; see quillora/runtime_services.h for the arguments.
    std::intptr_t (*CallRuntimeService)(std::int32_t service, ...);
};

// The runtime's entry table. It lives for the whole process.
const RuntimeEntryTable& runtimeEntries();

}  // namespace quillora
