// The program's two panels in their own windows, used as the album program uses them: the
// off-screen page 画板_temp of the progress window and the preview 画板_预览 of the print settings
// window.
#include "form_ids.h"
#include "panel_test_support.h"

#include "runtime/core/form_template.h"

#include <QWidget>

namespace quillora::test {
namespace {

namespace qf = quillora::forms;

constexpr std::int32_t panelProperty(std::int32_t kindIndex) { return kindIndex + 8; }

HandlerResult ignoreEvent(const EventArguments&) { return noValue(); }

class ProgramPanels : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static const std::vector<EventHandler> handlers(qf::kHandlerCount, &ignoreEvent);
        auto read = runtime::readFormTemplates({qf::templateData, qf::templateDataBytes},
                                               {handlers.data(), handlers.size()});
        ASSERT_TRUE(read.ok());
        runtime::installFormTemplates(std::move(read.templates));
    }
    void TearDown() override
    {
        runtime::destroyLiveWindow(qf::ProgressWindow::id);
        runtime::destroyLiveWindow(qf::PrintSettingsWindow::id);
    }

    static void set(RuntimeValue panel, std::int32_t property, std::uint32_t value, std::int32_t member = -1)
    {
        runtime::writeUnitProperty(panel.low, panel.high, property, member, value, 0);
    }
};

TEST_F(ProgramPanels, TheHiddenPageOfTheProgressWindowTakesAWholePage)
{
    ASSERT_TRUE(runtime::loadWindow(qf::ProgressWindow::id, false, 0));
    const RuntimeValue page = makeUnitRef(kPanelType, qf::ProgressWindow::id, qf::ProgressWindow::画板_temp);
    ASSERT_NE(runtime::unitOf<runtime::DrawPanelUnit>(page), nullptr);
    EXPECT_TRUE(runtime::unitOf<runtime::DrawPanelUnit>(page)->widget()->isHidden());
    EXPECT_EQ(runtime::findLiveUnit(qf::ProgressWindow::id, qf::ProgressWindow::打印机1)->widget(), nullptr);

    set(page, panelProperty(kDrawPanelAutoRedraw), 1);
    set(page, panelProperty(kDrawPanelScaleMode), 0);
    set(page, 2, 2100);
    set(page, 3, 2970);
    set(page, panelProperty(kDrawPanelFont), 23, static_cast<std::int32_t>(FontMember::Size));
    Call(page).run(drawPanelClear);
    TestPicture photo(plainBmp(1180, 590, kBlue));
    Call(page).arg(photo.handle()).arg(200).arg(300).run(drawPanelDrawPicture);
    Call(page).arg(200).arg(900).text("a.jpg").run(drawPanelWriteTextAt);

    const PanelPicture picture{Call(page).runBytes(drawPanelGetPicture)};
    ASSERT_EQ(picture.width(), 2100);
    ASSERT_EQ(picture.height(), 2970);
    EXPECT_EQ((Pixels{picture.pixel(199, 300), picture.pixel(200, 300), picture.pixel(1379, 889),
                      picture.pixel(1380, 889), picture.pixel(1379, 890)}),
              (Pixels{kWhite, kBlue, kBlue, kWhite, kWhite}));
    EXPECT_GT(Call(page).text("大").runInt(drawPanelTextHeight), 23);
}

TEST_F(ProgramPanels, ThePreviewShowsAnA4PageCentredAtItsOwnSize)
{
    ASSERT_TRUE(runtime::loadWindow(qf::PrintSettingsWindow::id, false, 0));
    const RuntimeValue preview =
        makeUnitRef(kPanelType, qf::PrintSettingsWindow::id, qf::PrintSettingsWindow::画板_预览);
    ASSERT_NE(runtime::unitOf<runtime::DrawPanelUnit>(preview), nullptr);
    Call(preview).run(drawPanelClear);
    set(preview, panelProperty(kDrawPanelAutoRedraw), 1);
    set(preview, panelProperty(kDrawPanelBackgroundPictureMode), 2);
    const Bytes page = plainBmp(210, 297, kYellow);
    void* block = runtime::newByteSetBlock(page.data(), page.size());
    const RuntimeValue data = makePointer(TypeCode::ByteSet, block);
    runtime::writeUnitProperty(preview.low, preview.high, panelProperty(kDrawPanelBackgroundPicture), -1, data.low,
                               data.high);
    runtime::freeBlock(block);

    // 240 × 340 around 210 × 297: 15 pixels at either side, 21 above and 22 below.
    const PanelPicture shown{Call(preview).runBytes(drawPanelGetPicture)};
    ASSERT_EQ(shown.width(), 240);
    EXPECT_EQ((Pixels{shown.pixel(14, 21), shown.pixel(15, 21), shown.pixel(224, 317), shown.pixel(225, 317),
                      shown.pixel(224, 318), shown.pixel(15, 20)}),
              (Pixels{kWhite, kYellow, kYellow, kWhite, kWhite, kWhite}));
}

}  // namespace
}  // namespace quillora::test
