// The main window as a user meets it: the folder tree, the picture search, the print guard and
// the picture window, driven through the program's automation driver.
#include "e2e_support.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

namespace quillora::e2e {
namespace {

using testing::HasSubstr;
using testing::Not;

// Field `index` (from 0) and the fields after it of each line that starts with `kind<TAB>`, one
// output line each: the captions of "tree" lines (field 5), the cells of "row" lines (field 3),
// the titles of "column" lines (field 3, with the width and alignment after it).
std::string fieldsOf(const std::string& output, const std::string& kind, int index, bool toEnd)
{
    std::istringstream stream(output);
    std::string text;
    for (std::string line; std::getline(stream, line);) {
        if (!line.starts_with(kind + "\t"))
            continue;
        std::size_t at = 0;
        for (int field = 0; field < index && at != std::string::npos; ++field)
            at = line.find('\t', at) + 1;
        const std::string rest = line.substr(at);
        text += (toEnd ? rest : rest.substr(0, rest.find('\t'))) + "\n";
    }
    return text;
}

std::string treeCaptions(const std::string& output) { return fieldsOf(output, "tree", 5, true); }
std::string rowCells(const std::string& output) { return fieldsOf(output, "row", 3, true); }
std::string columnTitles(const std::string& output) { return fieldsOf(output, "column", 3, false); }

class MainWindowTest : public testing::Test {
protected:
    TestMachine machine;

    // Lays out drive D: (label "Data") with pictures in sub-folders.
    void makePhotoDrive()
    {
        machine.addDrive('D', "removable", "Data");
        const auto photos = machine.drive('D') / "Photos";
        machine.writeFile(photos / "Photo.JPG");
        machine.writeFile(photos / "x.jpeg");
        machine.writeFile(photos / "y.Bmp");
        machine.writeFile(photos / "z.gif");
        machine.writeFile(photos / "a.png");
        machine.writeFile(photos / "b.tif");
        machine.writeFile(photos / "c.jpe");
        machine.writeFile(photos / "2009" / "summer.jpg");
        machine.writeFile(photos / "2009" / "beach" / "sea.bmp");
        machine.writeFile(machine.drive('D') / "root.jpg");
    }
};

TEST_F(MainWindowTest, TreeShowsDesktopDocumentsAndEveryDriveWithItsLabel)
{
    machine.addDrive('D', "removable", "Data");
    machine.addDrive('E', "cdrom", "");
    const RunResult run = machine.run("dump MainWindow.树型框_文件夹\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_THAT(treeCaptions(run.output), HasSubstr("桌面\n我的文档\nSystem(C:)\nData(D:)\n(E:)"));
}

TEST_F(MainWindowTest, SearchWithAndWithoutSubFoldersListsExactlyThePictures)
{
    makePhotoDrive();
    const RunResult run = machine.run(
        "tree MainWindow.树型框_文件夹 Data(D:)\n"
        "tree MainWindow.树型框_文件夹 Data(D:)/Photos\n"
        "click MainWindow.按钮_文件夹搜索\n"
        "wait-idle\n"
        "status\n"
        "dump MainWindow.超级列表框_显示\n"
        "check MainWindow.选择框_包括文件夹 on\n"
        "click MainWindow.按钮_文件夹搜索\n"
        "wait-idle\n"
        "echo ---\n"
        "status\n"
        "rows MainWindow.超级列表框_显示\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const std::string before = run.output.substr(0, run.output.find("---"));
    const std::string after = run.output.substr(run.output.find("---"));
    EXPECT_THAT(before, HasSubstr("status\t搜索完成"));
    EXPECT_THAT(after, HasSubstr("status\t搜索完成"));
    EXPECT_EQ(columnTitles(before), "序号\n文件名全称\n文件夹\n文件名\n");
    const std::string withoutSubFolders = rowCells(before);
    const std::string withSubFolders = rowCells(after);
    EXPECT_THAT(withoutSubFolders, HasSubstr("1\tD:\\Photos\\Photo.JPG\tPhotos\tPhoto.JPG\n"
                                             "2\tD:\\Photos\\x.jpeg\tPhotos\tx.jpeg\n"
                                             "3\tD:\\Photos\\y.Bmp\tPhotos\ty.Bmp\n"
                                             "4\tD:\\Photos\\z.gif\tPhotos\tz.gif"));
    EXPECT_THAT(withoutSubFolders, Not(HasSubstr("summer")));
    EXPECT_THAT(withoutSubFolders, Not(HasSubstr(".png")));
    EXPECT_THAT(withoutSubFolders, Not(HasSubstr(".tif")));
    EXPECT_THAT(withoutSubFolders, Not(HasSubstr(".jpe\t")));
    // The second search starts from an empty list: serial numbers run from 1 again, and each
    // folder's own pictures come before those of its sub-folders.
    EXPECT_THAT(withSubFolders, HasSubstr("4\tD:\\Photos\\z.gif\tPhotos\tz.gif\n"
                                          "5\tD:\\Photos\\2009\\summer.jpg\t2009\tsummer.jpg\n"
                                          "6\tD:\\Photos\\2009\\beach\\sea.bmp\tbeach\tsea.bmp"));
    EXPECT_THAT(withSubFolders, Not(HasSubstr("\n7\t")));
}

TEST_F(MainWindowTest, DriveRootGivesAnEmptyFolderCell)
{
    makePhotoDrive();
    const RunResult run = machine.run(
        "tree MainWindow.树型框_文件夹 Data(D:)\n"
        "click MainWindow.按钮_文件夹搜索\n"
        "wait-idle\n"
        "rows MainWindow.超级列表框_显示\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_THAT(rowCells(run.output), HasSubstr("1\tD:\\root.jpg\t\troot.jpg\n"));
}

TEST_F(MainWindowTest, ChoosingFoldersSetsTheSearchRootAndReadsChildrenOnce)
{
    makePhotoDrive();
    machine.writeFile(machine.home() / "Desktop" / "desk.jpg");
    const RunResult run = machine.run(
        "tree MainWindow.树型框_文件夹 桌面\n"
        "click MainWindow.按钮_文件夹搜索\n"
        "wait-idle\n"
        "rows MainWindow.超级列表框_显示\n"
        "tree MainWindow.树型框_文件夹 Data(D:)\n"
        "tree MainWindow.树型框_文件夹 Data(D:)/Photos\n"
        "tree MainWindow.树型框_文件夹 \"Data(D:)/Photos/2009\"\n"
        "tree MainWindow.树型框_文件夹 Data(D:)/Photos/2009\n"
        "click MainWindow.按钮_文件夹搜索\n"
        "wait-idle\n"
        "rows MainWindow.超级列表框_显示\n"
        "dump MainWindow.树型框_文件夹\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_THAT(rowCells(run.output), HasSubstr("1\tC:\\home\\Desktop\\desk.jpg\tDesktop\tdesk.jpg\n"));
    EXPECT_THAT(rowCells(run.output), HasSubstr("1\tD:\\Photos\\2009\\summer.jpg\t2009\tsummer.jpg\n"));
    // Choosing 2009 twice leaves one "beach" below it.
    const std::string tree = treeCaptions(run.output);
    EXPECT_THAT(tree, HasSubstr("\nbeach\n"));
    EXPECT_EQ(tree.find("beach"), tree.rfind("beach"));
}

TEST_F(MainWindowTest, HeaderAndFooterHintsShowInTheStatusBar)
{
    const RunResult run = machine.run(
        "focus MainWindow.编辑框_页眉\n"
        "status\n"
        "focus MainWindow.编辑框_页脚\n"
        "status\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_THAT(run.output, HasSubstr("status\t显示在每个页眉上，可用&a表示总页数"));
    EXPECT_THAT(run.output, HasSubstr("status\t显示在每个页脚上，可用&a表示总页数"));
}

TEST_F(MainWindowTest, StopKeepsTheRowsAndPrintIsRefusedDuringASearch)
{
    machine.addDrive('D', "fixed", "Big");
    // Enough folders that the search is still running when the clicks arrive.
    for (int folder = 0; folder < 2000; ++folder)
        machine.writeFile(machine.drive('D') / ("f" + std::to_string(folder)) / "p.jpg");
    const RunResult run = machine.run(
        "check MainWindow.选择框_包括文件夹 on\n"
        "tree MainWindow.树型框_文件夹 Big(D:)\n"
        "click MainWindow.按钮_文件夹搜索\n"
        // Lines run while the search runs: this one waits until it has listed a few folders.
        "watch-text MainWindow.超级列表框_显示 D:\\f1\\p.jpg\n"
        "click MainWindow.按钮_文件夹准备打印\n"
        "click MainWindow.按钮_文件夹停止搜索\n"
        "wait-idle\n"
        "status\n"
        "rows MainWindow.超级列表框_显示\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_THAT(run.output, HasSubstr("message-box\t你性子太急了！\t搜索还未完成，此时打印是不是太早了点？\t"));
    EXPECT_THAT(run.output, HasSubstr("status\t搜索强制停止。"));
    EXPECT_THAT(rowCells(run.output), HasSubstr("1\tD:\\f0\\p.jpg"));
    EXPECT_THAT(run.output, Not(HasSubstr("D:\\f999\\p.jpg")));
}

TEST_F(MainWindowTest, DoubleClickedRowShowsThePictureWindow)
{
    machine.addDrive('D', "fixed", "Data");
    machine.writeFile(machine.drive('D') / "red.bmp", tinyBmp(40, 30, 255, 0, 0));
    const auto shot = machine.root() / "picture.png";
    const RunResult run = machine.run(
        "tree MainWindow.树型框_文件夹 Data(D:)\n"
        "click MainWindow.按钮_文件夹搜索\n"
        "wait-idle\n"
        "dblclick MainWindow.超级列表框_显示 0\n"
        "wait-loaded PictureWindow\n"
        "wait-idle\n"
        "screenshot PictureWindow \"" + shot.string() + "\"\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_TRUE(std::filesystem::exists(shot));
}

TEST_F(MainWindowTest, QuitButtonEndsTheProgramWithCodeZero)
{
    const RunResult run = machine.run("click MainWindow.按钮_结束程序\nsleep 5000\nquit 9\n");
    EXPECT_EQ(run.exitCode, 0) << run.errors;
}

}  // namespace
}  // namespace quillora::e2e
