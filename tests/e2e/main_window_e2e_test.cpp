// The main window as a user meets it: the folder tree, the picture search, the print guard and
// the picture window, driven through the program's automation driver.
#include "e2e_support.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace quillora::e2e {
namespace {

using testing::HasSubstr;
using testing::Not;

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
    const RunResult run = machine.run("show MainWindow.树型框_文件夹\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_THAT(run.output, HasSubstr("桌面\n我的文档\nSystem(C:)\nData(D:)\n(E:)"));
}

TEST_F(MainWindowTest, SearchWithAndWithoutSubFoldersListsExactlyThePictures)
{
    makePhotoDrive();
    const RunResult run = machine.run(
        "choose MainWindow.树型框_文件夹 Data(D:)\n"
        "choose MainWindow.树型框_文件夹 Data(D:)/Photos\n"
        "click MainWindow.按钮_文件夹搜索\n"
        "waitfor MainWindow.状态条1 搜索完成\n"
        "show MainWindow.超级列表框_显示\n"
        "tick MainWindow.选择框_包括文件夹 1\n"
        "click MainWindow.按钮_文件夹搜索\n"
        "waitfor MainWindow.状态条1 搜索完成\n"
        "echo ---\n"
        "show MainWindow.超级列表框_显示\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const std::string withoutSubFolders = run.output.substr(0, run.output.find("---"));
    const std::string withSubFolders = run.output.substr(run.output.find("---"));
    EXPECT_THAT(withoutSubFolders, HasSubstr("序号\t文件名全称\t文件夹\t文件名\n"
                                             "1\tD:\\Photos\\Photo.JPG\tPhotos\tPhoto.JPG\n"
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
        "choose MainWindow.树型框_文件夹 Data(D:)\n"
        "click MainWindow.按钮_文件夹搜索\n"
        "waitfor MainWindow.状态条1 搜索完成\n"
        "show MainWindow.超级列表框_显示\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_THAT(run.output, HasSubstr("1\tD:\\root.jpg\t\troot.jpg"));
}

TEST_F(MainWindowTest, ChoosingFoldersSetsTheSearchRootAndReadsChildrenOnce)
{
    makePhotoDrive();
    machine.writeFile(machine.home() / "Desktop" / "desk.jpg");
    const RunResult run = machine.run(
        "choose MainWindow.树型框_文件夹 桌面\n"
        "click MainWindow.按钮_文件夹搜索\n"
        "waitfor MainWindow.状态条1 搜索完成\n"
        "show MainWindow.超级列表框_显示\n"
        "choose MainWindow.树型框_文件夹 Data(D:)\n"
        "choose MainWindow.树型框_文件夹 Data(D:)/Photos\n"
        "choose MainWindow.树型框_文件夹 Data(D:)/Photos/2009\n"
        "choose MainWindow.树型框_文件夹 Data(D:)/Photos/2009\n"
        "click MainWindow.按钮_文件夹搜索\n"
        "waitfor MainWindow.状态条1 搜索完成\n"
        "show MainWindow.超级列表框_显示\n"
        "show MainWindow.树型框_文件夹\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_THAT(run.output, HasSubstr("1\tC:\\home\\Desktop\\desk.jpg\tDesktop\tdesk.jpg"));
    EXPECT_THAT(run.output, HasSubstr("1\tD:\\Photos\\2009\\summer.jpg\t2009\tsummer.jpg"));
    // Choosing 2009 twice leaves one "beach" below it.
    const auto tree = run.output.substr(run.output.rfind("树型框_文件夹"));
    EXPECT_EQ(tree.find("beach"), tree.rfind("beach"));
}

TEST_F(MainWindowTest, HeaderAndFooterHintsShowInTheStatusBar)
{
    const RunResult run = machine.run(
        "focus MainWindow.编辑框_页眉\n"
        "show MainWindow.状态条1\n"
        "focus MainWindow.编辑框_页脚\n"
        "show MainWindow.状态条1\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_THAT(run.output, HasSubstr("显示在每个页眉上，可用&a表示总页数"));
    EXPECT_THAT(run.output, HasSubstr("显示在每个页脚上，可用&a表示总页数"));
}

TEST_F(MainWindowTest, StopKeepsTheRowsAndPrintIsRefusedDuringASearch)
{
    machine.addDrive('D', "fixed", "Big");
    // Enough folders that the search is still running when the clicks arrive.
    for (int folder = 0; folder < 2000; ++folder)
        machine.writeFile(machine.drive('D') / ("f" + std::to_string(folder)) / "p.jpg");
    const RunResult run = machine.run(
        "tick MainWindow.选择框_包括文件夹 1\n"
        "choose MainWindow.树型框_文件夹 Big(D:)\n"
        "click MainWindow.按钮_文件夹搜索\n"
        "waitfor MainWindow.超级列表框_显示 D:\\f1\\p.jpg\n"
        "click MainWindow.按钮_文件夹准备打印\n"
        "click MainWindow.按钮_文件夹停止搜索\n"
        "waitfor MainWindow.状态条1 搜索强制停止。\n"
        "show MainWindow.超级列表框_显示\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_THAT(run.output, HasSubstr("messagebox \"你性子太急了！\": 搜索还未完成，此时打印是不是太早了点？"));
    EXPECT_THAT(run.output, HasSubstr("1\tD:\\f0\\p.jpg"));
    EXPECT_THAT(run.output, Not(HasSubstr("D:\\f999\\p.jpg")));
}

TEST_F(MainWindowTest, DoubleClickedRowShowsThePictureWindow)
{
    machine.addDrive('D', "fixed", "Data");
    machine.writeFile(machine.drive('D') / "red.bmp", tinyBmp(40, 30, 255, 0, 0));
    const auto shot = machine.root() / "picture.png";
    const RunResult run = machine.run(
        "choose MainWindow.树型框_文件夹 Data(D:)\n"
        "click MainWindow.按钮_文件夹搜索\n"
        "waitfor MainWindow.状态条1 搜索完成\n"
        "doubleclick MainWindow.超级列表框_显示 0\n"
        "wait 200\n"
        "save PictureWindow " + shot.string() + "\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_TRUE(std::filesystem::exists(shot));
}

TEST_F(MainWindowTest, QuitButtonEndsTheProgramWithCodeZero)
{
    const RunResult run = machine.run("click MainWindow.按钮_结束程序\nwait 5000\nquit 9\n");
    EXPECT_EQ(run.exitCode, 0) << run.errors;
}

}  // namespace
}  // namespace quillora::e2e
