#include "shell/picture_search.h"

#include "common/core_calls.h"
#include "common/window_units.h"
#include "shell/shell_state.h"

#include "quillora/runtime_services.h"

namespace quillora::app {
namespace {

// Read-only or archive: the mask that picks the first file of a folder.
constexpr std::uint32_t kFileMask = kAttributeReadOnly | kAttributeArchive;
constexpr std::uint32_t kFolderMask = kAttributeDirectory;

// A folder tree deeper than this is not an album; the walk goes no further down, so a
// pathological tree can neither hang the search nor exhaust the stack.
constexpr int kMaxFolderDepth = 256;

int folderDepth = 0;

// Collapses every pair of backslashes into one, as the search does with every path it builds.
std::string singleBackslashes(const std::string& path)
{
    return replaceAll(path, "\\\\", "\\", LetterCase::Matters);
}

bool endsWith(const std::string& text, std::string_view ending)
{
    return text.size() >= ending.size() && text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

void listFolderPictures(const std::string& path, const std::string& folderName)
{
    FileFinder finder(path + "*.*", kFileMask);
    std::string name;
    while (finder.next(name)) {
        // After the first taken entry every entry that is not a folder counts.
        finder.setMask(0, SearchEntries::FilesOnly);
        if (!isPictureName(lowerCase(name)))
            continue;
        foundPictures().appendPicture(path + name, folderName, name);
        mainStatusBar().show("搜索中：" + path + name);
    }
}

void scanSubFolders(const std::string& path, bool includeSubFolders)
{
    FileFinder finder(path + "*.*", kFolderMask);
    std::string name;
    while (finder.next(name)) {
        if (name == "." || name == "..")
            continue;
        ScanFolder(path, name, includeSubFolders);
    }
}

}  // namespace

bool isPictureName(const std::string& lowerCaseName)
{
    // "gif" without its dot is how the album has always recognised GIF files.
    return endsWith(lowerCaseName, ".jpg") || endsWith(lowerCaseName, ".jpeg") || endsWith(lowerCaseName, ".bmp")
        || endsWith(lowerCaseName, "gif");
}

void ScanFolder(const std::string& parentPath, const std::string& folderName, bool includeSubFolders)
{
    processEvents();
    if (shell().stopRequested || folderDepth >= kMaxFolderDepth)
        return;
    ++folderDepth;
    const std::string path = singleBackslashes(parentPath + "\\" + folderName + "\\");
    listFolderPictures(path, folderName);
    if (includeSubFolders)
        scanSubFolders(path, includeSubFolders);
    --folderDepth;
}

void SearchPictures(std::string& root, bool includeSubFolders)
{
    waitCursor();
    shell().searchFinished = false;
    shell().stopRequested = false;
    mainStatusBar().show("正在搜索，请稍候....");
    foundPictures().reset();

    root = singleBackslashes(root + "\\");
    root = leftText(root, textLength(root) - 1);

    const std::int32_t lastBackslash = findTextFromEnd(root, "\\", LetterCase::Matters);
    std::string parent = root;
    std::string folderName;
    if (lastBackslash > 0) {
        parent = leftText(root, lastBackslash - 1);
        folderName = rightText(root, textLength(root) - lastBackslash);
    }
    ScanFolder(parent, folderName, includeSubFolders);

    restoreCursor();
    shell().searchFinished = true;
    mainStatusBar().show("搜索完成，可以进一步的工作。" + std::string(kGreeting));
    if (shell().stopRequested)
        mainStatusBar().show("搜索强制停止。" + std::string(kGreeting));
}

}  // namespace quillora::app
