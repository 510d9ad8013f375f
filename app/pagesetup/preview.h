// The live preview of the settings window: the first page drawn off-screen and shown in 画板_预览.
#pragma once

namespace quillora::app {

// Reads the settings window's boxes and redraws the preview; returns at once when 实时预览 is
// not ticked or a refresh is already running. The RefreshPreview handler does the same.
void refreshPreview();

// True while a preview page is being drawn: the settings window stays open meanwhile (the page
// is drawn for it) and refreshes asked for meanwhile return at once.
bool previewBusy();

}  // namespace quillora::app
