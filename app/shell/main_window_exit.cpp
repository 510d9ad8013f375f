// Ending the program from the main window: its close box and its quit button both end the
// process at once, after the clean-up routine; the windows are not closed one by one.
#include "common/handlers.h"
#include "common/runtime_calls.h"

namespace quillora::app {

HandlerResult MainWindow_可否被关闭(const EventArguments&)
{
    endProgram(0);
}

HandlerResult 按钮_结束程序_被单击(const EventArguments&)
{
    endProgram(0);
}

}  // namespace quillora::app
