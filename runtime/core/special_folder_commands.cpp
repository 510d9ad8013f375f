// System folders as the program knows them: Windows paths ending in a backslash, here the XDG
// user folders expressed on the drive that holds them.
#include "quillora/core_commands.h"
#include "platform/fs/drive_map.h"
#include "platform/fs/user_folders.h"
#include "runtime/core/command_arguments.h"
#include "runtime/core/core_command_table.h"

#include <optional>
#include <string>

namespace quillora {

// A folder that lies on no drive (a home outside every mapped folder) cannot be named by a
// Windows path, so it gives the empty text like an unknown kind.
void SpecialFolder(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const runtime::CommandArguments arguments(argCount, args);
    std::optional<platform::UserFolder> folder;
    switch (static_cast<SpecialFolderKind>(arguments.int32(0))) {
    case SpecialFolderKind::Documents:
        folder = platform::UserFolder::Documents;
        break;
    case SpecialFolderKind::Desktop:
        folder = platform::UserFolder::Desktop;
        break;
    }
    std::optional<std::string> path = folder ? platform::toWindowsPath(platform::userFolder(*folder)) : std::nullopt;
    if (path && !path->ends_with('\\'))
        *path += '\\';
    *result = runtime::textResult(path ? *path : std::string());
}

namespace runtime {

std::span<const CommandEntry> specialFolderCommands()
{
    static constexpr CommandEntry kTable[] = {
        {"SpecialFolder", SpecialFolder},
    };
    return kTable;
}

}  // namespace runtime
}  // namespace quillora
