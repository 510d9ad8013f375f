#include "pagesetup/open_print_settings.h"

#include <utility>

#include "common/core_calls.h"
#include "form_ids.h"

namespace quillora::app {

const PrintSettings& OpenPrintSettings(PreviewSet set)
{
    previewSet() = std::move(set);
    return OpenPrintSettings();
}

const PrintSettings& OpenPrintSettings()
{
    loadWindow(forms::PrintSettingsWindow::id, 0, WindowMode::Modal);
    return printSettings();
}

}  // namespace quillora::app
