// A panel cleared as a whole keeps no pixels, yet reads, shows and draws as a panel painted with
// its background; and the pictures it hands out are the same bytes whatever its history.
#include "panel_test_support.h"

#include "platform/device_fonts.h"

#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <cmath>

namespace quillora::test {
namespace {

// A file of the test's BMP builder with the two fields it leaves 0 as the panel fills them in:
// the image size and the panel's resolution.
Bytes asThePanelWritesIt(Bytes file)
{
    const auto put32 = [&file](std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i)
            file[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    };
    const auto pixelsPerMetre = static_cast<std::uint32_t>(std::lround(platform::displayDotsPerInch() / 0.0254));
    put32(34, static_cast<std::uint32_t>(file.size() - 54));
    put32(38, pixelsPerMetre);
    put32(42, pixelsPerMetre);
    return file;
}

// 7 × 5 pixels, each its own colour, so a row or pixel out of place shows; rows of 21 bytes are
// padded to 24.
Pixels pattern()
{
    Pixels colours;
    for (std::uint32_t y = 0; y < 5; ++y)
        for (std::uint32_t x = 0; x < 7; ++x)
            colours.push_back((x * 36) | (y * 60) << 8 | ((x + y) * 20) << 16);
    return colours;
}

class ClearedPanel : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(window.loaded());
        HostWindow::set(kDrawPanelAutoRedraw, 1);
        HostWindow::set(kDrawPanelBackgroundColour, kGreen);
    }

    static void draw(const TestPicture& picture, std::int32_t x, std::int32_t y)
    {
        Call().arg(picture.handle()).arg(x).arg(y).run(drawPanelDrawPicture);
    }
    static void clear() { Call().run(drawPanelClear); }
    static std::optional<platform::ColourRef> blankColour()
    {
        return HostWindow::panel()->contentForPainting().blankColour();
    }

    HostWindow window{{{kPanelType, 7, 5}}};
};

TEST_F(ClearedPanel, GetPictureGivesTheBytesOfTheDrawnPage)
{
    TestPicture picture(bmpFile(7, 5, pattern()));
    draw(picture, 0, 0);
    EXPECT_EQ(takePicture().bytes, asThePanelWritesIt(bmpFile(7, 5, pattern())));

    // Stretched to twice the size: rows of 42 bytes, each padded with two zeros.
    const Bytes stretched = takePicture({14, 10}).bytes;
    ASSERT_EQ(stretched.size(), 54u + 44 * 10);
    for (std::size_t row = 0; row < 10; ++row)
        EXPECT_EQ(u16At(stretched, 54 + row * 44 + 42), 0u) << "row " << row;
}

TEST_F(ClearedPanel, HoldsNoPixelsAndReadsAsItsBackground)
{
    TestPicture picture(bmpFile(7, 5, pattern()));
    draw(picture, 0, 0);
    EXPECT_EQ(blankColour(), std::nullopt);
    clear();
    EXPECT_EQ(blankColour(), kGreen);
    EXPECT_EQ(takePicture().bytes, asThePanelWritesIt(plainBmp(7, 5, kGreen)));

    // A new background colour repaints the panel, which stays without pixels.
    HostWindow::set(kDrawPanelBackgroundColour, kBlue);
    EXPECT_EQ(takePicture().pixels(), Pixels(35, kBlue));
    // A panel grown while cleared is its background everywhere.
    clear();
    HostWindow::setSize(9, 6);
    EXPECT_EQ(blankColour(), kBlue);
    EXPECT_EQ(takePicture().pixels(), Pixels(54, kBlue));
}

TEST_F(ClearedPanel, DrawsAgainOnItsBackground)
{
    TestPicture red(plainBmp(7, 5, kRed));
    TestPicture yellow(plainBmp(2, 1, kYellow));
    draw(red, 0, 0);
    clear();
    draw(yellow, 3, 2);
    const PanelPicture page = takePicture();
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(page.pixel(x, y), (x == 3 || x == 4) && y == 2 ? kYellow : kGreen) << x << "," << y;

    // A part cleared on a cleared panel, in another colour than the whole was.
    clear();
    HostWindow::set(kDrawPanelBackgroundColour, kBlue);
    draw(red, 0, 0);
    Call().arg(1).arg(1).arg(2).arg(2).run(drawPanelClear);
    EXPECT_EQ(HostWindow::panel()->currentX(), 1);
    const PanelPicture part = takePicture();
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(part.pixel(x, y), x >= 1 && x < 3 && y >= 1 && y < 3 ? kBlue : kRed) << x << "," << y;
}

TEST_F(ClearedPanel, TheWindowShowsItsBackground)
{
    HostWindow::set(kDrawPanelBorderStyle, 1);
    QWidget* widget = HostWindow::panel()->widget();
    const auto shown = [widget](int x, int y) { return widget->grab().toImage().pixelColor(x, y); };
    TestPicture red(plainBmp(7, 5, kRed));
    draw(red, 0, 0);
    EXPECT_EQ(shown(3, 3), QColor(255, 0, 0));
    HostWindow::set(kDrawPanelBackgroundColour, kBlue);
    clear();
    EXPECT_EQ(shown(1, 1), QColor(0, 0, 255));
    EXPECT_EQ(shown(5, 3), QColor(0, 0, 255));
    // Showing the panel did not make its pixels; drawing does, and the window follows.
    EXPECT_EQ(blankColour(), kBlue);
    TestPicture yellow(plainBmp(1, 1, kYellow));
    draw(yellow, 0, 0);
    EXPECT_EQ(shown(1, 1), QColor(255, 255, 0));
    EXPECT_EQ(shown(2, 1), QColor(0, 0, 255));
}

// A finished page handed over gives the bytes GetPicture gives and leaves the panel as Clear
// does; a page-sized panel lets its memory go row by row on the way, which no byte may show.
class HandedOverPage : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(HandedOverPage, GivesThePictureAndLeavesThePanelCleared)
{
    const auto [width, height] = GetParam();
    HostWindow window{{{kPanelType, width, height}}};
    ASSERT_TRUE(window.loaded());
    HostWindow::set(kDrawPanelAutoRedraw, 1);
    HostWindow::set(kDrawPanelBackgroundColour, kGreen);
    // Stripes across the whole page, so that a row read after its memory went shows up.
    TestPicture stripes(bmpFile(1, 3, Pixels{kRed, kBlue, kYellow}));
    Call().arg(stripes.handle()).arg(0).arg(0).arg(width).arg(height).run(drawPanelDrawPicture);
    const Bytes expected = takePicture().bytes;

    EXPECT_EQ(Call().runBytes(drawPanelHandOverPicture), expected);
    EXPECT_EQ(HostWindow::panel()->contentForPainting().blankColour(), kGreen);
    // The panel draws again over its background, and hands over the next page whole.
    TestPicture red(plainBmp(2, 2, kRed));
    Call().arg(red.handle()).arg(0).arg(0).run(drawPanelDrawPicture);
    const PanelPicture next{Call().runBytes(drawPanelHandOverPicture)};
    EXPECT_EQ(next.pixel(1, 1), kRed);
    EXPECT_EQ(next.pixel(2, 2), kGreen);
    EXPECT_EQ(next.pixel(width - 1, height - 1), kGreen);
    EXPECT_EQ(takePicture().pixels(), Pixels(static_cast<std::size_t>(width) * height, kGreen));
}

// 7 x 5 is kept in ordinary memory; 1100 x 1000 (4.4 MB) is a page whose rows go as they are read.
INSTANTIATE_TEST_SUITE_P(SmallAndPageSized, HandedOverPage,
                         ::testing::Values(std::pair{7, 5}, std::pair{1100, 1000}));

}  // namespace
}  // namespace quillora::test
