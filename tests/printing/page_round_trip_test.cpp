// A page on its way to a landscape print: pictures and text drawn on the progress window's hidden
// panel 画板_temp, taken out with GetPicture, loaded into a bitmap object and turned a quarter
// clockwise, all through the runtime's entry table as the album program calls it.
#include "form_ids.h"
#include "panel_test_support.h"

#include "quillora/dib_commands.h"
#include "runtime/core/form_template.h"

namespace quillora::test {
namespace {

namespace qf = quillora::forms;

constexpr int kPageWidth = 300;
constexpr int kPageHeight = 200;

// Properties every unit has come first; a drawing panel's own ones are numbered after them.
constexpr std::int32_t kWidthProperty = 2;
constexpr std::int32_t kHeightProperty = 3;
constexpr std::int32_t panelProperty(std::int32_t kindIndex) { return kindIndex + 8; }

// Rectangles in pixels of the page before it is turned: [left, left + width) x [top, top + height).
struct Box {
    int left, top, width, height;
    bool contains(int x, int y) const { return x >= left && x < left + width && y >= top && y < top + height; }
    Box grown(int margin) const { return {left - margin, top - margin, width + 2 * margin, height + 2 * margin}; }
    bool operator==(const Box&) const = default;
};

// A quarter turn clockwise takes the page's pixel (x, y) to (height - 1 - y, x) of the turned page:
// the top row becomes the right-hand column.
Box turned(const Box& box)
{
    return {kPageHeight - box.top - box.height, box.left, box.height, box.width};
}

// A 4 x 3 picture stretched to 40 x 30, and a 20 x 50 one at its own size.
constexpr Box kRedBox{10, 20, 40, 30};
constexpr Box kBlueBox{250, 120, 20, 50};
constexpr int kTextLeft = 70;
constexpr int kTextTop = 90;
constexpr const char* kText = "Album 2024";

// A pixel counts as ink when every channel is well below white.
bool isDark(std::uint32_t colour)
{
    return (colour & 0xFF) < 0x80 && ((colour >> 8) & 0xFF) < 0x80 && ((colour >> 16) & 0xFF) < 0x80;
}

HandlerResult ignoreEvent(const EventArguments&) { return noValue(); }

RuntimeValue command(std::int32_t library, CommandFunction function, std::vector<RuntimeValue> args)
{
    const auto count = static_cast<std::int32_t>(args.size());
    args.push_back({});  // a valid pointer even for no arguments
    return runtimeEntries().CallLibraryCommand(library, function, count, args.data());
}

// The bytes of a byte set a command handed out, the block given back.
Bytes takeBytes(const RuntimeValue& value)
{
    Bytes bytes(byteSetData(value), byteSetData(value) + byteSetLength(value));
    runtimeEntries().FreeBlock(asPointer(value));
    return bytes;
}

class PageRoundTrip : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static const std::vector<EventHandler> handlers(qf::kHandlerCount, &ignoreEvent);
        auto read = runtime::readFormTemplates({qf::templateData, qf::templateDataBytes},
                                               {handlers.data(), handlers.size()});
        ASSERT_TRUE(read.ok());
        runtime::installFormTemplates(std::move(read.templates));
    }

    void SetUp() override
    {
        ASSERT_TRUE(runtime::loadWindow(qf::ProgressWindow::id, false, 0));
        setPage(panelProperty(kDrawPanelAutoRedraw), 1);
        setPage(panelProperty(kDrawPanelScaleMode), 0);
        setPage(kWidthProperty, kPageWidth);
        setPage(kHeightProperty, kPageHeight);
        // Caption-sized bold text, as the album writes file names under its pictures, inks enough
        // pixels to tell text from a few stray dots.
        setPage(panelProperty(kDrawPanelFont), 20, FontMember::Size);
        setPage(panelProperty(kDrawPanelFont), 1, FontMember::Bold);
        panelCommand(drawPanelClear, {});

        const TestPicture red(plainBmp(4, 3, kRed));
        const TestPicture blue(plainBmp(kBlueBox.width, kBlueBox.height, kBlue));
        panelCommand(drawPanelDrawPicture, {makeInt(red.handle()), makeInt(kRedBox.left), makeInt(kRedBox.top),
                                             makeInt(kRedBox.width), makeInt(kRedBox.height)});
        panelCommand(drawPanelDrawPicture, {makeInt(blue.handle()), makeInt(kBlueBox.left), makeInt(kBlueBox.top)});
        const RuntimeValue text = makePointer(TypeCode::Text, kText);
        panelCommand(drawPanelWriteTextAt, {makeInt(kTextLeft), makeInt(kTextTop), text});
        textBox_ = {kTextLeft, kTextTop, asInt(panelCommand(drawPanelTextWidth, {text})),
                    asInt(panelCommand(drawPanelTextHeight, {text}))};

        page_.bytes = takeBytes(panelCommand(drawPanelGetPicture, {}));
        ASSERT_EQ(page_.width(), kPageWidth);
        ASSERT_EQ(page_.height(), kPageHeight);

        dib_ = command(kBitmapLibrary, dibCreate, {});
        const RuntimeValue data = makePointer(TypeCode::ByteSet, runtime::newByteSetBlock(page_.bytes.data(),
                                                                                          page_.bytes.size()));
        const bool loaded = asBool(command(kBitmapLibrary, dibLoadFromData, {dib_, data}));
        runtimeEntries().FreeBlock(asPointer(data));
        ASSERT_TRUE(loaded);
        // A black fill shows up as stray pixels wherever the turn leaves a pixel of the page out.
        turnedDib_ = command(kBitmapLibrary, dibRotate, {dib_, makeDouble(90.0), makeInt(kBlack)});
        turned_.bytes = takeBytes(command(kBitmapLibrary, dibGetData, {turnedDib_}));
        ASSERT_EQ(turned_.width(), kPageHeight);
        ASSERT_EQ(turned_.height(), kPageWidth);
    }

    void TearDown() override
    {
        command(kBitmapLibrary, dibDestroy, {turnedDib_});
        command(kBitmapLibrary, dibDestroy, {dib_});
        runtime::destroyLiveWindow(qf::ProgressWindow::id);
    }

    static RuntimeValue page()
    {
        return makeUnitRef(qf::unit_type::DrawPanel, qf::ProgressWindow::id, qf::ProgressWindow::画板_temp);
    }
    static void setPage(std::int32_t property, std::uint32_t value, FontMember member = FontMember::Whole)
    {
        runtimeEntries().WriteUnitProperty(page().low, page().high, property, static_cast<std::int32_t>(member), value,
                                           0);
    }
    static RuntimeValue panelCommand(CommandFunction function, std::vector<RuntimeValue> args)
    {
        args.insert(args.begin(), page());
        return command(kDrawPanelLibrary, function, std::move(args));
    }

    Box textBox_{};
    PanelPicture page_;
    PanelPicture turned_;
    RuntimeValue dib_{};
    RuntimeValue turnedDib_{};
};

TEST_F(PageRoundTrip, PicturesLandWhereAClockwiseQuarterTurnPutsThem)
{
    // The red box lies near the top-left corner of the page, so it ends near the top-right
    // corner of the turned page; the blue one near the bottom-right ends near the bottom-left.
    const Box red = turned(kRedBox);
    const Box blue = turned(kBlueBox);
    EXPECT_EQ(red, (Box{150, 10, 30, 40}));
    const auto inside = [this](const Box& box) {
        return Pixels{turned_.pixel(box.left, box.top), turned_.pixel(box.left + box.width - 1, box.top),
                      turned_.pixel(box.left, box.top + box.height - 1),
                      turned_.pixel(box.left + box.width - 1, box.top + box.height - 1)};
    };
    const auto around = [this](const Box& box) {
        return Pixels{turned_.pixel(box.left - 1, box.top), turned_.pixel(box.left + box.width, box.top),
                      turned_.pixel(box.left, box.top - 1), turned_.pixel(box.left, box.top + box.height)};
    };
    EXPECT_EQ(inside(red), Pixels(4, kRed));
    EXPECT_EQ(around(red), Pixels(4, kWhite));
    EXPECT_EQ(inside(blue), Pixels(4, kBlue));
    EXPECT_EQ(around(blue), Pixels(4, kWhite));
}

TEST_F(PageRoundTrip, EveryPixelOfThePageMovesAsAQuarterTurnMovesIt)
{
    int moved = 0;
    for (int y = 0; y < kPageHeight; ++y)
        for (int x = 0; x < kPageWidth; ++x)
            moved += turned_.pixel(kPageHeight - 1 - y, x) == page_.pixel(x, y);
    EXPECT_EQ(moved, kPageWidth * kPageHeight);
}

TEST_F(PageRoundTrip, TextIsInkedInItsTurnedBoxAndTheRestOfThePageStaysWhite)
{
    ASSERT_GT(textBox_.width, 0);
    ASSERT_GT(textBox_.height, 0);
    const Box text = turned(textBox_);
    // A glyph's ink may reach a pixel or two past its advance (the last bold "4" does), so the
    // page must be white only beyond a small margin around the measured text.
    const Box textInk = text.grown(2);
    const Box red = turned(kRedBox);
    const Box blue = turned(kBlueBox);
    // The line runs down the turned page: its first glyphs fall in the upper half of the turned
    // box, its last ones in the lower half.
    int inkAbove = 0;
    int inkBelow = 0;
    int strayPixels = 0;
    for (int y = 0; y < kPageWidth; ++y)
        for (int x = 0; x < kPageHeight; ++x) {
            const std::uint32_t colour = turned_.pixel(x, y);
            if (text.contains(x, y))
                (y < text.top + text.height / 2 ? inkAbove : inkBelow) += isDark(colour);
            else if (!textInk.contains(x, y) && !red.contains(x, y) && !blue.contains(x, y))
                strayPixels += colour != kWhite;
        }
    // Five bold glyphs of several strokes each on either side: far more than a few dots.
    EXPECT_GT(inkAbove, 100);
    EXPECT_GT(inkBelow, 100);
    EXPECT_EQ(strayPixels, 0);
}

}  // namespace
}  // namespace quillora::test
