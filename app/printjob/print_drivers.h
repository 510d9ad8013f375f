// The two print job drivers: the whole found-picture list as one set of pages, or one set per
// folder.
#pragma once

namespace quillora::app {

void PrintAlbumAsOneSet();
void PrintAlbumByFolder();

}  // namespace quillora::app
