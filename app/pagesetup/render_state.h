// The process-wide flags of the preview and the page loops, and the animation object the picture
// reduction draws with.
#pragma once

#include <cstdint>

namespace quillora::app {

struct RenderState {
    // Set while a preview page is being drawn; the settings window refuses to close meanwhile
    // and refreshes that would start inside it return at once.
    bool previewBusy = false;
    // Set by the progress window's cancel button; the page loops test it after each picture and
    // clear it at the start and end of every render.
    bool renderCancel = false;
    // The object made in the progress window's 动画框1 when that window is created.
    std::int32_t scalingObject = 0;
};

RenderState& renderState();

}  // namespace quillora::app
