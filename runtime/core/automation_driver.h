// The automation driver: `quillora --script FILE` runs the program and executes FILE line by
// line as a user would, at the program's idle points, printing what a user sees.
//
// Units are named WINDOW.UNIT with the names of the forms (MainWindow.按钮_文件夹搜索).
//
//   click W.U                  presses a button, check box, radio box or picture button
//   type W.U TEXT              replaces an edit box's text (or a combo box's edit text)
//   tick W.U 0|1               sets a check box or radio box
//   select W.U N|TEXT          chooses a list item, combo box item, tab page or list view row
//   choose W.U TEXT            chooses a tree item by caption, or a path of captions with "/"
//   doubleclick W.U N          double-clicks row N (from 0) of a list view
//   focus W.U                  gives the unit the keyboard focus
//   key W KEY                  sends a key to the focused unit of window W: Enter (Return), Esc
//                              (Escape), Tab, Shift+Tab, Left, Right, Up, Down, Space, F1, a
//                              character, with Shift+, Ctrl+ or Alt+ before it (Alt+X)
//   focused W                  prints "focused<TAB>W<TAB>UNIT" (UNIT "-" when no unit has it)
//   enabled W | enabled W.U    prints "enabled<TAB>W[.U]<TAB>yes|no"
//   menu W.ITEM                selects a menu item
//   close W                    asks window W to close, as its close box does
//   answer messagebox N        answers the next message box with button number N
//   answer folder PATH         answers the next folder browser with PATH ("" = cancel)
//   answer font FACE SIZE [bold] [italic] [underline] [strikeout]   answers the next font dialog
//                              ("cancel" cancels)
//   answer print OK|cancel     answers the next print dialog
//   load W [modal]             loads window W (a non-modal one owned by the start window); after
//                              a modal load the script goes on inside the modal window's loop
//   events on|off              while on, prints "event W.U N" for every event that fires, bound
//                              to a handler or not ("event W N" for the window's own events)
//   dump W                     prints window W's whole table (see automation_dump.h), loaded or not
//   show W.U | show W          prints what the unit or the whole window shows
//   expect W.U TEXT            fails the script unless what the unit shows contains TEXT
//   waitfor W.U TEXT [MS]      waits until what the unit shows contains TEXT (default 30 s)
//   wait MS                    lets the program run for MS milliseconds
//   save W FILE.png            saves a picture of window W
//   echo TEXT                  prints TEXT
//   quit [CODE]                ends the program (the end of the script does too, with 0)
//
// Blank lines and lines starting with # are skipped. A failed line prints "script error" with
// its line number to standard error and ends the program with exit code 2.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillora::runtime {

// Starts the driver when the command line asks for it. The message loop calls it as it starts.
void startAutomationIfRequested();

bool automationRunning();

// The queued answer for the next dialog of `kind` ("folder", "font", "print"), taken from the
// queue; nothing when the script queued none (the dialog then behaves as if cancelled).
std::optional<std::string> takeAutomationAnswer(std::string_view kind);

}  // namespace quillora::runtime
