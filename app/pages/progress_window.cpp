// The progress window's behaviour: set up when created, lifted once when first activated, its
// cancel button asking the running render to stop.
#include "pages/progress_window.h"

#include "common/core_calls.h"
#include "common/handlers.h"
#include "form_ids.h"
#include "quillora/control_unit_commands.h"
#include "quillora/core_commands.h"
#include "quillora/special_unit_commands.h"

namespace quillora::app {
namespace {

namespace pw = forms::ProgressWindow;

// Both live as long as the program: the button that sets the request and the loop that tests it
// never run at the same moment, and the object belongs to the window's one animation box.
bool cancelWasRequested = false;
// Outlives the batches: set when the program is to end once the running job has let go.
bool jobStopWasRequested = false;
std::int32_t windowScalingObject = 0;
// Holders of the window, and whether a render finished while it was held.
int windowHolds = 0;
bool renderFinishedWhileHeld = false;
PictureDrawnWatcher pictureWatcher = nullptr;

UnitRef progressUnit(std::uint32_t typeCode, std::uint32_t unitId)
{
    return {typeCode, pw::id, unitId};
}

UnitRef progressBar()
{
    return progressUnit(forms::unit_type::ProcessBar, pw::进度条_当前进度);
}

// The window's own record stands for the window in the common properties.
UnitRef progressWindowItself()
{
    return progressUnit(forms::unit_type::window, pw::ownRecord);
}

// The window hidden and closed; it goes when events are next processed, which they then are.
void closeAfterRender()
{
    hideProgressWindow();
    closeProgressWindow();
    processEvents();
}

}  // namespace

bool cancelRequested()
{
    return cancelWasRequested || jobStopWasRequested;
}

void clearCancelRequest()
{
    cancelWasRequested = false;
}

void requestJobStop()
{
    jobStopWasRequested = true;
}

bool jobStopRequested()
{
    return jobStopWasRequested;
}

void clearJobStop()
{
    jobStopWasRequested = false;
}

std::int32_t scalingObject()
{
    return windowScalingObject;
}

UnitRef progressPagePanel()
{
    return progressUnit(forms::unit_type::DrawPanel, pw::画板_temp);
}

UnitRef progressPrinter()
{
    return progressUnit(forms::unit_type::printer, pw::打印机1);
}

UnitRef progressAnimationBox()
{
    return progressUnit(forms::unit_type::CartoonBox, pw::动画框1);
}

bool progressWindowLoaded()
{
    return isWindowLoaded(pw::id);
}

void showProgressWindow()
{
    // Loading a window that is loaded brings it up; one that was closed but is not gone yet is
    // finished off and loaded anew, so a render never runs on a window about to be destroyed.
    loadWindow(pw::id, 0, WindowMode::Modeless);
    if (progressWindowLoaded())
        writeProperty(progressWindowItself(), kPropertyVisible, makeBool(true));
}

void hideProgressWindow()
{
    if (progressWindowLoaded())
        writeProperty(progressWindowItself(), kPropertyVisible, makeBool(false));
}

void closeProgressWindow()
{
    if (!progressWindowLoaded())
        return;
    // Hidden first, so the window system hands the activation back while every unit still exists.
    hideProgressWindow();
    callCore(&CloseWindow, makeInt(static_cast<std::int32_t>(pw::id)));
}

void finishWithProgressWindow()
{
    if (windowHolds > 0) {
        renderFinishedWhileHeld = true;
        return;
    }
    processEvents();
    closeAfterRender();
}

ProgressWindowHold::ProgressWindowHold()
{
    if (windowHolds++ == 0)
        renderFinishedWhileHeld = false;
}

ProgressWindowHold::~ProgressWindowHold()
{
    // The holder has let events through just before letting go.
    if (--windowHolds == 0 && renderFinishedWhileHeld)
        closeAfterRender();
}

void setProgressRange(std::int32_t minimum, std::int32_t maximum)
{
    if (!progressWindowLoaded())
        return;
    writeProperty(progressBar(), kindProperty(kProgressMinimum), makeInt(minimum));
    writeProperty(progressBar(), kindProperty(kProgressMaximum), makeInt(maximum));
}

void watchPicturesDrawn(PictureDrawnWatcher watcher)
{
    pictureWatcher = watcher;
}

void notePictureDrawn()
{
    if (pictureWatcher)
        pictureWatcher();
}

void setProgressPosition(std::int32_t position)
{
    if (progressWindowLoaded())
        writeProperty(progressBar(), kindProperty(kProgressPosition), makeInt(position));
}

HandlerResult ProgressWindow_创建完毕(const EventArguments&)
{
    setProgressRange(0, 100);
    setProgressPosition(0);
    writeProperty(progressPagePanel(), kPropertyVisible, makeBool(false));
    // The object the picture reduction draws with; it lives as long as the window.
    const UnitRef templateObject = progressUnit(forms::unit_type::CartoonObject, pw::动画物体1);
    windowScalingObject =
        asInt(callMethod(progressAnimationBox(), &animationBoxCreateObject, templateObject.value(), makeInt(0), makeInt(0)));
    return noValue();
}

// The window is lifted above the others once when it first comes up. The runtime has no
// always-on-top command; showing a new top-level window already raises it, which is the same
// end state as switching always-on-top on and at once off again.
HandlerResult ProgressWindow_首次激活(const EventArguments&)
{
    return noValue();
}

// Dragging the window by its progress bar would hand the press to the window system as a press
// on the caption; the runtime offers no such system move, so the press is left to the bar.
HandlerResult 进度条_当前进度_鼠标左键被按下(const EventArguments&)
{
    return noValue();
}

HandlerResult 按钮_取消打印_被单击(const EventArguments&)
{
    cancelWasRequested = true;
    return noValue();
}

}  // namespace quillora::app
