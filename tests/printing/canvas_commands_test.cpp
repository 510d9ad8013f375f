// The canvas commands the drawing panel and the printer share answer only to their own unit
// kind: a printer command handed a panel, or a panel command handed a printer, does nothing and
// returns 0, while each kind keeps its own answers.
#include "panel_test_support.h"

#include "quillora/printer_commands.h"
#include "runtime/printing/printer_unit.h"

namespace quillora::test {
namespace {

constexpr std::uint32_t kPrinterType = static_cast<std::uint32_t>(ff::UnitKind::Printer);

// A window holding a 20 × 20 panel (unit 1, auto-redraw on, cleared white) and a printer
// (unit 2) that has no job.
class CanvasUnits : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(window.loaded());
        ASSERT_NE(HostWindow::panel(), nullptr);
        ASSERT_NE(runtime::unitOf<runtime::PrinterUnit>(printer), nullptr);
        HostWindow::set(kDrawPanelAutoRedraw, 1);
        Call().run(drawPanelClear);
    }

    static bool panelIsBlank() { return takePicture().pixels() == Pixels(20 * 20, kWhite); }

    HostWindow window{{{kPanelType, 20, 20}, {kPrinterType, 0, 0, false}}};
    const RuntimeValue panel = HostWindow::ref(1);
    const RuntimeValue printer = makeUnitRef(kPrinterType, kWindowId, unitId(2));
    TestPicture photo{plainBmp(4, 3, kRed)};
};

TEST_F(CanvasUnits, PrinterCommandsLeaveAPanelAlone)
{
    Call(panel).arg(photo.handle()).arg(0).arg(0).run(printerDrawPicture);
    Call(panel).arg(0).arg(0).text("W").run(printerWriteTextAt);
    EXPECT_TRUE(panelIsBlank());
    EXPECT_EQ(Call(panel).text("W").runInt(printerTextWidth), 0);
    EXPECT_EQ(Call(panel).text("W").runInt(printerTextHeight), 0);
    EXPECT_EQ(Call(panel).arg(photo.handle()).runInt(printerPictureWidth), 0);
    EXPECT_EQ(Call(panel).arg(photo.handle()).runInt(printerPictureHeight), 0);
}

TEST_F(CanvasUnits, EachKindKeepsItsOwnAnswers)
{
    // An idle printer answers a picture's own pixel size, unconverted; the panel in pixels the
    // same; each refuses the other's commands.
    EXPECT_EQ(Call(printer).arg(photo.handle()).runInt(printerPictureWidth), 4);
    EXPECT_EQ(Call(printer).arg(photo.handle()).runInt(printerPictureHeight), 3);
    EXPECT_EQ(Call(printer).arg(photo.handle()).runInt(drawPanelPictureWidth), 0);
    EXPECT_EQ(Call(panel).arg(photo.handle()).runInt(drawPanelPictureWidth), 4);
    EXPECT_EQ(Call(panel).arg(photo.handle()).runInt(drawPanelPictureHeight), 3);
    // An idle printer measures no text; the panel does.
    EXPECT_EQ(Call(printer).text("W").runInt(printerTextWidth), 0);
    EXPECT_GT(Call(panel).text("W").runInt(drawPanelTextWidth), 0);

    Call(printer).arg(photo.handle()).arg(0).arg(0).run(drawPanelDrawPicture);
    EXPECT_FALSE(runtime::unitOf<runtime::PrinterUnit>(printer)->printing());
    Call(panel).arg(photo.handle()).arg(1).arg(2).run(drawPanelDrawPicture);
    const PanelPicture drawn = takePicture();
    EXPECT_EQ(drawn.pixel(1, 2), kRed);
    EXPECT_EQ(drawn.pixel(4, 4), kRed);
    EXPECT_EQ(drawn.pixel(5, 2), kWhite);
}

TEST_F(CanvasUnits, CallsWithoutTheirArgumentsDoNothing)
{
    for (const CommandFunction command : {printerTextWidth, printerPictureWidth, drawPanelTextHeight,
                                          drawPanelPictureHeight}) {
        RuntimeValue result = makeInt(7);
        command(&result, 0, nullptr);
        EXPECT_EQ(asInt(result), 0);
    }
    Call(panel).run(drawPanelDrawPicture);
    Call(panel).run(drawPanelWriteTextAt);
    EXPECT_TRUE(panelIsBlank());
    EXPECT_EQ(Call(panel).runInt(drawPanelPictureWidth), 0);
}

}  // namespace
}  // namespace quillora::test
