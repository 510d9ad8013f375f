// The program's entry routine: the start sequence every program on the runtime follows.
#include <cfenv>

#include "common/runtime_calls.h"
#include "shell/application.h"

int main()
{
    using namespace quillora;
    using namespace quillora::app;

    callService(RuntimeService::StartRuntime);
    std::fesetenv(FE_DFL_ENV);
    initialiseGlobals();
    runtime().CallRuntimeService(static_cast<std::int32_t>(RuntimeService::SetExitHook), &releaseGlobals);
    startApplication();
    runtime().LoadStartWindow(startWindowId());
    runtime().RunMessageLoop();
    return 0;
}
