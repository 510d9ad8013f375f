#include "runtime/core/file_search.h"

#include "platform/fs/directory_listing.h"
#include "platform/fs/drive_map.h"
#include "runtime/core/memory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quillora::runtime {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

constexpr std::uint32_t kFolders = 0x10;
constexpr std::uint32_t kReadOnlyOrArchive = 0x21;

// A temp folder mapped as drive C: with folders, files, links and a pipe in it. The folder and
// the previous QUILLORA_DRIVES go away after each test.
class FileSearchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (const char* previous = std::getenv("QUILLORA_DRIVES"))
            previous_ = previous;
        std::string pattern = (fs::temp_directory_path() / "quillora-search-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        setenv("QUILLORA_DRIVES", ("C=" + root_).c_str(), 1);

        for (const char* folder : {"alpha", "Beta", "_under"})
            fs::create_directory(root_ + "/" + folder);
        for (const char* file : {"gamma.JPG", "Delta.txt", "noext", ".hidden", "照片.jpg", "back\\slash.jpg"})
            std::ofstream(root_ + "/" + file) << "x";
        fs::create_directory_symlink("alpha", root_ + "/linkToAlpha");
        fs::create_directory_symlink(".", root_ + "/self");
        fs::create_directory_symlink("..", root_ + "/alpha/up");
        fs::create_directory_symlink("../Beta", root_ + "/alpha/toBeta");
        fs::create_directory_symlink("../alpha", root_ + "/Beta/toAlpha");
        fs::create_symlink("nowhere", root_ + "/dangling");
        ASSERT_EQ(mkfifo((root_ + "/pipe.jpg").c_str(), 0600), 0);
    }
    void TearDown() override
    {
        if (previous_)
            setenv("QUILLORA_DRIVES", previous_->c_str(), 1);
        else
            unsetenv("QUILLORA_DRIVES");
        fs::remove_all(root_);
    }

    // Every name one search gives, in order; the search must close itself at the end.
    static Names findAll(const std::string& pattern, std::uint32_t attributes, bool filesOnly = false)
    {
        Names names;
        void* slot = nullptr;
        const char* next = pattern.c_str();
        while (char* name = findNextFile(next, attributes, filesOnly, &slot)) {
            names.emplace_back(name);
            freeBlock(name);
            next = "";
        }
        EXPECT_EQ(slot, nullptr);
        return names;
    }

    std::string root_;
    std::optional<std::string> previous_;
};

TEST_F(FileSearchTest, FolderMaskGivesDotsAndSubFoldersInCaseInsensitiveOrder)
{
    // Upper-case order puts "_" after the letters; the link back to the folder itself is left out.
    EXPECT_EQ(findAll("C:\\*.*", kFolders), (Names{".", "..", "alpha", "Beta", "linkToAlpha", "_under"}));
    EXPECT_EQ(findAll("c:\\alpha\\*.*", kFolders), (Names{".", "..", "toBeta"}));
}

TEST_F(FileSearchTest, FileMasksGiveFilesButNoPipesOrBrokenLinks)
{
    const Names files{".hidden", "Delta.txt", "gamma.JPG", "noext", "照片.jpg"};
    EXPECT_EQ(findAll("C:\\*.*", kReadOnlyOrArchive), files);
    EXPECT_EQ(findAll("C:\\*.*", 0, true), files);
    EXPECT_EQ(findAll("C:\\*.*", 0x02), Names{".hidden"});
    // A zero mask without files-only accepts nothing.
    EXPECT_EQ(findAll("C:\\*.*", 0), Names{});
}

TEST_F(FileSearchTest, ReadOnlyMaskGivesEntriesTheUserCannotWrite)
{
    ASSERT_EQ(chmod(root_.c_str(), 0755), 0);
    ASSERT_EQ(chmod((root_ + "/noext").c_str(), 0444), 0);
    ASSERT_EQ(chmod((root_ + "/Delta.txt").c_str(), 0666), 0);
    const auto check = [] {
        const Names readOnly = findAll("C:\\*.*", 0x01);
        const auto has = [&](const char* name) { return std::find(readOnly.begin(), readOnly.end(), name) != readOnly.end(); };
        return has("noext") && !has("Delta.txt");
    };
    if (geteuid() != 0) {
        EXPECT_TRUE(check());
        return;
    }
    // Root may write anything, so the search runs as an unprivileged user in a child process.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0)
            _exit(2);
        _exit(check() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(FileSearchTest, WildcardsMatchWithoutCase)
{
    struct Case {
        const char* pattern;
        Names expected;
    };
    const Case cases[] = {
        {"C:\\*.jpg", {"gamma.JPG", "照片.jpg"}},
        {"C:\\?elta.*", {"Delta.txt"}},
        {"C:\\noext.*", {"noext"}},
        {"C:\\NOEXT", {"noext"}},
        {"C:\\g*a.j?g", {"gamma.JPG"}},
        {"C:\\??.jpg", {"照片.jpg"}},
        {"C:\\???.jpg", {}},
        {"C:*.txt", {"Delta.txt"}},
        {"C:\\*", {".hidden", "Delta.txt", "gamma.JPG", "noext", "照片.jpg"}},
        {"C:\\", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern);
        EXPECT_EQ(findAll(c.pattern, 0, true), c.expected);
    }
}

TEST_F(FileSearchTest, MissingFolderGivesNothingAndClosesTheOpenSearch)
{
    void* slot = nullptr;
    char* first = findNextFile("C:\\*.*", kFolders, false, &slot);
    ASSERT_NE(first, nullptr);
    freeBlock(first);
    ASSERT_NE(slot, nullptr);

    EXPECT_EQ(findNextFile("C:\\missing\\*.*", kFolders, false, &slot), nullptr);
    EXPECT_EQ(slot, nullptr);
    EXPECT_EQ(findNextFile("Q:\\*.*", kFolders, false, &slot), nullptr);
    EXPECT_EQ(findNextFile("C:\\..\\*.*", kFolders, false, &slot), nullptr);
    EXPECT_EQ(findNextFile("", kFolders, false, &slot), nullptr);
    EXPECT_EQ(findNextFile(nullptr, kFolders, false, nullptr), nullptr);
}

TEST_F(FileSearchTest, HalfFinishedSearchClosesOnceAndTheStaleSlotEnds)
{
    void* slot = nullptr;
    char* name = findNextFile("C:\\*.*", kFolders, false, &slot);
    ASSERT_NE(name, nullptr);
    freeBlock(name);
    void* handle = slot;
    closeFileSearch(handle);
    closeFileSearch(handle);
    closeFileSearch(nullptr);
    // The slot still holds the closed handle: going on ends the search instead of reading freed
    // memory.
    EXPECT_EQ(findNextFile("", kFolders, false, &slot), nullptr);
    EXPECT_EQ(slot, nullptr);
}

TEST_F(FileSearchTest, WalkingTheTreeEndsDespiteLinkLoops)
{
    int foldersSeen = 0;
    auto walk = [&](auto& self, const std::string& folder, int depth) -> void {
        ASSERT_LT(depth, 10) << folder;
        ++foldersSeen;
        for (const std::string& name : findAll(folder + "\\*.*", kFolders)) {
            if (name != "." && name != "..")
                self(self, folder + "\\" + name, depth + 1);
        }
    };
    walk(walk, "C:", 0);
    // C:, alpha, alpha\toBeta, Beta, Beta\toAlpha, linkToAlpha, linkToAlpha\toBeta, _under: each
    // link is entered once, and not again from inside the folder it leads to.
    EXPECT_EQ(foldersSeen, 8);
}

TEST_F(FileSearchTest, NameThatIsNotUtf8IsListedAndOpens)
{
    const std::string name = "\xB7\xE7\xBE\xB0\xff.jpg";
    std::ofstream(root_ + "/" + name) << "picture";
    ASSERT_EQ(findAll("C:\\*.jpg", 0, true), (Names{"gamma.JPG", name, "照片.jpg"}));
    const auto path = platform::toLinuxPath("C:\\" + name);
    ASSERT_TRUE(path);
    const int descriptor = open(path->c_str(), O_RDONLY);
    EXPECT_GE(descriptor, 0);
    if (descriptor >= 0)
        close(descriptor);
}

TEST(FileSearchListing, RootLeavesOutTheKernelsFolders)
{
    const auto entries = platform::listDirectory("/");
    ASSERT_GE(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, ".");
    EXPECT_EQ(entries[1].name, "..");
    for (const auto& entry : entries) {
        for (const char* pseudo : {"proc", "sys", "dev", "run"})
            EXPECT_NE(entry.name, pseudo);
    }
    EXPECT_TRUE(platform::listDirectory("/no/such/folder").empty());
}

}  // namespace
}  // namespace quillora::runtime
