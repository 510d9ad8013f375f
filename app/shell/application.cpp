#include "shell/application.h"

#include "common/runtime_calls.h"
#include "form_ids.h"
#include "quillora/win_abi.h"

namespace quillora::app {
namespace {

// The image-encoding service's session, kept for the whole run.
win::ULONG_PTR encoderToken = 0;

}  // namespace

void initialiseGlobals()
{
}

void releaseGlobals()
{
}

void startApplication()
{
    const win::GdiplusStartupInput input;
    callDll<win::GdiplusStartupFn>(DllCommand::GdiplusStartup, &encoderToken, &input, nullptr);
}

unsigned startWindowId()
{
    return forms::MainWindow::id;
}

}  // namespace quillora::app
