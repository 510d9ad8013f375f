// The progress window every page render runs in: its progress bar, its cancel button and the
// hidden units the renders draw with (the page panel, the printer, the reduction's animation box).
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

// The end of a render's use of the window: events let through, the window hidden and closed (it
// goes when events are next processed), events let through again. While a ProgressWindowHold
// lives, renders leave the window up and the last holder closes it.
void finishWithProgressWindow();

// Keeps the progress window up across several renders in a row (the preview drawn again for an
// edit made while it was drawn), so that the window goes only once everything is shown.
class ProgressWindowHold {
public:
    ProgressWindowHold();
    ~ProgressWindowHold();
    ProgressWindowHold(const ProgressWindowHold&) = delete;
    ProgressWindowHold& operator=(const ProgressWindowHold&) = delete;
};

void setProgressRange(std::int32_t minimum, std::int32_t maximum);
// Called once for every picture a render has drawn (with its progress moved); null for none. A
// job run from the command line shows its own progress line with it.
using PictureDrawnWatcher = void (*)();
void watchPicturesDrawn(PictureDrawnWatcher watcher);
// Told by the page loop after each picture, before it tests the cancel request.
void notePictureDrawn();
// Does nothing when the window is not loaded.
void setProgressPosition(std::int32_t position);

// The cancel request of the running render: set by the window's 取消 button, tested by the page
// loop after every picture, cleared when a render starts and when it ends. A job stop counts as a
// cancel request too.
bool cancelRequested();
void clearCancelRequest();

// The stop of a whole job (the program is to end): every render of the job acts as cancelled,
// finishing the page it draws so that no page is left half made, and the drivers start no further
// batch. Unlike the cancel request it is not cleared between renders.
void requestJobStop();
bool jobStopRequested();
void clearJobStop();

// The animation object the picture reduction draws with, made when the window is created
// (0 before that).
std::int32_t scalingObject();

// The hidden units of the window.
UnitRef progressPagePanel();       // 画板_temp
UnitRef progressPrinter();         // 打印机1
UnitRef progressAnimationBox();    // 动画框1

}  // namespace quillora::app
