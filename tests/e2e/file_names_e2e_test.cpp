// File names as Linux disks hold them: bytes that are not valid UTF-8 are still listed by the
// search and the file still opens from the list.
#include "e2e_support.h"

#include <QColor>
#include <QImage>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace quillora::e2e {
namespace {

TEST(FileNamesTest, NameThatIsNotUtf8IsListedAndOpens)
{
    TestMachine machine;
    machine.addDrive('D', "fixed", "Data");
    const std::string badName = "bad\xff\xfe.bmp";
    machine.writeFile(machine.drive('D') / badName, tinyBmp(40, 30, 255, 0, 0));
    const auto shot = machine.root() / "picture.png";
    const RunResult run = machine.run(
        "tree MainWindow.树型框_文件夹 Data(D:)\n"
        "click MainWindow.按钮_文件夹搜索\n"
        "wait-idle\n"
        "rows MainWindow.超级列表框_显示\n"
        "dblclick MainWindow.超级列表框_显示 0\n"
        "wait-idle\n"
        "screenshot PictureWindow " + shot.string() + "\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_THAT(run.output, testing::HasSubstr("D:\\" + badName));

    // The picture window shows the file's red picture, so the name read back from the list
    // still named the file on disk.
    QImage picture;
    ASSERT_TRUE(picture.load(QString::fromStdString(shot.string())));
    EXPECT_EQ(QColor(picture.pixel(picture.width() / 2, picture.height() / 2)), QColor(255, 0, 0));
}

}  // namespace
}  // namespace quillora::e2e
