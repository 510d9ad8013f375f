#include "printjob/written_files.h"

#include <utility>

namespace quillora::app {
namespace {

std::vector<std::string>& files()
{
    static std::vector<std::string> written;
    return written;
}

}  // namespace

void resetWrittenFiles()
{
    files().clear();
}

void noteWrittenFile(std::string drivePath)
{
    files().push_back(std::move(drivePath));
}

const std::vector<std::string>& writtenFiles()
{
    return files();
}

}  // namespace quillora::app
