// The program's declared DLL commands. This list is the only one: the application calls a
// command by its `DllCommand` name, whose number is its index in the runtime's DLL command
// table, and the runtime builds that table from the same list, so a name, its index and its
// declaration cannot drift apart.
//
// Each entry is (export name, DLL file name). An empty DLL name means the runtime's default
// list of DLLs is searched in order; DLL names are matched without regard to letter case, as
// Windows does. The export name is the enumerator's own name.
#pragma once

#include <cstdint>

// DECLARE(exportName, dllName) once per command, in table order.
#define QUILLORA_DECLARED_DLL_COMMANDS(DECLARE)         \
    DECLARE(CLSIDFromString, "ole32.dll")                \
    DECLARE(GlobalAlloc, "")                             \
    DECLARE(CreateStreamOnHGlobal, "ole32.dll")          \
    DECLARE(GlobalLock, "")                              \
    DECLARE(GlobalUnlock, "")                            \
    DECLARE(lstrcpyn, "")                                \
    DECLARE(GdipCreateBitmapFromStream, "gdiplus.dll")   \
    DECLARE(GdipSaveImageToStream, "gdiplus.dll")        \
    DECLARE(GetHGlobalFromStream, "ole32.dll")           \
    DECLARE(GlobalSize, "")                              \
    DECLARE(RtlMoveMemory, "")                           \
    DECLARE(GdipDisposeImage, "gdiplus.dll")             \
    DECLARE(GlobalFree, "")                              \
    DECLARE(MultiByteToWideChar, "")                     \
    DECLARE(GetLogicalDriveStringsA, "kernel32.dll")     \
    DECLARE(GetDriveTypeA, "Kernel32.dll")               \
    DECLARE(GetVolumeInformationA, "kernel32.dll")       \
    DECLARE(GdiplusStartup, "gdiplus.dll")

namespace quillora {

#define QUILLORA_DLL_COMMAND_ENUMERATOR(exportName, dllName) exportName,
enum class DllCommand : std::int32_t { QUILLORA_DECLARED_DLL_COMMANDS(QUILLORA_DLL_COMMAND_ENUMERATOR) };
#undef QUILLORA_DLL_COMMAND_ENUMERATOR

#define QUILLORA_DLL_COMMAND_ONE(exportName, dllName) +1
inline constexpr std::int32_t kDllCommandCount = 0 QUILLORA_DECLARED_DLL_COMMANDS(QUILLORA_DLL_COMMAND_ONE);
#undef QUILLORA_DLL_COMMAND_ONE

}  // namespace quillora
