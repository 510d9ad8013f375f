// A COM stream on a global memory block, as CreateStreamOnHGlobal makes it.
#pragma once

#include "quillora/win_abi.h"

#include <optional>

namespace quillora::dlls {

// A new stream with one reference, on `block` (which must be a live handle). With
// `deleteOnRelease` the block is freed when the last reference goes. Null when out of memory.
win::IStream* createGlobalStream(win::HGLOBAL block, bool deleteOnRelease);

// The block under `stream`, or nothing when `stream` is not a live stream made here. The check
// looks the pointer up before touching it, so a stranger's or a released stream is refused
// without being read.
std::optional<win::HGLOBAL> blockOfStream(const win::IStream* stream);

}  // namespace quillora::dlls
