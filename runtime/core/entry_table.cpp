#include "quillora/entry_table.h"

#include "runtime/core/dll_commands.h"
#include "runtime/core/error_report.h"
#include "runtime/core/memory.h"
#include "runtime/core/message_loop.h"
#include "runtime/core/program_exit.h"
#include "runtime/core/runtime_services.h"
#include "runtime/core/window_entries.h"

namespace quillora {
namespace {

void* callDllCommand(std::int32_t index)
{
    return runtime::programDllCommands().resolve(index);
}

// Entries 3 and 4 neither convert nor check arguments: type rules belong to each command.
RuntimeValue callLibraryCommand(std::int32_t, CommandFunction command, std::int32_t argCount, RuntimeValue* args)
{
    RuntimeValue result{};
    command(&result, argCount, args);
    return result;
}

RuntimeValue callCoreCommand(CommandFunction command, std::int32_t argCount, RuntimeValue* args)
{
    RuntimeValue result{};
    command(&result, argCount, args);
    return result;
}

const RuntimeEntryTable entryTable = {
    &runtime::reportRuntimeErrorCode,
    &callDllCommand,
    &callLibraryCommand,
    &callCoreCommand,
    &runtime::readUnitProperty,
    &runtime::writeUnitProperty,
    &runtime::allocateBlock,
    &runtime::resizeBlock,
    &runtime::freeBlock,
    &runtime::exitProgram,
    &runtime::runMessageLoop,
    &runtime::loadStartWindow,
    &runtime::callRuntimeService,
};

}  // namespace

const RuntimeEntryTable& runtimeEntries()
{
    return entryTable;
}

}  // namespace quillora
