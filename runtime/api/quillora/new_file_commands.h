// Writing a file that must not replace anything: the page export saves every page this way, so
// a page never overwrites another one and an interrupted write never leaves a partial file under
// the page's name. Called through CallCoreCommand (entry 4).
#pragma once

#include <cstdint>

#include "quillora/runtime_value.h"

namespace quillora {

// The results of WriteNewFile.
enum class NewFileResult : std::int32_t {
    Written = 0,        // the file now holds exactly the bytes
    NameTaken = 1,      // an entry of that name exists; it was left alone and nothing was written
    FolderMissing = 2,  // the folder does not exist (or a part of the path is no folder)
    NotPermitted = 3,   // the folder may not be written (permissions, read-only volume)
    DiskFull = 4,       // no room left on the volume (or the quota is used up)
    InvalidName = 5,    // the path names no place on a drive, or a part of it is too long
    Failed = 6,         // any other failure of the file system
};

// (path, byte set) -> int (NewFileResult). The bytes are written under a temporary name in the
// path's folder, and the finished file is given the path's name only if no entry has that name
// yet; on every failure the temporary file is removed again.
void WriteNewFile(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args);

}  // namespace quillora
