// The progress window shared by the preview, the printer page loop and the export loop: its
// progress bar, its cancel button and the hidden units the loops draw with.
#pragma once

#include <cstdint>

#include "common/unit_calls.h"

namespace quillora::app {

// Loads the window (not modal) when it is not loaded and makes it visible.
void showProgressWindow();
bool progressWindowLoaded();
// Hides the window and closes it; it goes when events are next processed.
void closeProgressWindow();
void hideProgressWindow();

void setProgressRange(std::int32_t minimum, std::int32_t maximum);
// Does nothing when the window is not loaded.
void setProgressPosition(std::int32_t position);

// The hidden units of the window.
UnitRef progressPagePanel();       // 画板_temp
UnitRef progressPrinter();         // 打印机1
UnitRef progressAnimationBox();    // 动画框1

}  // namespace quillora::app
