// Ending the program from the main window: its close box and its quit button both end the
// process, after the clean-up routine; the windows are not closed one by one.
//
// A print job lets events through after every page, so the close box or the quit button can be
// pressed while it runs. Ending the process there would cut a page file or a print document in
// half, so the user is asked first; when the answer is yes the job stops after the page it draws
// (that page is written or sent whole) and the program ends as soon as the job has let go.
#include "common/core_calls.h"
#include "common/handlers.h"
#include "common/runtime_calls.h"
#include "common/window_units.h"
#include "pages/progress_window.h"
#include "shell/shell_state.h"

namespace quillora::app {
namespace {

// A question with 是 and 否, 否 the safe default.
constexpr std::int32_t kYesNoQuestion = 4 + 32 + 256;
constexpr std::int32_t kAnsweredYes = 6;

// True when the program may end now; false when it ends once the job stops, or not at all.
bool mayEndNow()
{
    if (!shell().jobRunning)
        return true;
    if (jobStopRequested())
        return false;
    const std::int32_t answer = messageBox(
        "正在打印。现在退出，正在制作的这一页会做完并保存，其余的页面不再打印。\r\n确定要退出吗？", kYesNoQuestion,
        "正在打印");
    if (answer == kAnsweredYes && shell().jobRunning) {
        requestJobStop();
        shell().exitAfterJob = true;
        mainStatusBar().show("正在停止打印，这一页完成后程序退出。");
        return false;
    }
    // The job may have ended while the question was open: then nothing holds the program.
    return !shell().jobRunning && answer == kAnsweredYes;
}

}  // namespace

HandlerResult MainWindow_可否被关闭(const EventArguments&)
{
    if (mayEndNow())
        endProgram(0);
    return returnBool(false);
}

HandlerResult 按钮_结束程序_被单击(const EventArguments&)
{
    if (mayEndNow())
        endProgram(0);
    return noValue();
}

}  // namespace quillora::app
