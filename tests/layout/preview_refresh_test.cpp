// Edits made while the settings window's preview draws: the lost-focus handlers run as the user
// leaves each box (the page lets events through after every picture), and the preview ends showing
// what the boxes say. The edits are made from inside the drawing itself, at its first picture, so
// they land in the middle of a page whatever the speed of the machine.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "common/control_units.h"
#include "common/handlers.h"
#include "common/unit_calls.h"
#include "form_ids.h"
#include "layout_test_support.h"
#include "pages/progress_window.h"
#include "pagesetup/preview.h"
#include "pagesetup/print_settings.h"
#include "pagesetup/settings_window.h"
#include "quillora/control_unit_commands.h"
#include "runtime/core/window_loader.h"

namespace quillora::app {
namespace {

using settings_window::kSliderStepsPerPicture;

UnitRef progressBarUnit()
{
    return {forms::unit_type::ProcessBar, forms::ProgressWindow::id, forms::ProgressWindow::进度条_当前进度};
}

// What the watcher saw: the cells of the page being drawn at each picture.
std::vector<std::int32_t> cellsAtEachPicture;
// The edits to make at the first picture drawn; none once made.
void (*editsDuringDrawing)() = nullptr;

void pictureDrawn()
{
    cellsAtEachPicture.push_back(asInt(readProperty(progressBarUnit(), kindProperty(kProgressMaximum))));
    if (const auto edits = std::exchange(editsDuringDrawing, nullptr))
        edits();
}

// Typed and left as a user does: 1 into 每页有…行, Tab, 2 into …列, Tab.
void typeOneByTwo()
{
    EditBox(QUILLORA_SETTINGS_UNIT(编辑框_行数)).setText("1");
    编辑框_行数_失去焦点(EventArguments{});
    EditBox(QUILLORA_SETTINGS_UNIT(编辑框_列数)).setText("2");
    编辑框_列数_失去焦点(EventArguments{});
}

class PreviewRefreshTest : public testing::Test {
protected:
    void SetUp() override
    {
        // The window asks for printers: a print server that is not there gives the PDF printer.
        setenv("CUPS_SERVER", "127.0.0.1:1", 1);
        layout_test::installProgramWindows();
        PreviewSet& pictures = previewSet();
        pictures = PreviewSet{};
        for (int i = 0; i < 9; ++i) {
            const std::string name = "p" + std::to_string(i) + ".bmp";
            pictures.paths.push_back(
                layout_test::writePicture(folder.path() / name, layout_test::plainBmp(120, 90, 0x2040C0)));
            pictures.captions.push_back(name);
        }
        printSettings() = PrintSettings{};
        ASSERT_TRUE(runtime::loadWindow(forms::PrintSettingsWindow::id, false, 0));
        EditBox(QUILLORA_SETTINGS_UNIT(编辑框_行数)).setText("3");
        EditBox(QUILLORA_SETTINGS_UNIT(编辑框_列数)).setText("3");
        cellsAtEachPicture.clear();
        watchPicturesDrawn(&pictureDrawn);
    }
    void TearDown() override
    {
        watchPicturesDrawn(nullptr);
        editsDuringDrawing = nullptr;
        layout_test::unloadProgramWindows();
    }

    layout_test::TempFolder folder;
};

TEST_F(PreviewRefreshTest, TwoBoxesLeftWhileAPageDrawsAreDrawnOnceWhenItIsDone)
{
    editsDuringDrawing = &typeOneByTwo;
    refreshPreview();
    // The 3 × 3 page drawn whole, then one more page (not one per edit) of 1 × 2.
    const std::vector<std::int32_t> expected{9, 9, 9, 9, 9, 9, 9, 9, 9, 2, 2};
    EXPECT_EQ(cellsAtEachPicture, expected);
    EXPECT_FALSE(previewBusy());
    // The sliders followed the typed counts although a page was being drawn when they were left.
    EXPECT_EQ(SliderBar(QUILLORA_SETTINGS_UNIT(滑块条_行)).position(), 1 * kSliderStepsPerPicture);
    EXPECT_EQ(SliderBar(QUILLORA_SETTINGS_UNIT(滑块条_列)).position(), 2 * kSliderStepsPerPicture);
}

TEST_F(PreviewRefreshTest, WithoutEditsThePageIsDrawnOnce)
{
    refreshPreview();
    EXPECT_EQ(cellsAtEachPicture, std::vector<std::int32_t>(9, 9));
}

}  // namespace
}  // namespace quillora::app
