// kernel32.dll: global memory handles and memory moves.
#include "platform/dlls/shared/export.h"
#include "platform/dlls/shared/global_memory.h"

#include <cstring>
#include <type_traits>

using namespace quillora;

QUILLORA_DLL_EXPORT win::HGLOBAL GlobalAlloc(win::UINT flags, win::SIZE_T bytes)
{
    return dlls::allocateGlobal(flags, bytes);
}

QUILLORA_DLL_EXPORT void* GlobalLock(win::HGLOBAL block)
{
    return dlls::lockGlobal(block);
}

QUILLORA_DLL_EXPORT win::BOOL GlobalUnlock(win::HGLOBAL block)
{
    return dlls::unlockGlobal(block);
}

QUILLORA_DLL_EXPORT win::SIZE_T GlobalSize(win::HGLOBAL block)
{
    return dlls::globalSize(block);
}

QUILLORA_DLL_EXPORT win::HGLOBAL GlobalFree(win::HGLOBAL block)
{
    return dlls::freeGlobal(block);
}

// Overlapping ranges are allowed, as the name says. Null ranges are ignored instead of faulting.
QUILLORA_DLL_EXPORT void RtlMoveMemory(void* target, const void* source, win::SIZE_T bytes)
{
    if (bytes == 0 || !target || !source)
        return;
    std::memmove(target, source, bytes);
}

static_assert(std::is_same_v<decltype(&GlobalAlloc), win::GlobalAllocFn>);
static_assert(std::is_same_v<decltype(&GlobalLock), win::GlobalLockFn>);
static_assert(std::is_same_v<decltype(&GlobalUnlock), win::GlobalUnlockFn>);
static_assert(std::is_same_v<decltype(&GlobalSize), win::GlobalSizeFn>);
static_assert(std::is_same_v<decltype(&GlobalFree), win::GlobalFreeFn>);
static_assert(std::is_same_v<decltype(&RtlMoveMemory), win::RtlMoveMemoryFn>);

// Ordinals of this stand-in: its own numbering, in the order the exports are listed here (the
// program binds every command by name; ordinals exist so that a "#n" declaration resolves).
QUILLORA_DLL_ORDINALS("GlobalAlloc", "GlobalLock", "GlobalUnlock", "GlobalSize", "GlobalFree", "RtlMoveMemory",
                      "lstrcpyn", "MultiByteToWideChar", "GetLogicalDriveStringsA", "GetDriveTypeA",
                      "GetVolumeInformationA", nullptr);
