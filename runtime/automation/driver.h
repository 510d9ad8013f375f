// The automation driver: `quillora --script FILE` runs the program and executes FILE line by
// line as a user would, printing what a user sees. Each line runs at the next point where the
// program processes events: the main loop, a modal loop, or a running handler's own event
// processing, so a line right after a click that starts a long handler (a search, a job) acts
// during it. Two rules keep runs deterministic:
//   - type, focus, check, select, tree, slide and key hold the script until they are done: a
//     handler they set off (a preview drawn because the focus left a box) runs to its end before
//     the next line, unless it opens a modal window, inside which the script goes on.
//   - a wait (wait-idle, wait-loaded, wait-closed, wait-text) looks only when no handler runs (a
//     handler running a modal window's loop does not count) and no window is being built; one
//     that starts inside a handler lets it finish first, so it never sees a half-drawn preview or
//     a window about to go. watch-text is the wait for watching a handler while it runs.
//
// A line is words separated by blanks; double quotes make a word of text with blanks, with \",
// \\ and \n inside them; # starts a comment. Units are named WINDOW.UNIT with the names of the
// forms (MainWindow.按钮_文件夹搜索), a window by its name.
//
//   click U                    presses a button, check box, radio box or picture button
//   dblclick U [ROW]           double-clicks row ROW (from 0, default 0) of a list view
//   type U TEXT                focuses an edit box (or editable combo box) and replaces its text
//   focus U                    gives the unit the keyboard focus
//   check U on|off             sets a check box (or a radio box on)
//   select U INDEX|TEXT        chooses a combo box or list box item, a tab page, a list view row
//                              or a radio box
//   tree U CAPTION/CAPTION/... makes the tree item at that path of captions current
//   slide U POS                moves a slider
//   key U KEY                  focuses U, then sends KEY: Tab, Shift+Tab, Enter, Esc, Left,
//                              Right, Up, Down, Space, F1, a character, Alt+X, Ctrl+X
//   press TEXT                 clicks the push button captioned TEXT ("&" mnemonics left out) in
//                              a shown dialog that is not one of the program's form windows, such
//                              as the "中止打印" of the printer's status dialog; an error when no
//                              such dialog shows one, or when it is disabled
//   close W                    asks window W to close, as its close box does
//   menu W.ITEM                selects a menu item (prints nothing)
//   answer message-box ok|cancel|yes|no      answers the next message box (buttons 1, 2, 6, 7);
//                              an unanswered one takes its default button
//   answer folder PATH|cancel, answer save-file PATH|cancel, answer print-dialog ok|cancel,
//   answer font NAME SIZE [bold] [italic] [underline] [strikeout]|cancel
//                              answers the next dialog of that kind; an unanswered one is
//                              cancelled. Answers queue up, one per dialog, in script order.
//   load W [modal]             loads window W owned by the start window; after a modal load the
//                              script goes on inside the modal window's loop
//   wait-idle [MS]             waits until no handler runs and nothing is being loaded, two
//                              polls in a row
//   wait-loaded W [MS], wait-closed W [MS]   waits until W is loaded, or gone
//   wait-text U TEXT [MS]      waits until what U shows (its describe(), as "dump" shows a unit
//                              of that kind) contains TEXT
//   watch-text U TEXT [MS]     the same, but looks at every event point, inside a running
//                              handler too: for acting during a search or a job (stop it once
//                              a few folders are listed, cancel it once its bar shows the batch)
//                              Every wait gives up after MS milliseconds, 30000 when not given,
//                              and the run then ends with an error line.
//   sleep MS                   lets the program run for MS milliseconds
//   echo TEXT                  prints TEXT (the words after echo, one blank between them)
//   quit [CODE]                ends the program with CODE (the end of the script does, with 0)
//   remove-file PATH           deletes a file of the machine (not a drive path) behind the
//                              program's back; copy-file FROM TO copies one over another
//
// Output, one tab-separated line each on standard output:
//   dump U | dump W            see dump.h
//   rows U                     the "row" lines of a list view
//   status                     status<TAB>TEXT, part 0 of the start window's status bar (the
//                              first status bar in the table of the first window loaded)
//   screenshot W FILE.png      saves a picture of window W, its lists showing every row they hold
//                              (prints nothing)
//   focused W                  focused<TAB>W<TAB>UNIT (UNIT "-" when no unit has it)
//   enabled W | enabled W.U    enabled<TAB>W[.U]<TAB>yes|no
//   events on|off              while on, event<TAB>W.U<TAB>N for every event that fires, bound
//                              to a handler or not (event<TAB>W<TAB>N for the window's own)
//   every message box shown    message-box<TAB>TITLE<TAB>TEXT<TAB>STYLE
//
// A line that cannot be carried out (an unknown verb, too few or too many words, a unit that is
// not there) prints error<TAB>LINE<TAB>REASON to standard error and ends the program with exit
// code 3. The verbs are dispatched from one table (verbs.h).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillora::runtime {

// Starts the driver when the command line asks for it. The message loop calls it as it starts.
void startAutomationIfRequested();

bool automationRunning();

// The queued answer for the next dialog of `kind` ("folder", "font", "print-dialog",
// "save-file"), taken from the queue; nothing when the script queued none (the dialog then
// behaves as if cancelled). A path answer is empty when the script cancelled the dialog.
std::optional<std::string> takeAutomationAnswer(std::string_view kind);

}  // namespace quillora::runtime
