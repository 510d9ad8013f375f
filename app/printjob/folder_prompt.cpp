#include "printjob/folder_prompt.h"

#include "common/unit_calls.h"
#include "quillora/dialog_commands.h"

#include <utility>

namespace quillora::app {

namespace {

std::string& presetFolder()
{
    static std::string folder;
    return folder;
}

}  // namespace

void answerSaveFolderPrompts(std::string drivePath)
{
    presetFolder() = std::move(drivePath);
}

std::string askForSaveFolder()
{
    if (!presetFolder().empty())
        return presetFolder();
    const std::string title(kFolderPromptTitle);
    return takeText(callCore(&BrowseForFolder, textValue(title)));
}

}  // namespace quillora::app
