// The automation driver's "dump W": window W's whole table, one tab-separated line per record,
// so that a script can check a window's build against its form.
//
//   window  NAME  LEFT,TOP,WIDTH,HEIGHT  visible|hidden  enabled|disabled  CAPTION
//   unit    NAME.UNIT  KIND  LEFT,TOP,WIDTH,HEIGHT  visible|hidden  enabled|disabled  PARENT  TEXT
//   item    NAME.UNIT  INDEX  TEXT                   tab pages, combo box and list box items
//   tree    NAME.UNIT  LEVEL  IMAGE  VALUE  CAPTION  the tree box's items of the form
//   tooltip NAME.UNIT  TEXT
//   menu    NAME.ITEM  LEVEL  CAPTION  FLAGS         FLAGS: "-" or hidden,disabled,checked
//   menubar NAME  LEVEL  CAPTION                     loaded window: each entry its menu bar shows
//
// Units come in table order. KIND is the kind's name; PARENT is the container's name ("-" for
// the window), with "page N" (from 1) for a unit on a tab page. Texts and items are those of the
// form (the record the window was loaded from); line breaks, tabs and backslashes are written
// as \n, \t and \\. A window that is not loaded is dumped from its template: rectangle,
// visibility (state bit 0) and enabled state (bit 1) as stored. A loaded window gives them
// live: each control's rectangle in its container, whether it is shown relative to its
// container (a unit on a tab page that is not selected still counts as visible), and whether it
// is enabled within its window.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillora::runtime {

// The dump's lines, each ending in a newline; nothing when no window has that name.
std::optional<std::string> dumpWindow(std::string_view windowName);

}  // namespace quillora::runtime
