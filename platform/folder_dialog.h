// The folder browser through the windowing system.
#pragma once

#include <optional>
#include <string>

namespace quillora::platform {

// Shows the folder browser (folders only, with an edit box for typing a path) over the active
// window and waits for the user. The chosen folder as an absolute Linux path, or nothing when the
// user cancelled. Only for a session with a display (see hasDisplay in message_box.h).
std::optional<std::string> askFolderOnScreen(const std::string& title, const std::string& startFolder);

}  // namespace quillora::platform
