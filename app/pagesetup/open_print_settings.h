// Opening the print settings window with a preview set.
#pragma once

#include "pagesetup/print_settings.h"

namespace quillora::app {

// Makes `set` what the window's preview draws, opens the window modally and returns the record as
// the window left it when it closed.
const PrintSettings& OpenPrintSettings(PreviewSet set);
// The same with the set the preview was last given.
const PrintSettings& OpenPrintSettings();

}  // namespace quillora::app
