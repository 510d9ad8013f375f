#include "runtime/core/runtime_services.h"

#include "quillora/array_block.h"
#include "quillora/entry_table.h"
#include "quillora/runtime_services.h"
#include "runtime/core/file_search.h"
#include "runtime/core/memory.h"
#include "runtime/core/program_exit.h"
#include "runtime/core/runtime_start.h"

#include <cstdarg>
#include <cstring>

namespace quillora::runtime {

void makeArrayWritable(std::int32_t elementSize, void** arrayPointer)
{
    if (!arrayPointer || !*arrayPointer || !isStaticBlock(*arrayPointer) || elementSize < 0)
        return;
    // A literal array whose stated size runs past the constant data is copied only as far as
    // the data goes; the rest of the copy is zero.
    const auto bytes = arrayBlockBytes(*arrayPointer, static_cast<std::size_t>(elementSize));
    if (!bytes || *bytes > static_cast<std::size_t>(kMaxBlockBytes))
        return;
    void* copy = resizeBlock(*arrayPointer, static_cast<std::int64_t>(*bytes));
    const std::size_t copied = bytesToStaticEnd(*arrayPointer);
    if (copied < *bytes)
        std::memset(static_cast<std::uint8_t*>(copy) + copied, 0, *bytes - copied);
    *arrayPointer = copy;
}

std::intptr_t callRuntimeService(std::int32_t service, ...)
{
    va_list arguments;
    va_start(arguments, service);
    std::intptr_t result = 0;
    switch (static_cast<RuntimeService>(service)) {
    case RuntimeService::FindNextFile: {
        const char* pattern = va_arg(arguments, const char*);
        const auto attributes = va_arg(arguments, std::uint32_t);
        const auto filesOnly = va_arg(arguments, std::int32_t);
        void** slot = va_arg(arguments, void**);
        result = reinterpret_cast<std::intptr_t>(findNextFile(pattern, attributes, filesOnly != 0, slot));
        break;
    }
    case RuntimeService::CloseFileSearch:
        closeFileSearch(va_arg(arguments, void*));
        break;
    case RuntimeService::MakeArrayWritable: {
        const auto elementSize = va_arg(arguments, std::int32_t);
        makeArrayWritable(elementSize, va_arg(arguments, void**));
        break;
    }
    case RuntimeService::SetExitHook:
        setExitHook(va_arg(arguments, Subroutine));
        break;
    case RuntimeService::StartRuntime:
        startRuntime();
        break;
    case RuntimeService::StartRuntimeWithoutWindows:
        startRuntime(true);
        break;
    case RuntimeService::UnitAccess4:
    case RuntimeService::UnitAccess5:
        break;
    }
    va_end(arguments);
    return result;
}

}  // namespace quillora::runtime
