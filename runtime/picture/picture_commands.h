// The picture domain's command table (the commands are declared in quillora/picture_commands.h).
#pragma once

#include <cstdint>
#include <span>

#include "quillora/entry_table.h"
#include "quillora/picture_commands.h"

namespace quillora::runtime {

struct PictureCommandEntry {
    const char* name;
    CommandFunction function;
};

// The picture domain's command table.
std::span<const PictureCommandEntry> pictureCommands();

}  // namespace quillora::runtime
