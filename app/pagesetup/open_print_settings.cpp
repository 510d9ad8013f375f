#include "pagesetup/open_print_settings.h"

#include "common/core_calls.h"
#include "form_ids.h"

namespace quillora::app {

PrintSettings OpenPrintSettings(const std::vector<std::string>& paths, bool pathsGiven,
                                const std::vector<float>& values, bool, const std::vector<std::string>& captions, bool,
                                const std::string& header, bool, const std::string& footer, bool)
{
    // Each of the five parts replaces what the preview set held before.
    if (pathsGiven || !paths.empty()) {
        PreviewSet& preview = previewSet();
        preview.paths = paths;
        preview.values = values;
        preview.captions = captions;
        preview.header = header;
        preview.footer = footer;
    }
    loadWindow(forms::PrintSettingsWindow::id, 0, true);
    return printSettings();
}

}  // namespace quillora::app
