// Opening the print settings window with a preview set.
#pragma once

#include <string>
#include <vector>

#include "pagesetup/print_settings.h"

namespace quillora::app {

// Copies the preview set in (when paths are given or not empty), opens the print settings window
// modally and returns a complete copy of the settings as they are when it has closed.
PrintSettings OpenPrintSettings(const std::vector<std::string>& paths, bool pathsGiven,
                                const std::vector<float>& values, bool valuesGiven,
                                const std::vector<std::string>& captions, bool captionsGiven, const std::string& header,
                                bool headerGiven, const std::string& footer, bool footerGiven);

}  // namespace quillora::app
