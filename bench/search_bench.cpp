// The picture search on a large tree, through the same handler the "搜索" button runs, measured
// against `find` on the same tree in the same run: `find -type f` (listing alone) and
// `find -iname '*.jpg' -o …` (listing and the same picture-name test the search makes).
// The search's own walk through the find-file service, without list or window, is timed too,
// so the file-system share of the search shows apart from the list and the status bar.
//
//   search_bench [TREE]      TREE defaults to $QUILLORA_BENCH_DATA/tree, the 100,000-file tree
//                            that ../shared/bench-data/gen_data.sh makes in its data folder.
#include "common/handlers.h"
#include "common/unit_calls.h"
#include "form_ids.h"
#include "quillora/control_unit_commands.h"
#include "runtime/core/file_search.h"
#include "runtime/core/memory.h"
#include "shell/application.h"
#include "shell/main_window_units.h"
#include "shell/shell_state.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <sys/resource.h>

using namespace quillora;
using namespace quillora::app;

namespace {

// Wall-clock and processor seconds of one run. On a machine shared with other work the
// processor time is the steadier figure; both are shown.
struct Timing {
    double wall = 0;
    double processor = 0;
};

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double processorSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Runs a shell command that prints one line per file and counts the lines; its processor time
// is that of the waited-for children (the shell, the command and the line count).
Timing timeLines(const std::string& command, long& lines)
{
    const double children = processorSeconds(RUSAGE_CHILDREN);
    const auto start = std::chrono::steady_clock::now();
    FILE* pipe = popen((command + " | wc -l").c_str(), "r");
    if (!pipe || std::fscanf(pipe, "%ld", &lines) != 1)
        lines = 0;
    if (pipe)
        pclose(pipe);
    return {secondsSince(start), processorSeconds(RUSAGE_CHILDREN) - children};
}

template <typename Work>
Timing timeHere(Work work)
{
    const double self = processorSeconds(RUSAGE_SELF);
    const auto start = std::chrono::steady_clock::now();
    work();
    return {secondsSince(start), processorSeconds(RUSAGE_SELF) - self};
}

// The search's folder walk on the find-file service alone: the first entry by the read-only or
// archive mask, then every file; then the folders, each walked in turn. Counts the entries seen.
void walk(const std::string& path, long& files)
{
    const std::string pattern = path + "*.*";
    void* slot = nullptr;
    const char* next = pattern.c_str();
    std::uint32_t mask = 0x21;
    bool filesOnly = false;
    while (char* name = quillora::runtime::findNextFile(next, mask, filesOnly, &slot)) {
        quillora::runtime::freeBlock(name);
        next = "";
        mask = 0;
        filesOnly = true;
        ++files;
    }
    std::vector<std::string> folders;
    next = pattern.c_str();
    while (char* name = quillora::runtime::findNextFile(next, 0x10, false, &slot)) {
        folders.emplace_back(name);
        quillora::runtime::freeBlock(name);
        next = "";
    }
    for (const std::string& folder : folders) {
        if (folder != "." && folder != "..")
            walk(path + folder + "\\", files);
    }
}

Timing median(const std::vector<Timing>& runs)
{
    std::vector<double> walls, processors;
    for (const Timing& run : runs) {
        walls.push_back(run.wall);
        processors.push_back(run.processor);
    }
    std::sort(walls.begin(), walls.end());
    std::sort(processors.begin(), processors.end());
    return {walls[walls.size() / 2], processors[processors.size() / 2]};
}

std::string quoted(const std::string& path)
{
    std::string result = "'";
    for (const char c : path)
        result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}

}  // namespace

int main(int argc, char** argv)
{
    std::string tree;
    if (argc > 1)
        tree = argv[1];
    else if (const char* data = std::getenv("QUILLORA_BENCH_DATA"))
        tree = std::string(data) + "/tree";
    if (tree.empty()) {
        std::fprintf(stderr, "usage: search_bench TREE   (or set QUILLORA_BENCH_DATA to gen_data.sh's folder)\n");
        return 2;
    }
    const std::string drives = "C=/|fixed|System;B=" + tree + "|fixed|Bench";
    setenv("QUILLORA_DRIVES", drives.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);

    callService(RuntimeService::StartRuntime);
    initialiseGlobals();
    app::runtime().LoadStartWindow(forms::MainWindow::id);

    const UnitRef subFolders = mainWindowUnit(forms::unit_type::CheckBox, forms::MainWindow::选择框_包括文件夹);
    writeProperty(subFolders, kindProperty(kCheckBoxChecked), makeBool(true));
    shell().selectedFolderPath = "B:\\";

    // Rounds alternate the four, so each sees the same warm caches; the median of each is shown.
    constexpr int kRounds = 5;
    std::vector<Timing> findFiles, findPictures, walks, searches;
    long filesByFind = 0, picturesByFind = 0, walked = 0, rows = 0;
    const std::string findPicturesCommand =
        "find " + quoted(tree) + " -iname '*.jpg' -o -iname '*.jpeg' -o -iname '*.bmp' -o -iname '*gif'";
    for (int round = 0; round < kRounds; ++round) {
        findFiles.push_back(timeLines("find " + quoted(tree) + " -type f", filesByFind));
        findPictures.push_back(timeLines(findPicturesCommand, picturesByFind));
        // Every search empties the list first; emptying 10,000 rows of the round before is not
        // part of searching.
        foundPictures().reset();
        searches.push_back(timeHere([] { 按钮_文件夹搜索_被单击(EventArguments{}); }));
        rows = foundPictures().rowCount();
        walked = 0;
        walks.push_back(timeHere([&] { walk("B:\\", walked); }));
    }
    const Timing findFilesTime = median(findFiles), findPicturesTime = median(findPictures);
    const Timing walkTime = median(walks), searchTime = median(searches);

    std::printf("tree %s: %ld files, %ld picture names (find); median of %d rounds, wall / processor\n",
                tree.c_str(), filesByFind, picturesByFind, kRounds);
    const auto show = [](const char* what, const Timing& time, const char* note) {
        std::printf("%-16s: %.3f s / %.3f s%s\n", what, time.wall, time.processor, note);
    };
    show("find -type f", findFilesTime, "");
    show("find -iname ...", findPicturesTime, "");
    show("find-file walk", walkTime, "  (no list, no window)");
    show("search", searchTime, "");
    std::printf("search / find -iname : %.2f wall, %.2f processor\n", searchTime.wall / findPicturesTime.wall,
                searchTime.processor / findPicturesTime.processor);
    std::printf("search / find -type f: %.2f wall, %.2f processor\n", searchTime.wall / findFilesTime.wall,
                searchTime.processor / findFilesTime.processor);
    std::printf("walk / find -type f  : %.2f wall, %.2f processor\n", walkTime.wall / findFilesTime.wall,
                walkTime.processor / findFilesTime.processor);
    std::printf("%ld pictures listed, %ld files walked\n", rows, walked);
    std::fflush(stdout);
    app::runtime().ExitProgram(rows == picturesByFind ? 0 : 1);
}
