// Global memory handles (HGLOBAL) shared by the stand-in kernel32.dll, which hands them to the
// program, and ole32.dll, whose streams live on them. Both DLLs link this one library, so a
// handle made by one is known to the other.
#pragma once

#include "quillora/win_abi.h"

#define QUILLORA_GLOBAL_MEMORY_API __attribute__((visibility("default")))

namespace quillora::dlls {

// The largest block one handle may hold. The program addresses memory blocks with 32-bit
// lengths, so a larger request is refused rather than allowed to exhaust the machine.
inline constexpr win::SIZE_T kMaxGlobalBlockBytes = win::SIZE_T{1} << 31;

// Handles are opaque numbers from a registry, never pointers, and a handle is never reused: a
// freed or made-up handle is simply unknown, and every function answers it with 0 or null.

// A new block of `bytes` bytes (GMEM_ZEROINIT zeroes it), or null when it cannot be made.
QUILLORA_GLOBAL_MEMORY_API win::HGLOBAL allocateGlobal(win::UINT flags, win::SIZE_T bytes);
// The block's data, with its lock count raised; null for an unknown handle or an empty block
// (an empty block has no data, as a discarded block on Windows has none).
QUILLORA_GLOBAL_MEMORY_API void* lockGlobal(win::HGLOBAL block);
// Lowers the lock count; true while the block is still locked afterwards.
QUILLORA_GLOBAL_MEMORY_API win::BOOL unlockGlobal(win::HGLOBAL block);
// The block's size in bytes; 0 for an unknown handle.
QUILLORA_GLOBAL_MEMORY_API win::SIZE_T globalSize(win::HGLOBAL block);
// Frees the block: null on success (and for a null handle), the handle itself when unknown.
QUILLORA_GLOBAL_MEMORY_API win::HGLOBAL freeGlobal(win::HGLOBAL block);

// True for a handle the registry knows (a block not freed yet).
QUILLORA_GLOBAL_MEMORY_API bool isGlobalHandle(win::HGLOBAL block);

// For streams: the block's size changed while its handle stays the same. Bytes added are zero.
// False (and the block unchanged) for an unknown handle or a size above the cap.
QUILLORA_GLOBAL_MEMORY_API bool resizeGlobal(win::HGLOBAL block, win::SIZE_T bytes);
// Copies up to `bytes` bytes from `offset` of the block; the count copied (0 past the end).
QUILLORA_GLOBAL_MEMORY_API win::SIZE_T readGlobal(win::HGLOBAL block, win::SIZE_T offset, void* target,
                                                  win::SIZE_T bytes);
// Copies `bytes` bytes to `offset` of the block, growing it to offset + bytes when it is
// shorter. False for an unknown handle or when the block would pass the cap.
QUILLORA_GLOBAL_MEMORY_API bool writeGlobal(win::HGLOBAL block, win::SIZE_T offset, const void* source,
                                            win::SIZE_T bytes);

}  // namespace quillora::dlls
