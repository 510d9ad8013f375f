// The album made from the command line, without a window.
#pragma once

#include "shell/command_line.h"

namespace quillora::app {

// Runs the album the options describe, with the main window loaded off screen, and returns the
// exit code: kExitDone when every page was made, kExitFailed with the reason on standard error,
// kExitBadUsage for a layout the settings window would refuse, kExitInterrupted after Ctrl+C.
int runAlbumCommand(const AlbumOptions& options);

}  // namespace quillora::app
