// The console commands: what a job run from the command line needs from the terminal and from
// the drive map.
#include "quillora/console_commands.h"

#include "platform/console.h"
#include "platform/fs/drive_map.h"
#include "runtime/core/command_arguments.h"
#include "runtime/core/core_command_table.h"
#include "runtime/core/folder_prompt_command.h"
#include "runtime/core/runtime_start.h"

#include <string>

namespace quillora {
namespace {

platform::ConsoleStream streamOf(const runtime::CommandArguments& arguments)
{
    return arguments.int32(0) == 1 ? platform::ConsoleStream::Output : platform::ConsoleStream::Errors;
}

}  // namespace

void ConsoleIsTerminal(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const runtime::CommandArguments arguments(argCount, args);
    *result = makeBool(platform::isTerminal(streamOf(arguments)));
}

void WriteConsole(RuntimeValue*, std::int32_t argCount, RuntimeValue* args)
{
    const runtime::CommandArguments arguments(argCount, args);
    platform::writeConsole(streamOf(arguments), arguments.text(1));
}

void CatchInterrupt(RuntimeValue*, std::int32_t, RuntimeValue*)
{
    platform::catchInterrupt();
}

void InterruptRequested(RuntimeValue* result, std::int32_t, RuntimeValue*)
{
    *result = makeBool(platform::interruptRequested());
}

void FolderAsDrivePath(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const runtime::CommandArguments arguments(argCount, args);
    std::string path(arguments.text(0));
    // The runtime works in the program's own folder; a relative path means the folder the user
    // started it in.
    if (!path.empty() && path.front() != '/' && !runtime::launchDirectory().empty())
        path = runtime::launchDirectory() + "/" + path;
    *result = runtime::textResult(path.empty() ? std::string() : runtime::folderInDriveForm(path).drivePath);
}

void LinuxPathOf(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const runtime::CommandArguments arguments(argCount, args);
    *result = runtime::textResult(platform::toLinuxPath(arguments.text(0)).value_or(std::string()));
}

namespace runtime {

std::span<const CommandEntry> consoleCommands()
{
    static constexpr CommandEntry kTable[] = {
        {"ConsoleIsTerminal", ConsoleIsTerminal}, {"WriteConsole", WriteConsole},
        {"CatchInterrupt", CatchInterrupt},       {"InterruptRequested", InterruptRequested},
        {"FolderAsDrivePath", FolderAsDrivePath}, {"LinuxPathOf", LinuxPathOf},
    };
    return kTable;
}

}  // namespace runtime
}  // namespace quillora
