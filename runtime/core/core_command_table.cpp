#include "runtime/core/core_command_table.h"

#include <array>

namespace quillora::runtime {

std::span<const std::span<const CommandEntry>> coreCommandTables()
{
    static const std::array tables = {
        conversionCommands(), textCommands(), numberCommands(),
        dateCommands(),       fileCommands(), specialFolderCommands(), windowCommands(),
        dialogCommands(),     newFileCommands(),    consoleCommands(),
    };
    return tables;
}

CommandFunction findCoreCommand(std::string_view name)
{
    for (const std::span<const CommandEntry> table : coreCommandTables()) {
        for (const CommandEntry& entry : table) {
            if (entry.name == name)
                return entry.function;
        }
    }
    return nullptr;
}

}  // namespace quillora::runtime
