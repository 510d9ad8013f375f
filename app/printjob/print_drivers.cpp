#include "printjob/print_drivers.h"

#include "common/window_units.h"

namespace quillora::app {

// Printing is not built yet: both drivers say so in the status bar instead of doing nothing.
void PrintAlbumAsOneSet()
{
    mainStatusBar().show("打印功能尚未完成。");
}

void PrintAlbumByFolder()
{
    mainStatusBar().show("打印功能尚未完成。");
}

}  // namespace quillora::app
