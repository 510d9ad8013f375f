// The registry behind the DIB commands of quillora/dib_commands.h.
#pragma once

#include "quillora/dib_commands.h"
#include "runtime/picture/dib_bitmap.h"

namespace quillora::runtime {

// The bitmap object a DIB value names, or null when the value is not a DIB or its handle names
// no live object. Handles are never pointers, so a value the application made up cannot reach
// memory; a destroyed handle is not given out again before the 32-bit counter wraps.
DibBitmap* findDib(const RuntimeValue& value);

}  // namespace quillora::runtime
