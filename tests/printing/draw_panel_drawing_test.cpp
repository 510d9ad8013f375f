// Drawing on a panel through its commands: clearing, pictures, text and measurements.
#include "panel_test_support.h"

#include "platform/device_fonts.h"

#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <QPixmap>
#include <QWidget>

#include <cmath>

namespace quillora::test {
namespace {

class PanelDrawing : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(window.loaded());
        HostWindow::set(kDrawPanelAutoRedraw, 1);
        HostWindow::set(kDrawPanelBackgroundColour, kWhite);
    }

    static void draw(const TestPicture& picture, std::initializer_list<std::int32_t> place)
    {
        Call call;
        call.arg(picture.handle());
        for (const std::int32_t number : place)
            call.arg(number);
        call.run(drawPanelDrawPicture);
    }

    HostWindow window{{{kPanelType, 20, 12}}};
};

TEST_F(PanelDrawing, ClearPaintsTheBackgroundAndMovesTheCurrentPosition)
{
    HostWindow::set(kDrawPanelBackgroundColour, kGreen);
    TestPicture red(plainBmp(20, 12, kRed));
    draw(red, {0, 0});
    Call().arg(2).arg(3).arg(4).arg(5).run(drawPanelClear);
    EXPECT_EQ(HostWindow::panel()->currentX(), 2);
    EXPECT_EQ(HostWindow::panel()->currentY(), 3);
    const PanelPicture part = takePicture();
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 20; ++x)
            EXPECT_EQ(part.pixel(x, y), x >= 2 && x < 6 && y >= 3 && y < 8 ? kGreen : kRed) << x << "," << y;

    Call().run(drawPanelClear);
    EXPECT_EQ(takePicture().pixels(), Pixels(20 * 12, kGreen));
    EXPECT_EQ(HostWindow::panel()->currentX(), 0);

    // A system colour is the desktop's colour for that part; a new colour repaints at once.
    HostWindow::set(kDrawPanelBackgroundColour, 0x80000005u);
    const QColor base = QGuiApplication::palette().color(QPalette::Active, QPalette::Base);
    EXPECT_EQ(takePicture().pixel(7, 7), platform::rgbColour(base.red(), base.green(), base.blue()));
    EXPECT_EQ(asInt(HostWindow::get(kDrawPanelBackgroundColour)), static_cast<std::int32_t>(0x80000005u));
}

TEST_F(PanelDrawing, DrawPictureAtItsOwnSizeAndStretched)
{
    TestPicture picture(bmpFile(2, 2, {kRed, kGreen, kBlue, kYellow}));
    draw(picture, {3, 4});
    const PanelPicture own = takePicture();
    EXPECT_EQ((Pixels{own.pixel(3, 4), own.pixel(4, 4), own.pixel(3, 5), own.pixel(4, 5)}),
              (Pixels{kRed, kGreen, kBlue, kYellow}));
    EXPECT_EQ(own.pixel(5, 4), kWhite);
    EXPECT_EQ(own.pixel(3, 6), kWhite);

    Call().run(drawPanelClear);
    draw(picture, {10, 2, 4, 6});
    const PanelPicture stretched = takePicture();
    for (int y = 1; y < 9; ++y)
        for (int x = 9; x < 15; ++x) {
            const bool inside = x >= 10 && x < 14 && y >= 2 && y < 8;
            const std::uint32_t expected = y < 5 ? (x < 12 ? kRed : kGreen) : (x < 12 ? kBlue : kYellow);
            EXPECT_EQ(stretched.pixel(x, y), inside ? expected : kWhite) << x << "," << y;
        }

    // A width given alone stretches across; the height stays the picture's own.
    Call().run(drawPanelClear);
    draw(picture, {0, 0, 4});
    EXPECT_EQ(takePicture().pixel(3, 1), kYellow);
    EXPECT_EQ(takePicture().pixel(3, 2), kWhite);
}

TEST_F(PanelDrawing, PicturesThatAreNotThereDrawNothing)
{
    const std::int32_t unloaded = runtime::loadPicture(plainBmp(1, 1, kRed));
    runtime::unloadPicture(unloaded);
    for (const std::int32_t handle : {0, unloaded, 77777}) {
        Call().arg(handle).arg(0).arg(0).arg(5).arg(5).run(drawPanelDrawPicture);
        EXPECT_EQ(Call().arg(handle).runInt(drawPanelPictureWidth), 0);
    }
    // A side of 0 or below draws nothing, rather than the picture's own size.
    TestPicture picture(plainBmp(1, 1, kRed));
    draw(picture, {0, 0, 0, 5});
    draw(picture, {0, 0, 5, -1});
    EXPECT_EQ(takePicture().pixels(), Pixels(20 * 12, kWhite));
}

TEST_F(PanelDrawing, TheWindowShowsTheContentInsideItsBorder)
{
    TestPicture picture(bmpFile(2, 1, {kRed, kGreen}));
    draw(picture, {0, 0});
    QWidget* widget = HostWindow::panel()->widget();
    const auto shown = [widget](int x, int y) { return widget->grab().toImage().pixelColor(x, y); };
    EXPECT_EQ(shown(0, 0), QColor(255, 0, 0));
    EXPECT_EQ(shown(1, 0), QColor(0, 255, 0));
    EXPECT_EQ(shown(2, 0), QColor(255, 255, 255));

    // A line border takes one pixel on every side from the client area.
    HostWindow::set(kDrawPanelBorderStyle, 1);
    EXPECT_EQ(takePicture().width(), 18);
    EXPECT_EQ(shown(1, 1), QColor(255, 0, 0));
    EXPECT_EQ(shown(2, 1), QColor(0, 255, 0));
}

TEST_F(PanelDrawing, MeasuresAndPositionsFollowTheScaleMode)
{
    TestPicture picture(plainBmp(96, 48, kRed));
    EXPECT_EQ(Call().arg(picture.handle()).runInt(drawPanelPictureWidth), 96);
    EXPECT_EQ(Call().arg(picture.handle()).runInt(drawPanelPictureHeight), 48);

    HostWindow::set(kDrawPanelScaleMode, 1);  // 0.1 mm
    const double dotsPerInch = platform::displayDotsPerInch();
    const auto tenths = [dotsPerInch](int pixels) { return static_cast<int>(std::lround(pixels * 254.0 / dotsPerInch)); };
    EXPECT_EQ(Call().arg(picture.handle()).runInt(drawPanelPictureWidth), tenths(96));
    EXPECT_EQ(Call().arg(picture.handle()).runInt(drawPanelPictureHeight), tenths(48));

    draw(picture, {tenths(10), tenths(2)});
    const PanelPicture drawn = takePicture();
    EXPECT_EQ(drawn.pixel(9, 5), kWhite);
    EXPECT_EQ(drawn.pixel(10, 1), kWhite);
    EXPECT_EQ(drawn.pixel(10, 2), kRed);
}

TEST_F(PanelDrawing, FontSizeAndScaleModeSetTheTextHeight)
{
    const auto height = [] { return Call().text("大").runInt(drawPanelTextHeight); };
    const std::int32_t nine = height();
    ASSERT_GT(nine, 0);
    HostWindow::set(kDrawPanelFont, 36, static_cast<std::int32_t>(FontMember::Size));
    EXPECT_NEAR(static_cast<double>(height()) / nine, 4.0, 0.5);
    EXPECT_EQ(asInt(HostWindow::get(kDrawPanelFont)), 36);

    // The whole font value at once; its face name is copied, not kept.
    std::string face = "楷体";
    const FontValue font{0, 1, 0, 0, 0, 9, face.c_str()};
    HostWindow::setPointer(kDrawPanelFont, &font);
    face = "no such face";
    const std::int32_t pixels = height();
    EXPECT_NEAR(pixels, nine, 2);

    // In 0.1 mm a font keeps its size on the screen.
    HostWindow::set(kDrawPanelScaleMode, 1);
    EXPECT_NEAR(height(), pixels * 254.0 / platform::displayDotsPerInch(), 4.0);
}

// The panel after one WriteTextAt of the values at (2, 1).
Pixels written(std::initializer_list<RuntimeValue> values)
{
    Call().run(drawPanelClear);
    Call call;
    call.arg(2).arg(1);
    for (const RuntimeValue& value : values)
        call.value(value);
    call.run(drawPanelWriteTextAt);
    return takePicture().pixels();
}

RuntimeValue text(const char* literal) { return makePointer(TypeCode::Text, literal); }

TEST(PanelText, LinesBreakAtCrLfAndLieTheirHeightPlusTwoPixelsApart)
{
    HostWindow window{{{kPanelType, 40, 90}}};
    ASSERT_TRUE(window.loaded());
    HostWindow::set(kDrawPanelAutoRedraw, 1);
    const std::int32_t lineHeight = Call().text("W").runInt(drawPanelTextHeight);
    ASSERT_GT(lineHeight, 0);

    // The reference: "W" written at y = 1 and at y = 1 + (height + 2) × lines.
    const auto reference = [lineHeight](int lines) {
        Call().run(drawPanelClear);
        Call().arg(2).arg(1).text("W").run(drawPanelWriteTextAt);
        Call().arg(2).arg(1 + lines * (lineHeight + 2)).text("W").run(drawPanelWriteTextAt);
        return takePicture().pixels();
    };
    const Pixels twoLines = reference(1);
    ASSERT_NE(twoLines, Pixels(40 * 90, kWhite));
    EXPECT_EQ(written({text("W\r\nW")}), twoLines);
    EXPECT_EQ(written({text("W\nW")}), twoLines);
    EXPECT_EQ(written({text("W\rW")}), twoLines);
    EXPECT_EQ(written({text("W"), text("W")}), twoLines);  // each value on a line of its own
    EXPECT_EQ(written({text("W\r\n\r\nW")}), reference(2));  // an empty line is as high as "W"
    EXPECT_EQ(written({makeInt(42)}), written({text("42")}));

    // The current position stays where Clear put it and is used when x and y are absent.
    Call().arg(2).arg(1).run(drawPanelClear);
    Call().arg(30).arg(40).text("W\nW").run(drawPanelWriteTextAt);
    EXPECT_EQ(HostWindow::panel()->currentY(), 1);
    Call().arg(2).arg(1).run(drawPanelClear);
    Call().absent().absent().text("W\nW").run(drawPanelWriteTextAt);
    EXPECT_EQ(takePicture().pixels(), twoLines);
}

}  // namespace
}  // namespace quillora::test
