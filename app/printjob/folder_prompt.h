// The folder prompt of a job printed to picture files.
#pragma once

#include <string>
#include <string_view>

namespace quillora::app {

inline constexpr std::string_view kFolderPromptTitle = "请选择要保存的文件夹，文件名电脑自动起：";

// The folder browser: the chosen folder as a drive path ("D:\album", a root "D:\"), or empty
// text when the user cancelled.
std::string askForSaveFolder();

// A folder every prompt of the following jobs answers without asking (a job run from the command
// line names its folder once); empty text asks again.
void answerSaveFolderPrompts(std::string drivePath);

}  // namespace quillora::app
