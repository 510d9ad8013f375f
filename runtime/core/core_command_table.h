// The core commands by name: every domain file keeps a table of its own commands, and this is
// the one place that knows them all. The automation driver and the tests look commands up here.
#pragma once

#include <span>
#include <string_view>

#include "quillora/entry_table.h"

namespace quillora::runtime {

struct CommandEntry {
    std::string_view name;
    CommandFunction function;
};

// The table at the end of each domain file.
std::span<const CommandEntry> conversionCommands();
std::span<const CommandEntry> textCommands();
std::span<const CommandEntry> numberCommands();
std::span<const CommandEntry> dateCommands();
std::span<const CommandEntry> fileCommands();
std::span<const CommandEntry> specialFolderCommands();
std::span<const CommandEntry> windowCommands();
std::span<const CommandEntry> dialogCommands();
std::span<const CommandEntry> newFileCommands();
std::span<const CommandEntry> consoleCommands();

// Every domain table, in one list.
std::span<const std::span<const CommandEntry>> coreCommandTables();

// The command with exactly this name, or null.
CommandFunction findCoreCommand(std::string_view name);

}  // namespace quillora::runtime
