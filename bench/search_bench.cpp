// The picture search on a large tree, through the same handler the "搜索" button runs, measured
// against `find DIR -type f` on the same tree in the same run.
//
//   search_bench [TREE]        (default /tmp/bench-data/tree, made by gen_data.sh / gen_tree.py)
#include "common/handlers.h"
#include "common/unit_calls.h"
#include "form_ids.h"
#include "quillora/control_unit_commands.h"
#include "shell/application.h"
#include "shell/main_window_units.h"
#include "shell/shell_state.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace quillora;
using namespace quillora::app;

namespace {

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double timeFind(const std::string& tree, long& files)
{
    const auto start = std::chrono::steady_clock::now();
    const std::string command = "find '" + tree + "' -type f | wc -l";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe || std::fscanf(pipe, "%ld", &files) != 1)
        files = 0;
    if (pipe)
        pclose(pipe);
    return secondsSince(start);
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string tree = argc > 1 ? argv[1] : "/tmp/bench-data/tree";
    const std::string drives = "C=/|fixed|System;B=" + tree + "|fixed|Bench";
    setenv("QUILLORA_DRIVES", drives.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);

    callService(RuntimeService::StartRuntime);
    initialiseGlobals();
    runtime().LoadStartWindow(forms::MainWindow::id);

    const UnitRef subFolders = mainWindowUnit(forms::unit_type::CheckBox, forms::MainWindow::选择框_包括文件夹);
    writeProperty(subFolders, kindProperty(kCheckBoxChecked), makeBool(true));
    shell().selectedFolderPath = "B:\\";

    long foundByFind = 0;
    const double findSeconds = timeFind(tree, foundByFind);

    const auto start = std::chrono::steady_clock::now();
    按钮_文件夹搜索_被单击(EventArguments{});
    const double searchSeconds = secondsSince(start);
    const long rows = foundPictures().rowCount();

    std::printf("tree %s: %ld files (find)\n", tree.c_str(), foundByFind);
    std::printf("find -type f : %.3f s, %.0f files/s\n", findSeconds, foundByFind / findSeconds);
    std::printf("search       : %.3f s, %.0f files/s, %ld pictures listed\n", searchSeconds, foundByFind / searchSeconds,
                rows);
    std::printf("ratio search/find: %.2f\n", searchSeconds / findSeconds);
    std::fflush(stdout);
    runtime().ExitProgram(0);
}
