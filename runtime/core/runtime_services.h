// Entry 13: the runtime services by number.
#pragma once

#include <cstdint>

namespace quillora::runtime {

// Dispatches one service; the variable arguments are those listed for the service in
// quillora/runtime_services.h. An unknown service number returns 0.
std::intptr_t callRuntimeService(std::int32_t service, ...);

// Service 2: when `*arrayPointer` is a static block, replaces it with a heap copy of the whole
// array (header and elements).
void makeArrayWritable(std::int32_t elementSize, void** arrayPointer);

}  // namespace quillora::runtime
