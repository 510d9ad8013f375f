// The picture search: walks the chosen folder (and, if asked, its sub-folders) depth first and
// lists every picture in the main window's found-picture list.
#pragma once

#include <string>

namespace quillora::app {

// Searches `root` (rewritten in normalised form) and fills the found-picture list.
void SearchPictures(std::string& root, bool includeSubFolders);

// Lists the pictures of parentPath\folderName and, if asked, of its sub-folders.
void ScanFolder(const std::string& parentPath, const std::string& folderName, bool includeSubFolders);

// True when a file name (lower-cased) names a picture the album takes.
bool isPictureName(const std::string& lowerCaseName);

}  // namespace quillora::app
