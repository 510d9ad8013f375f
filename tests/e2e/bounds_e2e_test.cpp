// Numbers a user types into the settings window, however large, small or unlike a number, and
// paper larger than the export can draw, as a user meets them: the program keeps running, the live
// preview shows no page (but why) for a layout OK refuses and draws again once the layout is
// fixed, OK names the valid range, and an export on too large a paper is refused before anything
// is asked or written. The sanitizer build runs the same program: it must report nothing.
#include "e2e_support.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>
#include <string>
#include <vector>

namespace quillora::e2e {
namespace {

namespace fs = std::filesystem;
using testing::HasSubstr;
using testing::Not;

const char kWindow[] = "PrintSettingsWindow";

// 画板_预览 lies at (331, 7), 240 × 340, in the window.
constexpr int kPanelLeft = 331;
constexpr int kPanelTop = 7;
constexpr int kPanelWidth = 240;
constexpr int kPanelHeight = 340;

struct PanelInk {
    int coloured = 0;  // pixels of a picture: strongly coloured
    int dark = 0;      // pixels of black text
};

PanelInk inkOnPanel(const QImage& shot)
{
    PanelInk ink;
    // Inside the panel's border.
    for (int y = kPanelTop + 3; y < kPanelTop + kPanelHeight - 3; ++y)
        for (int x = kPanelLeft + 3; x < kPanelLeft + kPanelWidth - 3; ++x) {
            const QRgb pixel = shot.pixel(x, y);
            const int high = std::max({qRed(pixel), qGreen(pixel), qBlue(pixel)});
            const int low = std::min({qRed(pixel), qGreen(pixel), qBlue(pixel)});
            if (high - low > 80)
                ++ink.coloured;
            else if (high < 100)
                ++ink.dark;
        }
    return ink;
}

std::vector<std::string> messageBoxes(const std::string& output)
{
    std::vector<std::string> boxes;
    for (const std::string& line : linesOf(output))
        if (line.starts_with("message-box\t"))
            boxes.push_back(line.substr(0, line.rfind('\t')));
    return boxes;
}

// What the sanitizers write when they find something (the sanitizer build's program runs here).
void expectNoSanitizerReport(const RunResult& run)
{
    EXPECT_THAT(run.errors, Not(HasSubstr("runtime error:")));
    EXPECT_THAT(run.errors, Not(HasSubstr("AddressSanitizer")));
    EXPECT_THAT(run.errors, Not(HasSubstr("LeakSanitizer")));
}

// Types into a box; the line is done once what leaving the previous box started (a preview) is
// done too (a preview of a refused layout draws nothing and is done at once).
std::string typeLine(const std::string& unit, const std::string& text)
{
    return "type " + std::string(kWindow) + "." + unit + " \"" + text + "\"\n";
}

// Leaves the box with the focus, so that its preview runs, and waits until it is shown.
std::string leaveAndWait()
{
    return std::string("focus ") + kWindow + ".编辑框_行间距\nwait-closed ProgressWindow\n";
}

// Presses OK, which refuses the layout: once the program is idle the window is still there
// ("enabled" ends the run when it is not).
std::string pressRefusedOk(const std::string& echo)
{
    return "echo " + echo + "\nclick PrintSettingsWindow.按钮_确定\nwait-idle\nenabled PrintSettingsWindow\n";
}

class BoundsTest : public testing::Test {
protected:
    void SetUp() override
    {
        machine.addDrive('D', "fixed", "Data");
        const unsigned char colours[4][3] = {{200, 0, 0}, {0, 150, 0}, {0, 0, 200}, {150, 0, 150}};
        for (int i = 0; i < 4; ++i)
            machine.writeFile(machine.drive('D') / "Photos" / ("p" + std::to_string(i) + ".bmp"),
                              tinyBmp(120, 90, colours[i][0], colours[i][1], colours[i][2]));
    }

    std::string shot(const std::string& name) const { return (machine.root() / name).string(); }

    QImage picture(const std::string& name) const { return QImage(QString::fromStdString(shot(name))); }

    static std::string openSettings()
    {
        return "tree MainWindow.树型框_文件夹 Data(D:)\n"
               "tree MainWindow.树型框_文件夹 Data(D:)/Photos\n"
               "click MainWindow.按钮_文件夹搜索\n"
               "wait-idle\n"
               "click MainWindow.按钮_打印预览\n"
               "wait-loaded PrintSettingsWindow\n";
    }

    TestMachine machine;
};

// The numbers: a 1 km square page of 10^10 cells would have taken the preview's lists and
// loop past the memory (the program ended with std::bad_alloc); now the preview names the
// refusal, draws no page, and the window draws again once the numbers are fixed.
TEST_F(BoundsTest, HugeNumbersWithLivePreviewLeaveThePreviewEmptyAndTheWindowWorking)
{
    const RunResult run = machine.run(
        openSettings() + typeLine("编辑框_宽度", "1000000") + typeLine("编辑框_高度", "1000000")
        + typeLine("编辑框_行数", "100000") + typeLine("编辑框_列数", "100000") + leaveAndWait() + "screenshot "
        + kWindow + " " + shot("huge.png") + "\n"
        // Back to a page that prints: 2 × 2 on A4.
        + typeLine("编辑框_宽度", "210") + typeLine("编辑框_高度", "297") + typeLine("编辑框_行数", "2")
        + typeLine("编辑框_列数", "2") + leaveAndWait() + "screenshot " + kWindow + " " + shot("fixed.png") + "\n"
        // The column spacing of the issue: stored as 2147483647 before, now refused by OK too.
        + typeLine("编辑框_列间距", "99999999999") + leaveAndWait() + "screenshot " + kWindow + " "
        + shot("spacing.png") + "\n"
        + pressRefusedOk("pressing ok")
        + "echo still open\nclick PrintSettingsWindow.按钮_取消\nwait-closed PrintSettingsWindow\n",
        120);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    expectNoSanitizerReport(run);

    const QImage huge = picture("huge.png");
    const QImage fixed = picture("fixed.png");
    const QImage spacing = picture("spacing.png");
    ASSERT_FALSE(huge.isNull());
    ASSERT_FALSE(fixed.isNull());
    ASSERT_FALSE(spacing.isNull());
    // No page, only the reason in black text.
    EXPECT_EQ(inkOnPanel(huge).coloured, 0);
    EXPECT_GT(inkOnPanel(huge).dark, 50);
    // The 2 × 2 page of coloured pictures.
    EXPECT_GT(inkOnPanel(fixed).coloured, 2000);
    EXPECT_EQ(inkOnPanel(spacing).coloured, 0);
    EXPECT_GT(inkOnPanel(spacing).dark, 50);

    EXPECT_THAT(run.output, HasSubstr("still open\n"));
    EXPECT_THAT(messageBoxes(outputSection(run.output, "pressing ok", "still open")),
                testing::ElementsAre(
                    "message-box\t无法按此设置打印\t行间距和列间距都必须在0到20000之间（单位0.1毫米），请重新输入。"));
}

// Every number box of the window takes every kind of text; none of them makes the preview, OK or
// the count sliders do anything undefined, and OK refuses each with a message.
TEST_F(BoundsTest, ExtremeTextInEveryBoxIsRefusedWithoutASanitizerReport)
{
    const std::vector<std::string> boxes = {
        "编辑框_宽度",       "编辑框_高度",       "编辑框_上边距",     "编辑框_下边距",   "编辑框_左边距",
        "编辑框_右边距",     "编辑框_页眉距顶端", "编辑框_页脚距底端", "编辑框_行数",     "编辑框_列数",
        "编辑框_行间距",     "编辑框_列间距",     "编辑框_文字距图片", "编辑框_打印份数",
    };
    const std::vector<std::string> values = {"1e300", "-1e300", "99999999999", "-99999999999", "1e999", "-2147483648",
                                             "２１４７４８３６４８", "abc"};
    std::string script = openSettings();
    for (const std::string& value : values) {
        for (const std::string& box : boxes)
            script += typeLine(box, value);
        script += leaveAndWait() + pressRefusedOk("pressing ok " + value);
    }
    script += "echo done\nclick PrintSettingsWindow.按钮_取消\nwait-closed PrintSettingsWindow\n";
    const RunResult run = machine.run(script, 180);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    expectNoSanitizerReport(run);
    EXPECT_THAT(run.output, HasSubstr("done\n"));
    // Each OK was refused: its last box is the refusal.
    for (const std::string& value : values) {
        const std::vector<std::string> shown =
            messageBoxes(outputSection(run.output, "pressing ok " + value, value == values.back() ? "done" : ""));
        ASSERT_FALSE(shown.empty()) << value;
        EXPECT_THAT(shown.front(), HasSubstr("message-box\t无法按此设置打印\t")) << value;
    }
}

class BigPaperExportTest : public testing::Test {
protected:
    void SetUp() override
    {
        machine.addDrive('D', "fixed", "Photos");
        machine.addDrive('E', "fixed", "Out");
        for (const char* folder : {"A", "B"})
            for (int i = 1; i <= 3; ++i)
                machine.writeFile(machine.drive('D') / "pics" / folder / ("p" + std::to_string(i) + ".bmp"),
                                  tinyBmp(40, 30, 255, 0, 0));
        fs::create_directories(machine.drive('E') / "big");
    }

    TestMachine machine;
};

// 1500 × 1500 mm as BMP would need 15000 × 15000 pixels, more than the page panel holds: every
// page came out as a 32 × 24 picture with "打印完毕！". Now the job is refused before the folder
// prompt, with the largest paper of that shape, and nothing is written; the second folder's batch
// does not ask again.
TEST_F(BigPaperExportTest, PaperLargerThanThePanelIsRefusedBeforeAnythingIsWritten)
{
    SettingsChoice choice;
    choice.widthMm = 1500;
    choice.heightMm = 1500;
    choice.rows = 2;
    choice.columns = 2;
    choice.toFiles = true;
    const RunResult run = machine.run("tree MainWindow.树型框_文件夹 Photos(D:)\n"
                                      "tree MainWindow.树型框_文件夹 Photos(D:)/pics\n"
                                      "check MainWindow.选择框_包括文件夹 on\n"
                                      "click MainWindow.按钮_文件夹搜索\n"
                                      "wait-idle\n"
                                      "check MainWindow.选择框_按文件夹分类 on\n"
                                      "answer folder E:\\big\nanswer folder E:\\big\n"
                                      "click MainWindow.按钮_文件夹准备打印\n"
                                      + settingsWindowLines(choice) + "wait-idle\nstatus\n",
                                      120);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    expectNoSanitizerReport(run);
    const std::vector<std::string> boxes = messageBoxes(run.output);
    ASSERT_EQ(boxes.size(), 1u) << run.output;
    EXPECT_THAT(boxes[0], HasSubstr("message-box\t无法保存为图片\t纸张1500×1500毫米太大"));
    EXPECT_THAT(boxes[0], HasSubstr("保存为图片的纸张最大为1158×1158毫米（宽×高）"));
    EXPECT_TRUE(fs::is_empty(machine.drive('E') / "big"));
    EXPECT_THAT(run.output, Not(HasSubstr("status\t打印完毕！\n")));
    EXPECT_THAT(run.output, HasSubstr("status\t用户中断打印。"));
}

}  // namespace
}  // namespace quillora::e2e
