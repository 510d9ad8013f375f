// The preview renderer: the first page of a job drawn on the progress window's hidden panel at
// one pixel per millimetre and handed back as picture data.
#pragma once

#include "common/picture_calls.h"
#include "pages/page_job.h"

namespace quillora::app {

// Draws the first page (cells 1 to rows × columns, lengths in whole millimetres) and returns it
// as BMP data, turned a quarter clockwise for landscape so it stands in the portrait panel.
// Empty when nothing could be drawn.
ByteSet RenderPreviewPage(const PageJob& job);

}  // namespace quillora::app
