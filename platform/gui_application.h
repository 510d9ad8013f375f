// The windowing system's application object.
#pragma once

namespace quillora::platform {

// Creates the windowing application once (later calls do nothing), with the form widget style
// (widget_style.h). With no display it runs on the offscreen platform, and so it does when the
// program is to show no window at all (a job run from the command line).
void startGuiApplication(bool withoutWindows = false);

// Destroys the application object and every window it still owns.
void stopGuiApplication();

bool guiApplicationRunning();

}  // namespace quillora::platform
