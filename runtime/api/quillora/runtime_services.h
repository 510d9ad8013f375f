// The services behind entry 13 of the runtime entry table, with their arguments.
#pragma once

#include <cstdint>

namespace quillora {

enum class RuntimeService : std::int32_t {
    // (const char* pattern or null/empty, int32 attributeMask, int32 filesOnly, void** slot)
    //   -> caller-owned file name text, or 0 when the search is exhausted.
    FindNextFile = 0,
    // (void* searchHandle) -> 0; closes the search when the handle is not null.
    CloseFileSearch = 1,
    // (int32 elementSize, void** arrayPointer) -> 0; a static array is replaced by a heap copy.
    MakeArrayWritable = 2,
    // (Subroutine hook) -> 0; the hook runs once while the program exits.
    SetExitHook = 3,
    // Unit access services, not used by the application.
    UnitAccess4 = 4,
    UnitAccess5 = 5,
    // () -> 0; starts the runtime: program folder, windowing, static range, DLL tables, forms.
    StartRuntime = 6,
    // () -> 0; as StartRuntime, but no window is ever shown (they live off screen): for a job
    // run from the command line.
    StartRuntimeWithoutWindows = 7,
};

// File attribute bits used by the find-next-file masks.
enum FileAttribute : std::uint32_t {
    kAttributeReadOnly = 0x01,
    kAttributeHidden = 0x02,
    kAttributeSystem = 0x04,
    kAttributeDirectory = 0x10,
    kAttributeArchive = 0x20,
};

}  // namespace quillora
