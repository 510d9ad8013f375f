// Reads form files. A form file is line-oriented text:
//
//   # a comment runs to the end of the line
//   window MainWindow                     starts a window; its own properties follow
//       text "Quillora"
//       rect 50, 50, 687, 545             left, top, width, height (commas are optional)
//       state visible
//       on 创建完毕 MainWindow_创建完毕     binds an event, by name or number, to a handler
//
//   unit 按钮_确定 Button                  starts a control unit of a kind
//       parent 分组框1                      the group box or tab it lies on (default: the window)
//       parent 选择夹1 page 2               a tab page, counted from 1
//       rect 6, 143, 80, 24
//       state visible tabstop               visible, disabled, tabstop
//       text "准备打印"
//       on 被单击 按钮_确定_被单击
//
//   menu 菜单_文件                          starts a menu item
//       text "文件"                         the caption; "-" is a separator
//       level 0                             0 = top of the menu bar
//       state hidden                        hidden, disabled, checked
//
// Units and menu items are stored in the order written. Without a state line a window or unit is
// visible and a menu item has none of its flags. Other property lines:
//   tooltip TEXT | tag TEXT | remark TEXT | item TEXT (repeatable: list items, tab pages)
//   node LEVEL TEXT [image N] [value N] (repeatable: tree items, LEVEL 1 = top)
//   range MIN MAX | position N | checked | selected N | align left|centre|right
//   style WORD (list views: icon|small-icon|list|report; combo boxes: drop-down|drop-down-list)
//   options WORD... (windows: drag-move enter-moves-focus esc-closes help-key topmost;
//                    list views: full-row-select grid-lines)
//   background top-left|tiled|stretched|centred
//   font FACE SIZE [bold] [italic] [underline] [strikeout] [angle TENTHS]
//   shortcut KEYCODE | focus-order N | bindings-from UNIT
// Texts are double-quoted when they hold blanks, commas or '#'; inside quotes \" \\ \n \t are
// escapes. Which properties and events a kind takes is checked afterwards by the validator.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tools/form_compiler/form_source.h"

namespace quillora::form_compiler {

// Parses one form file. Syntax errors become diagnostics and parsing goes on with the next
// line, so one run reports every mistake of the file.
std::vector<WindowSource> parseFormFile(std::string_view text, const std::string& fileName,
                                        Diagnostics& diagnostics);

}  // namespace quillora::form_compiler
