// One batch of a print job: the settings confirmed, the output chosen, the page loop run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillora::app {

// 0 when the settings were not confirmed or the folder prompt was cancelled, else the result of
// the page loop.
std::int32_t PrintBatch(std::vector<std::string>& paths, std::vector<float>& ratios, std::vector<std::string>& captions,
                        std::string& header, std::string& footer);

}  // namespace quillora::app
