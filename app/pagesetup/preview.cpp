// The live preview of the settings window: the boxes read in whole millimetres, the first page
// drawn off-screen and shown in 画板_预览, centred and shrunk to fit.
#include "pagesetup/preview.h"

#include "common/core_calls.h"
#include "common/handlers.h"
#include "common/window_units.h"
#include "form_ids.h"
#include "pages/page_surfaces.h"
#include "pages/preview_page.h"
#include "pages/progress_window.h"
#include "pagesetup/print_settings.h"
#include "pagesetup/settings_page_job.h"
#include "pagesetup/settings_window.h"

#include <utility>
#include "quillora/control_unit_commands.h"
#include "quillora/core_commands.h"

namespace quillora::app {
namespace {

namespace sw = forms::PrintSettingsWindow;

// The preview always shrinks large pictures towards the smallest target.
constexpr std::int32_t kPreviewOptimisation = 1;

UnitRef settingsUnit(std::uint32_t typeCode, std::uint32_t unitId)
{
    return {typeCode, sw::id, unitId};
}

// The number an edit box holds (0 when it holds none), as the user typed it.
double boxNumber(std::uint32_t unitId)
{
    const std::string text = editText(settingsUnit(forms::unit_type::EditBox, unitId));
    return asDouble(callCore(&ToNumber, textValue(text)));
}

std::int32_t wholeNumber(std::uint32_t unitId)
{
    return truncated(boxNumber(unitId));
}

// A length typed in 0.1 mm, in whole millimetres.
std::int32_t tenthsAsMillimetres(std::uint32_t unitId)
{
    return truncated(boxNumber(unitId) / 10.0);
}

// The preview's job from the boxes as they stand, in whole millimetres (a spacing of 25 tenths
// becomes 2 mm), with the record's fonts and the preview set's pictures and lines.
PageJob previewJob()
{
    const PrintSettings& settings = printSettings();
    PageJob job;
    job.paperWidth = wholeNumber(sw::编辑框_宽度);
    job.paperHeight = wholeNumber(sw::编辑框_高度);
    job.rows = wholeNumber(sw::编辑框_行数);
    job.columns = wholeNumber(sw::编辑框_列数);
    job.rowSpacing = tenthsAsMillimetres(sw::编辑框_行间距);
    job.columnSpacing = tenthsAsMillimetres(sw::编辑框_列间距);
    job.captionGap = tenthsAsMillimetres(sw::编辑框_文字距图片);
    job.marginTop = wholeNumber(sw::编辑框_上边距);
    job.marginBottom = wholeNumber(sw::编辑框_下边距);
    job.marginLeft = wholeNumber(sw::编辑框_左边距);
    job.marginRight = wholeNumber(sw::编辑框_右边距);
    job.header.offset = wholeNumber(sw::编辑框_页眉距顶端);
    job.footer.offset = wholeNumber(sw::编辑框_页脚距底端);
    job.photoMode = asInt(readProperty(settingsUnit(forms::unit_type::ComboBox, sw::组合框_照片打印方式),
                                       kindProperty(kComboBoxSelectedIndex)));
    job.captionKind = captionKindOf(asInt(readProperty(settingsUnit(forms::unit_type::ComboBox, sw::组合框_照片说明),
                                                       kindProperty(kComboBoxSelectedIndex))));
    const bool landscape = asBool(readProperty(settingsUnit(forms::unit_type::RadioBox, sw::单选框_横向打印),
                                               kindProperty(kRadioBoxChecked)));
    job.orientation = landscape ? Orientation::Landscape : Orientation::Portrait;
    takeRecordFonts(job, settings);
    job.optimisation = optimisationLevel(settings, kPreviewOptimisation);
    takeBatch(job, previewSet());
    return job;
}

// Set while a refresh runs; a refresh asked for meanwhile is remembered and drawn by it.
bool refreshRunning = false;
bool refreshAsked = false;
void (*actionAfterRefresh)() = nullptr;

bool livePreviewWanted()
{
    return isWindowLoaded(sw::id) && isChecked(settingsUnit(forms::unit_type::CheckBox, sw::选择框_实时预览));
}

// 画板_预览 is 240 pixels wide; the reason is written inside a border of this many pixels.
constexpr std::int32_t kReasonBorder = 8;
constexpr std::int32_t kReasonWidth = 240 - 2 * kReasonBorder;

// The text broken into lines no wider than `width` on the surface (between characters: the
// reasons are Chinese, without spaces to break at), the lines joined by CR LF.
std::string wrappedText(PageSurface& surface, const std::string& text, std::int32_t width)
{
    std::string wrapped;
    std::string line;
    for (std::size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        const std::string character = text.substr(at, length);
        at += length;
        if (!line.empty() && surface.textWidth(line + character) > width) {
            wrapped += line + "\r\n";
            line.clear();
        }
        line += character;
    }
    return wrapped + line;
}

// A layout OK would refuse is not drawn: the panel shows no page, only why.
void showRefusal(PanelSurface& preview, const std::string& problem)
{
    // Writing the background picture repaints the whole panel without the page shown before.
    preview.showBackground(ByteSet(), 2);
    const FontSpec font;
    preview.setFont(font, font.size);
    preview.writeText(kReasonBorder, kReasonBorder, wrappedText(preview, problem, kReasonWidth));
}

void drawPreview()
{
    PanelSurface preview(settingsUnit(forms::unit_type::DrawPanel, sw::画板_预览));
    // The boxes as OK would store them, checked as OK checks them: a page is drawn only for a
    // layout that can be printed, so no typed number reaches the page loop unbounded.
    if (const std::string problem = layoutProblem(settings_window::settingsFromBoxes(printSettings()));
        !problem.empty()) {
        showRefusal(preview, problem);
        return;
    }
    preview.clear();
    const ByteSet page = RenderPreviewPage(previewJob());
    // The settings window may have gone while the page was drawn.
    if (isWindowLoaded(sw::id))
        preview.showBackground(page, 2);
    setProgressPosition(0);
}

}  // namespace

bool previewBusy()
{
    return refreshRunning;
}

void refreshPreview()
{
    if (!livePreviewWanted())
        return;
    // An edit made while a page is drawn (the page lets events through after every cell) is not
    // lost: the page is drawn once more when this one is done, however many edits came.
    if (refreshRunning) {
        refreshAsked = true;
        return;
    }
    refreshRunning = true;
    do {
        // The progress window goes only when the last page asked for is shown, so whoever waits
        // for it to go sees the finished preview.
        const ProgressWindowHold hold;
        do {
            refreshAsked = false;
            drawPreview();
            // Edits made as the page was finished arrive before the window goes.
            processEvents();
        } while (refreshAsked && livePreviewWanted());
    } while (refreshAsked && livePreviewWanted());
    refreshAsked = false;
    refreshRunning = false;
    if (const auto action = std::exchange(actionAfterRefresh, nullptr))
        action();
}

void afterPreview(void (*action)())
{
    if (refreshRunning)
        actionAfterRefresh = action;
    else
        action();
}

HandlerResult RefreshPreview(const EventArguments&)
{
    refreshPreview();
    return noValue();
}

}  // namespace quillora::app
