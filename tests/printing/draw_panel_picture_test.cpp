// Taking pictures out of a panel, its background picture, its size and its properties.
#include "panel_test_support.h"

#include "platform/device_fonts.h"

#include <array>
#include <cmath>

namespace quillora::test {
namespace {

// A square picture in quadrants: green, red over blue, yellow.
Bytes quadrants(int side)
{
    Pixels colours;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            colours.push_back(y < side / 2 ? (x < side / 2 ? kGreen : kRed) : (x < side / 2 ? kBlue : kYellow));
    return bmpFile(side, side, colours);
}

class PanelPictures : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(window.loaded());
        HostWindow::set(kDrawPanelAutoRedraw, 1);
        HostWindow::set(kDrawPanelBackgroundColour, kWhite);
    }

    HostWindow window{{{kPanelType, 40, 20}}};
};

TEST_F(PanelPictures, GetPictureIsA24BitBottomUpBmpFile)
{
    HostWindow::setSize(7, 5);
    TestPicture blue(plainBmp(1, 1, kBlue));
    Call().arg(blue.handle()).arg(0).arg(4).run(drawPanelDrawPicture);

    const Bytes file = takePicture().bytes;
    ASSERT_EQ(file.size(), 54u + 24 * 5);  // rows of 7 × 3 bytes padded to 24
    const auto pixelsPerMetre = static_cast<std::uint32_t>(std::lround(platform::displayDotsPerInch() / 0.0254));
    const std::vector<std::pair<std::size_t, std::uint32_t>> fields = {
        {2, 174}, {6, 0}, {10, 54}, {14, 40}, {18, 7}, {22, 5}, {30, 0}, {34, 120},
        {38, pixelsPerMetre}, {42, pixelsPerMetre}, {46, 0}};
    EXPECT_EQ(u16At(file, 0), 0x4D42u);  // "BM"
    for (const auto& [offset, value] : fields)
        EXPECT_EQ(u32At(file, offset), value) << "at " << offset;
    EXPECT_EQ(u16At(file, 26), 1u);
    EXPECT_EQ(u16At(file, 28), 24u);
    // The first row stored is the bottom one.
    EXPECT_EQ((Bytes{file[54], file[55], file[56], file[54 + 4 * 24]}), (Bytes{0xFF, 0x00, 0x00, 0xFF}));

    TestPicture readBack(file);
    EXPECT_EQ(runtime::pictureWidth(readBack.handle()), 7);
}

TEST_F(PanelPictures, GetPictureSizes)
{
    TestPicture picture(quadrants(20));
    Call().arg(picture.handle()).arg(0).arg(0).arg(40).arg(20).run(drawPanelDrawPicture);

    const PanelPicture half = takePicture({-50, -50});
    ASSERT_EQ(half.width(), 20);
    ASSERT_EQ(half.height(), 10);
    EXPECT_EQ((Pixels{half.pixel(9, 4), half.pixel(10, 4), half.pixel(9, 5), half.pixel(10, 5)}),
              (Pixels{kGreen, kRed, kBlue, kYellow}));

    // Below ten per cent counts as ten; 0 or absent is the own side; others are pixels.
    EXPECT_EQ(takePicture({-5, 0}).width(), 4);
    EXPECT_EQ(takePicture({-5, 0}).height(), 20);
    EXPECT_EQ(takePicture({-50}).height(), 20);
    EXPECT_EQ(takePicture({3, 2}).width() * 100 + takePicture({3, 2}).height(), 302);
    EXPECT_EQ(takePicture({-200, -100}).width(), 80);

    // A side below one pixel, or a file no memory could hold, gives no picture.
    HostWindow::setSize(5, 20);
    EXPECT_TRUE(takePicture({-10}).bytes.empty());
    EXPECT_TRUE(takePicture({-2000000000, -2000000000}).bytes.empty());
    EXPECT_TRUE(takePicture({2000000000, 2000000000}).bytes.empty());

    // Without auto-redraw there is no persistent bitmap; turning it on keeps what is shown.
    HostWindow::set(kDrawPanelAutoRedraw, 0);
    EXPECT_TRUE(takePicture().bytes.empty());
    HostWindow::set(kDrawPanelAutoRedraw, 1);
    EXPECT_EQ(takePicture().pixel(0, 0), kGreen);
    EXPECT_EQ(HostWindow::panel()->describe(), "panel 5x20, auto-redraw on");
}

TEST_F(PanelPictures, CentredBackgroundPictureIsShrunkToFitButNeverEnlarged)
{
    HostWindow::set(kDrawPanelBackgroundPictureMode, 2);
    HostWindow::setBackgroundPicture(quadrants(6));  // at (40 − 6) ÷ 2, (20 − 6) ÷ 2
    const PanelPicture centred = takePicture();
    EXPECT_EQ((Pixels{centred.pixel(16, 7), centred.pixel(17, 6), centred.pixel(17, 7)}),
              (Pixels{kWhite, kWhite, kGreen}));
    EXPECT_EQ((Pixels{centred.pixel(22, 12), centred.pixel(23, 12), centred.pixel(22, 13)}),
              (Pixels{kYellow, kWhite, kWhite}));

    // 60 × 60 on 40 × 20: the height ratio is the smaller, so 20 × 20 at x = 10.
    HostWindow::setBackgroundPicture(quadrants(60));
    const PanelPicture shrunk = takePicture();
    EXPECT_EQ((Pixels{shrunk.pixel(9, 0), shrunk.pixel(10, 0), shrunk.pixel(19, 9)}), (Pixels{kWhite, kGreen, kGreen}));
    EXPECT_EQ((Pixels{shrunk.pixel(20, 10), shrunk.pixel(29, 19), shrunk.pixel(30, 19)}),
              (Pixels{kYellow, kYellow, kWhite}));
}

TEST_F(PanelPictures, BackgroundPictureAtTheCornerAndTiled)
{
    const Pixels tile = {kRed, kGreen, kBlue, kYellow, kBlack, kRed};
    HostWindow::setBackgroundPicture(bmpFile(3, 2, tile));
    const PanelPicture corner = takePicture();
    EXPECT_EQ((Pixels{corner.pixel(1, 1), corner.pixel(3, 0), corner.pixel(0, 2)}), (Pixels{kBlack, kWhite, kWhite}));

    HostWindow::set(kDrawPanelBackgroundPictureMode, 1);
    const PanelPicture tiled = takePicture();
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(tiled.pixel(x, y), tile[static_cast<std::size_t>((y % 2) * 3 + x % 3)]) << x << "," << y;
}

TEST_F(PanelPictures, ClearRepaintsTheBackgroundPicture)
{
    HostWindow::setBackgroundPicture(quadrants(4));
    TestPicture black(plainBmp(1, 1, kBlack));
    Call().arg(black.handle()).arg(0).arg(0).arg(40).arg(20).run(drawPanelDrawPicture);
    Call().arg(3).arg(0).arg(10).arg(10).run(drawPanelClear);
    const PanelPicture part = takePicture();
    EXPECT_EQ((Pixels{part.pixel(2, 2), part.pixel(3, 0), part.pixel(3, 3), part.pixel(4, 3), part.pixel(13, 0)}),
              (Pixels{kBlack, kRed, kYellow, kWhite, kBlack}));

    Call().run(drawPanelClear);
    const PanelPicture whole = takePicture();
    EXPECT_EQ((Pixels{whole.pixel(0, 0), whole.pixel(3, 3), whole.pixel(39, 19)}), (Pixels{kGreen, kYellow, kWhite}));
}

TEST_F(PanelPictures, BackgroundPictureIsDecodedWhenPaintedAndReleasedWithThePanel)
{
    const std::size_t before = runtime::loadedPictureCount();
    const Bytes picture = quadrants(4);
    HostWindow::setBackgroundPicture(picture);
    EXPECT_EQ(runtime::loadedPictureCount(), before);
    EXPECT_EQ(takePicture().pixel(0, 0), kGreen);
    EXPECT_EQ(runtime::loadedPictureCount(), before + 1);
    const RuntimeValue stored = HostWindow::get(kDrawPanelBackgroundPicture);
    EXPECT_EQ(Bytes(byteSetData(stored), byteSetData(stored) + byteSetLength(stored)), picture);
    runtime::freeBlock(asPointer(stored));

    // Data that is no picture leaves the plain colour and no picture loaded.
    HostWindow::setBackgroundPicture({'B', 'M', 0, 0, 0});
    EXPECT_EQ(takePicture().pixels(), Pixels(40 * 20, kWhite));
    EXPECT_EQ(runtime::loadedPictureCount(), before);

    HostWindow::setBackgroundPicture(picture);
    takePicture();
    runtime::destroyLiveWindow(kWindowId);
    EXPECT_EQ(runtime::loadedPictureCount(), before);
}

TEST(PanelSize, AHiddenPanelFollowsItsSizeKeepingTheTopLeftContent)
{
    HostWindow window{{{kPanelType, 4, 3, false}}};
    ASSERT_TRUE(window.loaded());
    HostWindow::set(kDrawPanelAutoRedraw, 1);
    HostWindow::set(kDrawPanelBackgroundColour, kGreen);
    TestPicture red(plainBmp(1, 1, kRed));
    Call().arg(red.handle()).arg(0).arg(0).arg(4).arg(3).run(drawPanelDrawPicture);

    HostWindow::setSize(6, 5);
    const PanelPicture grown = takePicture();
    ASSERT_EQ(grown.width() * 100 + grown.height(), 605);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(grown.pixel(x, y), x < 4 && y < 3 ? kRed : kGreen) << x << "," << y;
}

TEST(PanelProperties, OutOfRangeValuesAreClamped)
{
    HostWindow window{{{kPanelType, 4, 4}}};
    const std::vector<std::array<std::uint32_t, 3>> cases = {
        {kDrawPanelBorderStyle, 9, 5}, {kDrawPanelBackgroundPictureMode, 0xFFFFFFFF, 0}, {kDrawPanelScaleMode, 6, 5},
        {kDrawPanelDrawMode, 16, 15}, {kDrawPanelPenWidth, 40000, 32767}, {kDrawPanelBrushType, 56, 55},
        {kDrawPanelPenColour, 0x12345678, 0x345678}, {kDrawPanelTextBackground, 0xFF000000, 0xFF000000},
        {kDrawPanelTextBackground, 0xFE123456, 0x123456}};
    for (const auto& [index, written, read] : cases) {
        HostWindow::set(static_cast<std::int32_t>(index), written);
        EXPECT_EQ(static_cast<std::uint32_t>(asInt(HostWindow::get(static_cast<std::int32_t>(index)))), read)
            << "property " << index;
    }
}

TEST(PanelCommands, DoNothingOnWhatIsNotALivePanel)
{
    HostWindow window{{{kPanelType, 4, 4}, {static_cast<std::uint32_t>(ff::UnitKind::Printer), 10, 10}}};
    ASSERT_TRUE(window.loaded());
    // The printer stand-in loads without a window of its own.
    EXPECT_EQ(runtime::findLiveUnit(kWindowId, unitId(2))->widget(), nullptr);

    TestPicture picture(plainBmp(1, 1, kRed));
    for (const RuntimeValue& ref : {HostWindow::ref(2), HostWindow::ref(9),
                                    makeUnitRef(kPanelType, ff::makeWindowId(0x43), unitId(1))}) {
        Call(ref).run(drawPanelClear);
        Call(ref).arg(0).arg(0).text("x").run(drawPanelWriteTextAt);
        EXPECT_EQ(Call(ref).text("x").runInt(drawPanelTextHeight), 0);
        EXPECT_EQ(Call(ref).arg(picture.handle()).runInt(drawPanelPictureWidth), 0);
        EXPECT_TRUE(Call(ref).runBytes(drawPanelGetPicture).empty());
    }
    RuntimeValue result{};
    drawPanelGetPicture(&result, 0, nullptr);
    EXPECT_EQ(asPointer(result), nullptr);
}

}  // namespace
}  // namespace quillora::test
