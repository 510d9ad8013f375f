// The main window's handlers: creation, the search and stop buttons, the header and footer
// hints and the print guard.
#include "common/core_calls.h"
#include "common/handlers.h"
#include "common/runtime_calls.h"
#include "form_ids.h"
#include "pages/progress_window.h"
#include "printjob/print_drivers.h"
#include "quillora/control_unit_commands.h"
#include "shell/folder_tree.h"
#include "common/window_units.h"
#include "shell/picture_search.h"
#include "shell/shell_state.h"

namespace quillora::app {
namespace {

// The system-modal style of the print guard's message box.
constexpr std::int32_t kSystemModal = 4096;

UnitRef searchButton()
{
    return mainWindowUnit(forms::unit_type::SuperBtn, forms::MainWindow::按钮_文件夹搜索);
}

}  // namespace

ShellState& shell()
{
    static ShellState state;
    return state;
}

bool refusedDuringJob()
{
    if (!shell().jobRunning)
        return false;
    mainStatusBar().show(kBusyWithJob);
    return true;
}

HandlerResult MainWindow_创建完毕(const EventArguments&)
{
    shell().searchFinished = true;
    FillFolderTree();
    return noValue();
}

HandlerResult 按钮_文件夹搜索_被单击(const EventArguments&)
{
    if (refusedDuringJob())
        return noValue();
    // The button is off while a search runs, so a click handled at one of the search's
    // cooperative points cannot start a second search inside the first.
    const UnitRef button = searchButton();
    writeProperty(button, kPropertyDisabled, makeBool(true));
    const bool includeSubFolders =
        isChecked(mainWindowUnit(forms::unit_type::CheckBox, forms::MainWindow::选择框_包括文件夹));
    SearchPictures(shell().selectedFolderPath, includeSubFolders);
    writeProperty(button, kPropertyDisabled, makeBool(false));
    return noValue();
}

HandlerResult 按钮_文件夹停止搜索_被单击(const EventArguments&)
{
    shell().stopRequested = true;
    return noValue();
}

HandlerResult 编辑框_页眉_获得焦点(const EventArguments&)
{
    mainStatusBar().show("显示在每个页眉上，可用&a表示总页数， &p表示当前页， &f表示分类。字体及对齐方式从‘打印设置’中设置。");
    return noValue();
}

HandlerResult 编辑框_页脚_获得焦点(const EventArguments&)
{
    mainStatusBar().show("显示在每个页脚上，可用&a表示总页数， &p表示当前页， &f表示分类。字体及对齐方式从‘打印设置’中设置。");
    return noValue();
}

HandlerResult 按钮_文件夹准备打印_被单击(const EventArguments&)
{
    if (!shell().searchFinished) {
        messageBox("搜索还未完成，此时打印是不是太早了点？", kSystemModal, "你性子太急了！");
        return noValue();
    }
    if (refusedDuringJob())
        return noValue();
    shell().jobRunning = true;
    clearJobStop();
    if (isChecked(mainWindowUnit(forms::unit_type::CheckBox, forms::MainWindow::选择框_按文件夹分类)))
        PrintAlbumByFolder();
    else
        PrintAlbumAsOneSet();
    shell().jobRunning = false;
    clearJobStop();
    // Asked for while the job ran: the job has now let go of its last page.
    if (shell().exitAfterJob)
        endProgram(0);
    return noValue();
}

}  // namespace quillora::app
