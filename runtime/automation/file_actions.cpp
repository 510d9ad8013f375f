// Script lines that change files behind the program's back, as another program or the user in a
// file manager would while Quillora runs: a picture replaced or deleted between the search that
// listed it and the job that prints it. Paths are the machine's own, not drive paths.
#include "runtime/automation/verbs.h"

#include "runtime/automation/script.h"

#include <filesystem>
#include <system_error>

namespace quillora::runtime {

void runRemoveFile(const ScriptLine& line)
{
    std::error_code error;
    if (!std::filesystem::remove(line.words[1], error))
        fail(line, "cannot remove " + line.words[1] + (error ? ": " + error.message() : std::string()));
}

void runCopyFile(const ScriptLine& line)
{
    std::error_code error;
    std::filesystem::copy_file(line.words[1], line.words[2], std::filesystem::copy_options::overwrite_existing,
                               error);
    if (error)
        fail(line, "cannot copy " + line.words[1] + " to " + line.words[2] + ": " + error.message());
}

}  // namespace quillora::runtime
