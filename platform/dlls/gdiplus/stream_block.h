// The global memory block under a stream that ole32.dll's CreateStreamOnHGlobal made, so that
// a bitmap can read its rows where they are instead of copying them.
#pragma once

#include "quillora/win_abi.h"

namespace quillora::dlls {

// The block under `stream`, as the ole32.dll loaded beside this DLL tells it (its own
// GetHGlobalFromStream, which looks the pointer up before touching it); null for a stream it
// did not make, or when the program has not loaded that ole32.dll.
win::HGLOBAL blockUnderStream(win::IStream* stream);

}  // namespace quillora::dlls
