#include "printjob/folder_prompt.h"

#include "common/unit_calls.h"
#include "quillora/dialog_commands.h"

namespace quillora::app {

std::string askForSaveFolder()
{
    const std::string title(kFolderPromptTitle);
    return takeText(callCore(&BrowseForFolder, textValue(title)));
}

}  // namespace quillora::app
