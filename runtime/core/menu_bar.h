// The menu bar of a loaded window, built from its menu items.
#pragma once

namespace quillora::runtime {

class LiveWindow;

// (Re)builds the window's menu bar: command ids from 20000 in table order, items nested by
// level, hidden items left out with their deeper items, disabled items grayed, checked items
// checked, "-" a separator, shortcuts shown after the caption and active as accelerators.
void buildMenuBar(LiveWindow& window);

}  // namespace quillora::runtime
