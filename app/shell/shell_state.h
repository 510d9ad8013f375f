// The main window's process-wide state, alive for the whole run.
#pragma once

#include <string>

namespace quillora::app {

struct ShellState {
    std::string desktopFolderPath;    // set when the main window has been created
    std::string documentsFolderPath;  // likewise
    std::string selectedFolderPath;   // the search root; empty until a tree item is chosen
    bool searchFinished = true;       // true while no search runs
    bool stopRequested = false;       // set by the stop button, cleared when a search starts
    bool jobRunning = false;          // true while a print job runs
    bool exitAfterJob = false;        // the user chose to quit during the job: it ends the program
};

// Said in the status bar when a button that would start something is pressed during a job: the
// job lets events through after every page, and a second job, a search or the settings window
// started inside it would take over its progress window and page panel.
inline constexpr const char* kBusyWithJob = "正在打印，请等打印完毕后再操作。";

// True (and the status bar says why) when a job is running.
bool refusedDuringJob();

ShellState& shell();

}  // namespace quillora::app
