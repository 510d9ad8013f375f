// How the folder browser's answer becomes the folder the program receives.
#pragma once

#include <string>
#include <string_view>

namespace quillora::runtime {

// The chosen folder in drive form, or why it is refused (then drivePath is empty).
struct ChosenFolder {
    std::string drivePath;  // "D:\album", a drive root "D:\"
    std::string refusal;    // the message the user is shown
};

// `answer` is what the browser (or the automation driver) gave: an absolute Linux path, or a
// drive path ("D:\album", "d:/album"). It is accepted when it names an existing folder on a
// mapped drive.
ChosenFolder folderInDriveForm(std::string_view answer);

}  // namespace quillora::runtime
