// A photo taken with the camera held upright, stored lying on its side with an EXIF orientation,
// printed to a page file and shown in the picture window as a user does it: it stands upright, as
// tall as it is in the camera's view, each corner where it belongs.
#include "e2e_support.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <algorithm>

#include "tests/picture/exif_test_files.h"

namespace quillora::e2e {
namespace {

namespace fs = std::filesystem;

// A 24-bit bottom-up BMP page file, read pixel by pixel.
class BmpPage {
public:
    explicit BmpPage(std::string bytes) : bytes_(std::move(bytes))
    {
        if (bytes_.size() < 54 || bytes_.compare(0, 2, "BM") != 0)
            return;
        offset_ = field(10);
        width_ = static_cast<int>(field(18));
        height_ = static_cast<int>(field(22));
        rowBytes_ = (static_cast<std::size_t>(width_) * 3 + 3) / 4 * 4;
        if (offset_ + rowBytes_ * static_cast<std::size_t>(height_) > bytes_.size())
            width_ = height_ = 0;
    }

    int width() const { return width_; }
    int height() const { return height_; }

    // The quadrant colour of the pixel x, y counted from the top-left corner.
    int quadrantAt(int x, int y) const
    {
        const std::size_t at = offset_ + static_cast<std::size_t>(height_ - 1 - y) * rowBytes_ + static_cast<std::size_t>(x) * 3;
        const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(bytes_[at + i]); };
        return test::quadrantOf(byte(2), byte(1), byte(0));
    }

private:
    std::uint32_t field(std::size_t at) const
    {
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; --i)
            value = value << 8 | static_cast<unsigned char>(bytes_[at + static_cast<std::size_t>(i)]);
        return value;
    }

    std::string bytes_;
    std::size_t offset_ = 0;
    std::size_t rowBytes_ = 0;
    int width_ = 0;
    int height_ = 0;
};

struct Box {
    int left, top, right, bottom;  // inclusive
};

// The smallest box around every pixel in one of the photo's colours.
Box photoBox(const BmpPage& page)
{
    Box box{page.width(), page.height(), -1, -1};
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (page.quadrantAt(x, y) != 4) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x);
                box.bottom = std::max(box.bottom, y);
            }
    return box;
}

class UprightPhotoPage : public testing::TestWithParam<int> {};

TEST_P(UprightPhotoPage, AnExportedPageShowsThePhotoUprightWithEveryCornerInPlace)
{
    const int orientation = GetParam();
    TestMachine machine;
    machine.addDrive('D', "fixed", "Photos");
    machine.addDrive('E', "fixed", "Out");
    // Stored 320 x 192, so 192 x 320 upright.
    const test::Bytes photo = test::quadrantPhoto(320, 192, static_cast<std::uint16_t>(orientation));
    machine.writeFile(machine.drive('D') / "pics" / "trip" / "portrait.jpg", std::string(photo.begin(), photo.end()));
    fs::create_directories(machine.drive('E') / "album");

    SettingsChoice setup;
    setup.widthMm = 100;
    setup.heightMm = 150;
    setup.rows = 1;
    setup.columns = 1;
    setup.toFiles = true;
    const RunResult run = machine.run("tree MainWindow.树型框_文件夹 Photos(D:)\n"
                                      "tree MainWindow.树型框_文件夹 Photos(D:)/pics\n"
                                      "check MainWindow.选择框_包括文件夹 on\n"
                                      "click MainWindow.按钮_文件夹搜索\n"
                                      "wait-idle\n"
                                      "answer folder E:\\album\n"
                                      "click MainWindow.按钮_文件夹准备打印\n" +
                                          settingsWindowLines(setup) + "wait-idle\nstatus\n",
                                      120);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_THAT(run.output, testing::HasSubstr("status\t打印完毕！"));
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(machine.drive('E') / "album"))
        files.push_back(entry.path());
    ASSERT_EQ(files.size(), 1u) << run.output;

    const BmpPage page(contentOf(files[0]));
    ASSERT_EQ(page.width(), 1000);
    const Box box = photoBox(page);
    ASSERT_GT(box.right - box.left, 100) << "no photo on the page";
    // Fitted into the cell with its proportions, the photo is as tall as it stands upright.
    const double ratio = static_cast<double>(box.right - box.left + 1) / (box.bottom - box.top + 1);
    EXPECT_NEAR(ratio, 192.0 / 320.0, 0.02);
    // A few pixels in from each corner of the photo, clear of its blurred edge.
    const int inset = 4;
    const auto& expected = test::kUprightCorners[static_cast<std::size_t>(orientation)];
    EXPECT_EQ(page.quadrantAt(box.left + inset, box.top + inset), expected[0]);
    EXPECT_EQ(page.quadrantAt(box.right - inset, box.top + inset), expected[1]);
    EXPECT_EQ(page.quadrantAt(box.left + inset, box.bottom - inset), expected[2]);
    EXPECT_EQ(page.quadrantAt(box.right - inset, box.bottom - inset), expected[3]);
}

// The picture window stretches the photo over its client area: upright, each corner of the
// window shows the corner of the photo that belongs there.
TEST_P(UprightPhotoPage, ThePictureWindowShowsThePhotoUpright)
{
    const int orientation = GetParam();
    TestMachine machine;
    machine.addDrive('D', "fixed", "Photos");
    const test::Bytes photo = test::quadrantPhoto(320, 192, static_cast<std::uint16_t>(orientation));
    machine.writeFile(machine.drive('D') / "portrait.jpg", std::string(photo.begin(), photo.end()));
    const auto shot = machine.root() / "picture.png";
    const RunResult run = machine.run("tree MainWindow.树型框_文件夹 Photos(D:)\n"
                                      "click MainWindow.按钮_文件夹搜索\n"
                                      "wait-idle\n"
                                      "dblclick MainWindow.超级列表框_显示 0\n"
                                      "wait-idle\n"
                                      "screenshot PictureWindow " + shot.string() + "\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    QImage window;
    ASSERT_TRUE(window.load(QString::fromStdString(shot.string())));
    const auto quadrantAt = [&](int x, int y) {
        const QColor colour(window.pixel(x, y));
        return test::quadrantOf(static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
                                static_cast<std::uint8_t>(colour.blue()));
    };
    const int inset = 8;
    const auto& expected = test::kUprightCorners[static_cast<std::size_t>(orientation)];
    EXPECT_EQ(quadrantAt(inset, inset), expected[0]);
    EXPECT_EQ(quadrantAt(window.width() - 1 - inset, inset), expected[1]);
    EXPECT_EQ(quadrantAt(inset, window.height() - 1 - inset), expected[2]);
    EXPECT_EQ(quadrantAt(window.width() - 1 - inset, window.height() - 1 - inset), expected[3]);
}

// The two a phone writes when it is held upright: turned a quarter clockwise or anticlockwise.
INSTANTIATE_TEST_SUITE_P(PortraitOrientations, UprightPhotoPage, testing::Values(6, 8),
                         [](const testing::TestParamInfo<int>& info) { return "Exif" + std::to_string(info.param); });

}  // namespace
}  // namespace quillora::e2e
