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
#include <ctime>
#include <string>
#include <string_view>
#include <tuple>
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

// One row of the found-picture list: full name, folder, file name.
using Row = std::tuple<std::string, std::string, std::string>;
using Rows = std::vector<Row>;

bool isPictureName(std::string name)
{
    for (char& c : name)
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    const auto endsWith = [&](std::string_view ending) {
        return name.size() >= ending.size() && name.compare(name.size() - ending.size(), ending.size(), ending) == 0;
    };
    return endsWith(".jpg") || endsWith(".jpeg") || endsWith(".bmp") || endsWith("gif");
}

// The album's folder walk through the find-file service: the first entry taken is the first
// with the read-only or archive attribute, then every entry that is not a folder; then the
// folder entries are enumerated again, each sub-folder walked in turn.
void walkWithFinder(const std::string& path, const std::string& folderName, Rows& rows)
{
    void* slot = nullptr;
    const std::string pattern = path + "*.*";
    const char* next = pattern.c_str();
    std::uint32_t mask = kReadOnlyOrArchive;
    bool filesOnly = false;
    while (char* name = findNextFile(next, mask, filesOnly, &slot)) {
        const std::string entry(name);
        freeBlock(name);
        next = "";
        mask = 0;
        filesOnly = true;
        if (isPictureName(entry))
            rows.emplace_back(path + entry, folderName, entry);
    }
    Names folders;
    next = pattern.c_str();
    while (char* name = findNextFile(next, kFolders, false, &slot)) {
        folders.emplace_back(name);
        freeBlock(name);
        next = "";
    }
    for (const std::string& folder : folders) {
        if (folder != "." && folder != "..")
            walkWithFinder(path + folder + "\\", folder, rows);
    }
}

// The same walk on full listings read afresh for every enumeration, each entry's attributes all
// looked up at once: what the search gives when nothing is taken from the entry types or an
// earlier listing.
void walkWithFullListings(const std::string& windowsPath, const std::string& linuxPath, const std::string& folderName,
                          Rows& rows)
{
    bool first = true;
    for (const platform::DirectoryEntry& entry : platform::listDirectory(linuxPath)) {
        if (entry.name.find('\\') != std::string::npos)
            continue;
        const bool taken = first ? (entry.attributes & kReadOnlyOrArchive) != 0
                                 : (entry.attributes & platform::kEntryFolder) == 0;
        if (!taken)
            continue;
        first = false;
        if (isPictureName(entry.name))
            rows.emplace_back(windowsPath + entry.name, folderName, entry.name);
    }
    for (const platform::DirectoryEntry& entry : platform::listDirectory(linuxPath)) {
        if ((entry.attributes & platform::kEntryFolder) && entry.name != "." && entry.name != ".."
            && entry.name.find('\\') == std::string::npos)
            walkWithFullListings(windowsPath + entry.name + "\\", linuxPath + "/" + entry.name, entry.name, rows);
    }
}

// An album tree with mixed-case names, links to folders and files, a dangling link, a pipe, a
// folder nobody may read, one that may be read but not searched, and a read-only folder whose
// name looks like a picture. Drive C: is a folder one level down, so that ".." is a folder the
// test controls too.
class SearchRowsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (const char* previous = std::getenv("QUILLORA_DRIVES"))
            previous_ = previous;
        std::string pattern = (fs::temp_directory_path() / "quillora-rows-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        top_ = pattern;
        root_ = top_ + "/drive";
        setenv("QUILLORA_DRIVES", ("C=" + root_).c_str(), 1);

        for (const char* folder : {"", "/Trip", "/trip2", "/Trip/Day_1", "/Trip/day_10", "/Trip/DAY_2", "/locked",
                                   "/blind", "/Album.jpg", "/Mixed"})
            fs::create_directory(root_ + folder);
        for (const char* file : {"Trip/b.JPG", "Trip/A.jpeg", "Trip/c.Bmp", "Trip/notes.txt", "Trip/Day_1/x.gif",
                                 "Trip/Day_1/y.GIF", "Trip/day_10/z.jpg", "Trip/DAY_2/w.jpg", "trip2/p.png",
                                 "trip2/q.tif", "trip2/r.jpe", "trip2/s.JPEG", "locked/hidden.jpg", "blind/dark.jpg",
                                 "Mixed/IMG_1.JPG", "Mixed/img_1.jpg", "Mixed/Img_2.Jpg", "Mixed/img_10.jpg",
                                 "Mixed/logo.gif.bak", "Mixed/biggif"})
            std::ofstream(root_ + "/" + file) << "x";
        fs::create_directory_symlink("../Trip/Day_1", root_ + "/Mixed/linkedDay");
        fs::create_symlink("../Trip/b.JPG", root_ + "/Mixed/linked.jpg");
        fs::create_symlink("missing.jpg", root_ + "/Mixed/broken.jpg");
        ASSERT_EQ(mkfifo((root_ + "/Mixed/pipe.jpg").c_str(), 0644), 0);
        // Everyone may write the drive and the folder above it, so neither "." nor ".." of the
        // drive is read-only to anyone.
        ASSERT_EQ(chmod(top_.c_str(), 0777), 0);
        ASSERT_EQ(chmod(root_.c_str(), 0777), 0);
        for (const char* folder : {"/Trip", "/trip2", "/Trip/Day_1", "/Trip/day_10", "/Trip/DAY_2", "/Mixed"})
            ASSERT_EQ(chmod((root_ + folder).c_str(), 0755), 0);
        ASSERT_EQ(chmod((root_ + "/locked").c_str(), 0), 0);
        ASSERT_EQ(chmod((root_ + "/blind").c_str(), 0644), 0);
        ASSERT_EQ(chmod((root_ + "/Album.jpg").c_str(), 0555), 0);
    }
    void TearDown() override
    {
        for (const char* folder : {"/locked", "/blind", "/Album.jpg"})
            chmod((root_ + folder).c_str(), 0755);
        if (previous_)
            setenv("QUILLORA_DRIVES", previous_->c_str(), 1);
        else
            unsetenv("QUILLORA_DRIVES");
        fs::remove_all(top_);
    }

    Rows searchRows() const
    {
        Rows rows;
        walkWithFinder("C:\\", "", rows);
        return rows;
    }
    Rows referenceRows() const
    {
        Rows rows;
        walkWithFullListings("C:\\", root_, "", rows);
        return rows;
    }

    std::string top_;
    std::string root_;
    std::optional<std::string> previous_;
};

// A folder's own pictures come before its sub-folders; names sort by their upper-case form, ties
// bytewise; "biggif" counts as a GIF; links to files count as files, links to folders are walked,
// the dangling link and the pipe are left out.
Rows rowsBelowMixed()
{
    return {
        {"C:\\Mixed\\biggif", "Mixed", "biggif"},
        {"C:\\Mixed\\IMG_1.JPG", "Mixed", "IMG_1.JPG"},
        {"C:\\Mixed\\img_1.jpg", "Mixed", "img_1.jpg"},
        {"C:\\Mixed\\img_10.jpg", "Mixed", "img_10.jpg"},
        {"C:\\Mixed\\Img_2.Jpg", "Mixed", "Img_2.Jpg"},
        {"C:\\Mixed\\linked.jpg", "Mixed", "linked.jpg"},
        {"C:\\Mixed\\linkedDay\\x.gif", "linkedDay", "x.gif"},
        {"C:\\Mixed\\linkedDay\\y.GIF", "linkedDay", "y.GIF"},
        {"C:\\Trip\\A.jpeg", "Trip", "A.jpeg"},
        {"C:\\Trip\\b.JPG", "Trip", "b.JPG"},
        {"C:\\Trip\\c.Bmp", "Trip", "c.Bmp"},
        {"C:\\Trip\\Day_1\\x.gif", "Day_1", "x.gif"},
        {"C:\\Trip\\Day_1\\y.GIF", "Day_1", "y.GIF"},
        {"C:\\Trip\\day_10\\z.jpg", "day_10", "z.jpg"},
        {"C:\\Trip\\DAY_2\\w.jpg", "DAY_2", "w.jpg"},
        {"C:\\trip2\\s.JPEG", "trip2", "s.JPEG"},
    };
}

TEST_F(SearchRowsTest, RowsAndOrderOnATreeWithLinksLockedFoldersAndMixedCase)
{
    Rows expected;
    if (geteuid() == 0) {
        // The superuser enters every folder and may write the read-only one, which is therefore
        // passed over like any folder before the first file.
        expected = {{"C:\\blind\\dark.jpg", "blind", "dark.jpg"}, {"C:\\locked\\hidden.jpg", "locked", "hidden.jpg"}};
    } else {
        // The read-only folder is the first entry the read-only-or-archive mask takes, so it is
        // listed as a picture; the unreadable and unsearchable folders add nothing.
        expected = {{"C:\\Album.jpg", "", "Album.jpg"}};
    }
    const Rows below = rowsBelowMixed();
    expected.insert(expected.end(), below.begin(), below.end());
    const Rows rows = searchRows();
    EXPECT_EQ(rows, expected);
    EXPECT_EQ(rows, referenceRows());
    // A second search gives the same rows again, whatever it takes from the listings before.
    EXPECT_EQ(searchRows(), rows);
}

TEST_F(SearchRowsTest, UnprivilegedUserGetsTheSameRowsAsFromFullListings)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "runs the search as another user, which needs the superuser";
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0)
            _exit(2);
        Rows expected{{"C:\\Album.jpg", "", "Album.jpg"}};
        const Rows below = rowsBelowMixed();
        expected.insert(expected.end(), below.begin(), below.end());
        const Rows rows = searchRows();
        _exit(rows == expected && referenceRows() == expected ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(SearchRowsTest, AFolderChangedJustNowIsReadAgain)
{
    // The search's second look at a folder may reuse the first only when the folder had settled
    // before it was read; a folder written a moment ago is read afresh, so a file added in between
    // is seen.
    const auto linuxFolder = root_ + "/Trip";
    const auto first = platform::currentFolderListing(linuxFolder);
    ASSERT_TRUE(first);
    EXPECT_FALSE(first->stillCurrent());
    std::ofstream(root_ + "/Trip/new.jpg") << "x";
    const auto second = platform::currentFolderListing(linuxFolder);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->entries().size(), first->entries().size() + 1);
}

TEST(FileSearchListing, SettledFolderIsServedFromItsLastListingUntilAnotherIsRead)
{
    // A folder of the system that nothing has written for a while and that holds no links.
    std::shared_ptr<const platform::FolderListing> first;
    std::string folder;
    for (const char* candidate : {"/usr/share", "/usr", "/usr/lib", "/etc", "/"}) {
        first = platform::currentFolderListing(candidate);
        if (first && first->stillCurrent()) {
            folder = candidate;
            break;
        }
    }
    if (folder.empty())
        GTEST_SKIP() << "no settled folder without links found";
    EXPECT_EQ(platform::currentFolderListing(folder), first);
    // Another folder takes the one place of the last listing.
    ASSERT_TRUE(platform::currentFolderListing(fs::temp_directory_path().string()));
    const auto again = platform::currentFolderListing(folder);
    EXPECT_NE(again, first);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->entries().size(), first->entries().size());
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
