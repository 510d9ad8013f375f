// The program run from the command line: usage and version without a window, and
// `quillora album` making pages from a folder through the windows' own handlers, off screen.
#include "e2e_support.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>

#include <fstream>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <thread>

#include <sys/wait.h>

namespace quillora::e2e {
namespace {

namespace fs = std::filesystem;
using testing::HasSubstr;

std::vector<fs::path> filesIn(const fs::path& folder)
{
    std::vector<fs::path> files;
    if (fs::exists(folder))
        for (const auto& entry : fs::directory_iterator(folder))
            files.push_back(entry.path());
    return files;
}

// Whether the child still runs; it is not reaped, so its exit status stays for the test.
bool running(pid_t child)
{
    siginfo_t info{};
    return waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == 0;
}

// A PNG is complete when it ends with its IEND chunk.
bool wholePng(const std::string& bytes)
{
    return bytes.size() > 20 && bytes.compare(1, 3, "PNG") == 0
        && bytes.compare(bytes.size() - 8, 4, "IEND") == 0;
}

class AlbumCommandTest : public testing::Test {
protected:
    TestMachine machine;

    void SetUp() override
    {
        machine.addDrive('D', "fixed", "Photos");
        machine.addDrive('E', "fixed", "Out");
    }

    // The sample photos, copied onto a drive of the test machine (a folder on no drive is refused).
    fs::path photos()
    {
        const fs::path copy = machine.drive('D') / "photos";
        if (!fs::exists(copy))
            fs::copy(fs::path(QUILLORA_SAMPLE_PHOTOS), copy, fs::copy_options::recursive);
        return copy;
    }

    fs::path folderOf(int pictures)
    {
        const fs::path folder = machine.drive('D') / "pics";
        for (int i = 1; i <= pictures; ++i)
            machine.writeFile(folder / ("p" + std::to_string(100 + i) + ".bmp"), tinyBmp(40, 30, 255, 0, 0));
        return folder;
    }

    fs::path outFolder()
    {
        const fs::path folder = machine.drive('E') / "out";
        fs::create_directories(folder);
        return folder;
    }
};

TEST_F(AlbumCommandTest, HelpVersionAndBadOptionsOpenNoWindowAndSayWhatIsWrong)
{
    const RunResult help = machine.runProgram({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_THAT(help.output, HasSubstr("quillora album FOLDER"));
    EXPECT_THAT(help.output, HasSubstr("QUILLORA_DRIVES"));

    const RunResult version = machine.runProgram({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_THAT(version.output, testing::StartsWith("quillora "));

    const RunResult unknown = machine.runProgram({"--colour"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_THAT(unknown.errors, HasSubstr("unknown option --colour"));
    EXPECT_THAT(unknown.errors, HasSubstr("Usage:"));

    // Every bad value is named, not only the first.
    const RunResult values = machine.runProgram(
        {"album", photos().string(), "--rows", "0", "--format", "webp", "--margins", "1,2,3", "--to", "/x", "--printer", "y",
         "--mode", "6", "--caption", "when"});
    EXPECT_EQ(values.exitCode, 2);
    EXPECT_THAT(values.errors, HasSubstr("--mode: 6 is not in 0..5"));
    EXPECT_THAT(values.errors, HasSubstr("--caption: when is not one of name, date, both"));
    EXPECT_THAT(values.errors, HasSubstr("--rows: 0 is not in 1..100"));
    EXPECT_THAT(values.errors, HasSubstr("--format: webp"));
    EXPECT_THAT(values.errors, HasSubstr("--margins: 1,2,3"));
    EXPECT_THAT(values.errors, HasSubstr("--to and --printer"));

    // A layout the settings window's OK refuses is refused with its reason.
    const RunResult layout = machine.runProgram(
        {"album", photos().string(), "--subfolders", "--paper", "100x150", "--margins", "100,60,5,5"});
    EXPECT_EQ(layout.exitCode, 2);
    EXPECT_THAT(layout.errors, HasSubstr("上边距与下边距之和必须小于页面高度150毫米"));

    const RunResult printer = machine.runProgram({"album", photos().string(), "--printer", "Nowhere"});
    EXPECT_EQ(printer.exitCode, 2);
    EXPECT_THAT(printer.errors, HasSubstr("--printer: Nowhere is not a printer here"));
}

TEST_F(AlbumCommandTest, TheSamplePhotosBecomeA4PngPagesListedOnStandardOutput)
{
    const fs::path out = outFolder();
    const RunResult run = machine.runProgram({"album", photos().string(), "--subfolders", "--to", out.string(),
                                              "--rows", "2", "--columns", "1", "--header", "第&p页，共&a页"},
                                             120);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const std::vector<fs::path> pages = filesIn(out);
    // Four photos at two a page.
    ASSERT_EQ(pages.size(), 2u);
    for (const fs::path& page : pages) {
        const std::string bytes = contentOf(page);
        ASSERT_TRUE(wholePng(bytes)) << page;
        EXPECT_EQ(big32(bytes, 16), 2100u);
        EXPECT_EQ(big32(bytes, 20), 2970u);
        EXPECT_THAT(run.output, HasSubstr(page.string() + "\n"));
    }
}

TEST_F(AlbumCommandTest, ThePdfPrinterGetsOneDocumentPerFolder)
{
    const RunResult run = machine.runProgram({"album", photos().string(), "--subfolders", "--by-folder", "--printer",
                                              "PDF 打印机", "--landscape", "--mode", "5", "--caption", "date"},
                                             120);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    std::size_t documents = 0;
    for (const auto& entry : fs::recursive_directory_iterator(machine.home()))
        if (entry.path().extension() == ".pdf") {
            EXPECT_EQ(contentOf(entry.path()).substr(0, 5), "%PDF-");
            // Listed on standard output as page files are.
            EXPECT_THAT(run.output, HasSubstr("\n" + entry.path().string() + "\n"));
            ++documents;
            // The captions are dates (which ones depends on the photos and their files' times).
            if (!QStandardPaths::findExecutable("pdftotext").isEmpty()) {
                QProcess text;
                text.start("pdftotext", {QString::fromStdString(entry.path().string()), "-"});
                text.waitForFinished(60000);
                EXPECT_THAT(text.readAllStandardOutput().toStdString(),
                            testing::ContainsRegex("[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}"));
            }
        }
    // The cover in 2024, then spring and seaside.
    EXPECT_EQ(documents, 3u);
}

TEST_F(AlbumCommandTest, ADocumentThePrinterDidNotTakeEndsWithOne)
{
    // A file where the PDF printer's folder should be: the printer cannot take a document.
    std::ofstream(machine.home() / "Documents" / "Quillora 打印文件") << "in the way";
    const RunResult run = machine.runProgram({"album", folderOf(2).string(), "--printer", "PDF 打印机"}, 120);
    EXPECT_EQ(run.exitCode, 1) << run.errors;
    EXPECT_THAT(run.errors, HasSubstr("有1份文档未能打印，原因见上。"));
}

TEST_F(AlbumCommandTest, NothingToPrintOrNowhereToWriteEndsWithOneAndNoFile)
{
    const RunResult missing = machine.runProgram({"album", (machine.root() / "none").string()});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_THAT(missing.errors, HasSubstr("不存在"));

    const fs::path empty = machine.drive('D') / "empty";
    fs::create_directories(empty);
    const RunResult nothing = machine.runProgram({"album", empty.string(), "--to", outFolder().string()});
    EXPECT_EQ(nothing.exitCode, 1);
    EXPECT_THAT(nothing.errors, HasSubstr("没有找到图片"));

    // sysfs refuses new files to everybody, root included.
    const fs::path locked = machine.drive('E') / "locked";
    fs::create_directory_symlink("/sys/kernel", locked);
    const RunResult refused = machine.runProgram({"album", folderOf(3).string(), "--to", locked.string()}, 120);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_THAT(refused.errors, HasSubstr("没有写入这个文件夹的权限"));
    EXPECT_THAT(refused.errors, HasSubstr("1页未能保存"));
}

TEST_F(AlbumCommandTest, CtrlCStopsAfterAWholePageAndExitsWith130)
{
    // Sixty pages of one picture: the interrupt lands while most of them are still to come.
    const fs::path pictures = folderOf(60);
    const fs::path out = outFolder();
    const RunResult run = machine.runProgram(
        {"album", pictures.string(), "--to", out.string(), "--rows", "1", "--columns", "1", "--paper", "50x50",
         "--margins", "5,5,5,5"},
        120, [&out](pid_t child) {
            // The interrupt goes once the first page is there.
            while (filesIn(out).empty() && running(child))
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            kill(child, SIGINT);
        });
    EXPECT_EQ(run.exitCode, 130) << run.errors;
    EXPECT_THAT(run.errors, HasSubstr("Ctrl+C"));
    const std::vector<fs::path> pages = filesIn(out);
    ASSERT_GE(pages.size(), 1u);
    EXPECT_LT(pages.size(), 60u);
    for (const fs::path& page : pages)
        EXPECT_TRUE(wholePng(contentOf(page))) << page;
}

}  // namespace
}  // namespace quillora::e2e
