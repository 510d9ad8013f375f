// The page files the running job has written, by their drive paths, in the order written: a job
// run from the command line lists them when it ends.
#pragma once

#include <string>
#include <vector>

namespace quillora::app {

void resetWrittenFiles();
void noteWrittenFile(std::string drivePath);
const std::vector<std::string>& writtenFiles();

}  // namespace quillora::app
