// Text arrays as the runtime hands them back (the printer list, a printer's form names): one heap
// block {u32 1, u32 n, n pointers to texts}, every text a heap block of its own.
#pragma once

#include <string>
#include <vector>

#include "quillora/runtime_value.h"

namespace quillora::app {

// Copies the texts of the array in `result` in their order and frees every text and the array
// block. A null block, or one that is not a one-dimensional array, is the empty list.
std::vector<std::string> takeTextArray(const RuntimeValue& result);

}  // namespace quillora::app
