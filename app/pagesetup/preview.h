// The live preview of the settings window: the first page drawn off-screen and shown in 画板_预览.
#pragma once

namespace quillora::app {

// Reads the settings window's boxes and redraws the preview; does nothing when 实时预览 is not
// ticked. Asked while a page is being drawn, it has that refresh draw the page once more when it
// is done. The RefreshPreview handler does the same.
void refreshPreview();

// True while a preview page is being drawn: the settings window stays open meanwhile (the page
// is drawn for it).
bool previewBusy();

// Runs `action` as soon as the preview now being drawn is finished (OK or cancel pressed while
// it draws closes the window then); at once when no preview is being drawn.
void afterPreview(void (*action)());

}  // namespace quillora::app
