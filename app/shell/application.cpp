#include "shell/application.h"

#include "common/runtime_calls.h"
#include "form_ids.h"
#include "pagesetup/print_settings.h"
#include "quillora/win_abi.h"

namespace quillora::app {
namespace {

// The image-encoding service's session, kept for the whole run.
win::ULONG_PTR encoderToken = 0;

}  // namespace

void initialiseGlobals()
{
    createPageSetupState();
}

void releaseGlobals()
{
    releasePageSetupState();
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
