// The user's own folders on a Linux desktop: home, desktop and documents, as the XDG user
// directories name them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillora::platform {

enum class UserFolder {
    Desktop,
    Documents,
};

// The home folder: $HOME when it is an absolute path, else the user's entry in the password
// database, else "/".
std::string homeFolder();

// The Linux path of a user folder. The first of these that is an existing folder:
//  1. its entry in user-dirs.dirs ($XDG_CONFIG_HOME, by default ~/.config) — XDG_DESKTOP_DIR
//     or XDG_DOCUMENTS_DIR, with "$HOME" expanded;
//  2. ~/Desktop or ~/Documents;
//  3. the home folder itself.
std::string userFolder(UserFolder folder);

// The value of `key` in the text of a user-dirs.dirs file (lines of KEY="$HOME/Folder" or
// KEY="/absolute/path", shell-quoted), with "$HOME" replaced by `home`. Nothing when the key is
// missing or its value is neither relative to $HOME nor absolute. The last line for a key wins.
std::optional<std::string> userDirsEntry(std::string_view content, std::string_view key, std::string_view home);

}  // namespace quillora::platform
