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
};

ShellState& shell();

}  // namespace quillora::app
