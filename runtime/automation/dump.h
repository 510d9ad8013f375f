// The automation driver's "dump W", "dump W.U" and "rows W.U": a window's table, or one unit of
// it, one tab-separated line per record, so that a script can check a window's build against its
// form and read what its units hold.
//
//   window  NAME  LEFT,TOP,WIDTH,HEIGHT  visible|hidden  enabled|disabled  CAPTION
//   unit    NAME.UNIT  KIND  LEFT,TOP,WIDTH,HEIGHT  visible|hidden  enabled|disabled  TEXT
//   selected NAME.UNIT INDEX  TEXT                   the chosen item of a combo box or list box,
//                                                    the chosen page of a tab (-1 and no text
//                                                    when nothing is chosen)
//   checked NAME.UNIT  0|1                           the tick of a check box or radio box
//   position NAME.UNIT POS  MIN  MAX                 a slider's handle, a progress bar's bar
//   item    NAME.UNIT  INDEX  TEXT                   tab pages, combo box and list box items
//   tree    NAME.UNIT  LEVEL  IMAGE  VALUE  CAPTION  a tree box's items, in item order
//   column  NAME.UNIT  INDEX  TITLE  WIDTH  ALIGN    a list view's columns (left|center|right)
//   row     NAME.UNIT  INDEX  CELL0  CELL1 ...       a list view's rows
//   tooltip NAME.UNIT  TEXT
//   menu    NAME.ITEM  LEVEL  CAPTION  FLAGS         FLAGS: "-" or hidden,disabled,checked
//   menubar NAME  LEVEL  CAPTION                     loaded window: each entry its menu bar shows
//
// Units come in table order. KIND is the kind's name. Line breaks and tabs in texts are written
// as \n and \t, so that each record stays one line of fields; a backslash stays as it is (paths
// are full of them). A window that is not loaded is dumped from its template:
// rectangle, visibility (state bit 0), enabled state (bit 1), texts and items as stored. A
// loaded window gives them live: each control's rectangle in its container, whether it is shown
// relative to its container (a unit on a tab page that is not selected still counts as
// visible), whether it is enabled within its window, what an edit box, label or button shows
// now, the state its describe() reports (the selected, checked and position lines, the same
// lines wait-text matches, with the unit's name put in), and the items, tree items, columns and
// rows the unit holds now, as its liveItems(), liveTreeItems() and table() give them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillora::runtime {

// The dump's lines, each ending in a newline; nothing when no window has that name.
std::optional<std::string> dumpWindow(std::string_view windowName);
// The unit's own lines; nothing when there is no such window or unit.
std::optional<std::string> dumpUnitNamed(std::string_view windowName, std::string_view unitName);
// Only the "row" lines of a loaded list view; nothing when the unit is not one.
std::optional<std::string> dumpRows(std::string_view windowName, std::string_view unitName);

}  // namespace quillora::runtime
