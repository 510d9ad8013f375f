// Writing new files that never replace an existing one (the page export's files).
#include "quillora/new_file_commands.h"
#include "platform/fs/drive_map.h"
#include "platform/fs/new_file.h"
#include "runtime/core/command_arguments.h"
#include "runtime/core/core_command_table.h"

#include <string>

namespace quillora {
namespace {

NewFileResult resultOf(platform::NewFileStatus status)
{
    switch (status) {
    case platform::NewFileStatus::Written:
        return NewFileResult::Written;
    case platform::NewFileStatus::NameTaken:
        return NewFileResult::NameTaken;
    case platform::NewFileStatus::FolderMissing:
        return NewFileResult::FolderMissing;
    case platform::NewFileStatus::NotPermitted:
        return NewFileResult::NotPermitted;
    case platform::NewFileStatus::DiskFull:
        return NewFileResult::DiskFull;
    case platform::NewFileStatus::InvalidName:
        return NewFileResult::InvalidName;
    case platform::NewFileStatus::Failed:
        break;
    }
    return NewFileResult::Failed;
}

}  // namespace

void WriteNewFile(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const runtime::CommandArguments arguments(argCount, args);
    const std::string_view path = arguments.text(0);
    // A path on no mapped drive (or one climbing above its root) has no place to be written to.
    const auto linuxPath = path.empty() ? std::nullopt : platform::toLinuxPath(path);
    const NewFileResult written =
        linuxPath ? resultOf(platform::writeNewFile(*linuxPath, arguments.bytes(1))) : NewFileResult::InvalidName;
    *result = makeInt(static_cast<std::int32_t>(written));
}

namespace runtime {

std::span<const CommandEntry> newFileCommands()
{
    static constexpr CommandEntry kTable[] = {
        {"WriteNewFile", WriteNewFile},
    };
    return kTable;
}

}  // namespace runtime
}  // namespace quillora
