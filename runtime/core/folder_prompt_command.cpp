// The folder browser as a core command: the page export asks it where to save the pages.
#include "runtime/core/folder_prompt_command.h"

#include "platform/folder_dialog.h"
#include "platform/fs/drive_map.h"
#include "platform/fs/file_io.h"
#include "platform/message_box.h"
#include "quillora/dialog_commands.h"
#include "runtime/automation/driver.h"
#include "runtime/core/command_arguments.h"
#include "runtime/core/core_command_table.h"
#include "runtime/core/runtime_start.h"

#include <filesystem>
#include <optional>

namespace quillora {
namespace runtime {
namespace {

// The warning icon with the task-modal flag, and the title the program's message boxes have.
constexpr std::uint32_t kRefusalStyle = 48 | 8192;
constexpr const char* kRefusalTitle = "信息：";

bool isDrivePath(std::string_view path)
{
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

// The automation driver makes every answer that does not start with "/" relative to the folder
// the program was started from, a drive path too ("D:\album" arrives as "/start/D:\album");
// such an answer is taken back to the drive path it was.
std::string_view withoutLaunchFolder(std::string_view answer)
{
    const std::string& launch = launchDirectory();
    if (launch.empty() || answer.size() <= launch.size() + 1 || !answer.starts_with(launch) ||
        answer[launch.size()] != '/')
        return answer;
    const std::string_view rest = answer.substr(launch.size() + 1);
    return isDrivePath(rest) ? rest : answer;
}

bool isExistingFolder(const std::string& linuxPath)
{
    const auto status = platform::fileStatus(linuxPath);
    return status && status->isFolder;
}

ChosenFolder refused(std::string message)
{
    return ChosenFolder{std::string(), std::move(message)};
}

ChosenFolder fromDrivePath(std::string_view answer)
{
    std::string path(answer);
    for (char& c : path)
        if (c == '/')
            c = '\\';
    if (path[0] >= 'a' && path[0] <= 'z')
        path[0] = static_cast<char>(path[0] - 'a' + 'A');
    const auto linuxPath = platform::toLinuxPath(path.size() == 2 ? path + "\\" : path);
    if (!linuxPath)
        return refused("文件夹“" + path + "”不在任何驱动器上，不能保存到那里。请另选一个文件夹。");
    if (!isExistingFolder(*linuxPath))
        return refused("文件夹“" + path + "”不存在。请另选一个文件夹。");
    // Back through the map, so that "." and ".." parts and doubled separators are gone.
    const auto normalised = platform::toWindowsPath(*linuxPath);
    return ChosenFolder{normalised ? *normalised : path, std::string()};
}

ChosenFolder fromLinuxPath(std::string_view answer)
{
    std::string path = std::filesystem::path(answer).lexically_normal().string();
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    const auto windowsPath = platform::toWindowsPath(path);
    if (!windowsPath)
        return refused("文件夹“" + path + "”不在任何驱动器上，不能保存到那里。请另选一个文件夹。");
    if (!isExistingFolder(path))
        return refused("文件夹“" + path + "”不存在。请另选一个文件夹。");
    return ChosenFolder{*windowsPath, std::string()};
}

// What the user answered: a path, "" when cancelled. Under the driver an unanswered browser is
// cancelled; without a display there is nobody to ask.
std::string askOnce(const std::string& title, const std::string& startFolder)
{
    if (automationRunning())
        return takeAutomationAnswer("folder").value_or(std::string());
    if (platform::hasDisplay())
        return platform::askFolderOnScreen(title, startFolder).value_or(std::string());
    return std::string();
}

}  // namespace

ChosenFolder folderInDriveForm(std::string_view answer)
{
    answer = withoutLaunchFolder(answer);
    if (isDrivePath(answer))
        return fromDrivePath(answer);
    if (!answer.empty() && answer.front() == '/')
        return fromLinuxPath(answer);
    return refused("“" + std::string(answer) + "”不是一个文件夹。请另选一个文件夹。");
}

}  // namespace runtime

void BrowseForFolder(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    const runtime::CommandArguments arguments(argCount, args);
    const std::string title(arguments.text(0));
    // The browser opens where the last folder was chosen, since a job asks once per batch.
    static std::string lastFolder;
    for (;;) {
        const std::string answer = runtime::askOnce(title, lastFolder);
        if (answer.empty()) {
            *result = runtime::textResult({});
            return;
        }
        const runtime::ChosenFolder chosen = runtime::folderInDriveForm(answer);
        if (!chosen.drivePath.empty()) {
            if (const auto linuxPath = platform::toLinuxPath(chosen.drivePath))
                lastFolder = *linuxPath;
            *result = runtime::textResult(chosen.drivePath);
            return;
        }
        platform::askMessageBox({chosen.refusal, runtime::kRefusalTitle, runtime::kRefusalStyle});
    }
}

namespace runtime {

std::span<const CommandEntry> dialogCommands()
{
    static constexpr CommandEntry kTable[] = {
        {"BrowseForFolder", BrowseForFolder},
    };
    return kTable;
}

}  // namespace runtime
}  // namespace quillora
