// The program's declared DLL commands, by index in the DLL command table.
#pragma once

#include <cstdint>

namespace quillora {

enum class DllCommand : std::int32_t {
    CLSIDFromString = 0,
    GlobalAlloc = 1,
    CreateStreamOnHGlobal = 2,
    GlobalLock = 3,
    GlobalUnlock = 4,
    lstrcpyn = 5,
    GdipCreateBitmapFromStream = 6,
    GdipSaveImageToStream = 7,
    GetHGlobalFromStream = 8,
    GlobalSize = 9,
    RtlMoveMemory = 10,
    GdipDisposeImage = 11,
    GlobalFree = 12,
    MultiByteToWideChar = 13,
    GetLogicalDriveStringsA = 14,
    GetDriveTypeA = 15,
    GetVolumeInformationA = 16,
    GdiplusStartup = 17,
};

inline constexpr std::int32_t kDllCommandCount = 18;

}  // namespace quillora
