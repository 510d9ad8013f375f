// "准备打印" in the settings window: every box into the record, once the layout is one that can
// be printed. A layout the page model could not divide (no rows, no paper, margins wider than the
// paper) is refused with the valid range; the window stays open and the record keeps what it had.
#include "pagesetup/settings_window.h"

#include "common/core_calls.h"
#include "common/handlers.h"
#include "common/number_text.h"
#include "pagesetup/preview.h"
#include "quillora/core_commands.h"

namespace quillora::app {
namespace settings_window {
namespace {

constexpr std::int32_t kWarningStyle = 48;
constexpr std::int32_t kFewestPictures = 1;
constexpr std::int32_t kMostPictures = 100;
// Tenths of a millimetre: from 1 mm to 2 m, past which the export canvas (one pixel per
// 0.1 mm) would need gigabytes.
constexpr std::int32_t kSmallestPaper = 10;
constexpr std::int32_t kLargestPaper = 20000;

std::int32_t tenthsOf(const UnitRef& box)
{
    return truncateToInt(numberOfText(EditBox(box).text()) * 10);
}

std::int32_t countOf(const UnitRef& box)
{
    return truncateToInt(numberOfText(EditBox(box).text()));
}

// The message box without a title shows the runtime's default one.
void showUntitled(const std::string& text)
{
    callCore(&MessageBox, makePointer(TypeCode::Text, text.c_str()), makeInt(0));
}

// The record as the boxes give it, in the steps of the window's OK.
PrintSettings settingsFromBoxes(const PrintSettings& former)
{
    PrintSettings settings = former;
    settings.printerName = ComboBox(QUILLORA_SETTINGS_UNIT(组合框_打印机列表)).selectedText();

    const std::string heightText = EditBox(QUILLORA_SETTINGS_UNIT(编辑框_高度)).text();
    const std::string widthText = EditBox(QUILLORA_SETTINGS_UNIT(编辑框_宽度)).text();
    settings.paperHeight = truncateToInt(numberOfText(heightText) * 10);
    settings.paperWidth = truncateToInt(numberOfText(widthText) * 10);
    settings.paperType = -1;
    if (widthText.empty() || heightText.empty())
        showUntitled("请重新设置一下纸张！");

    settings.marginTop = tenthsOf(QUILLORA_SETTINGS_UNIT(编辑框_上边距));
    settings.marginBottom = tenthsOf(QUILLORA_SETTINGS_UNIT(编辑框_下边距));
    settings.marginLeft = tenthsOf(QUILLORA_SETTINGS_UNIT(编辑框_左边距));
    settings.marginRight = tenthsOf(QUILLORA_SETTINGS_UNIT(编辑框_右边距));
    settings.headerOffset = tenthsOf(QUILLORA_SETTINGS_UNIT(编辑框_页眉距顶端));
    settings.footerOffset = tenthsOf(QUILLORA_SETTINGS_UNIT(编辑框_页脚距底端));

    settings.headerAlign = ComboBox(QUILLORA_SETTINGS_UNIT(组合框_页眉对齐)).selectedIndex();
    settings.footerAlign = ComboBox(QUILLORA_SETTINGS_UNIT(组合框_页脚对齐)).selectedIndex();
    settings.orientation = TickBox(QUILLORA_SETTINGS_UNIT(单选框_纵向打印)).checked() ? 0 : 1;
    settings.photoMode = ComboBox(QUILLORA_SETTINGS_UNIT(组合框_照片打印方式)).selectedIndex();

    // The printer clamps the copies to what it can do.
    settings.copies = leadingInteger(EditBox(QUILLORA_SETTINGS_UNIT(编辑框_打印份数)).text());

    // Spacings and the caption gap stay in tenths of a millimetre, as typed.
    settings.rows = countOf(QUILLORA_SETTINGS_UNIT(编辑框_行数));
    settings.columns = countOf(QUILLORA_SETTINGS_UNIT(编辑框_列数));
    settings.rowSpacing = countOf(QUILLORA_SETTINGS_UNIT(编辑框_行间距));
    settings.columnSpacing = countOf(QUILLORA_SETTINGS_UNIT(编辑框_列间距));
    settings.captionGap = countOf(QUILLORA_SETTINGS_UNIT(编辑框_文字距图片));

    settings.confirmed = 1;
    settings.toPictureFiles = TickBox(QUILLORA_SETTINGS_UNIT(选择框_打印到图片文件)).checked();
    settings.optimisation = ComboBox(QUILLORA_SETTINGS_UNIT(组合框_图片优化比率)).selectedIndex();
    settings.pictureFormat = ComboBox(QUILLORA_SETTINGS_UNIT(组合框_图片格式)).selectedIndex() + 1;
    return settings;
}

}  // namespace

std::string layoutProblem(const PrintSettings& settings)
{
    const auto outside = [](std::int32_t value, std::int32_t lowest, std::int32_t highest) {
        return value < lowest || value > highest;
    };
    if (outside(settings.rows, kFewestPictures, kMostPictures) || outside(settings.columns, kFewestPictures, kMostPictures))
        return "每页的行数和列数都必须在1到100之间，请重新输入。";
    if (outside(settings.paperWidth, kSmallestPaper, kLargestPaper)
        || outside(settings.paperHeight, kSmallestPaper, kLargestPaper))
        return "纸张的宽度和高度都必须在1到2000毫米之间，请重新设置纸张。";
    // Margins belong to the page as it is printed: a landscape page is as wide as the paper is high.
    const bool landscape = settings.orientation == 1;
    const std::int64_t pageWidth = landscape ? settings.paperHeight : settings.paperWidth;
    const std::int64_t pageHeight = landscape ? settings.paperWidth : settings.paperHeight;
    if (std::int64_t{settings.marginLeft} + settings.marginRight >= pageWidth)
        return "左边距与右边距之和必须小于页面宽度" + millimetreText(static_cast<std::int32_t>(pageWidth))
            + "毫米，请减小左边距或右边距。";
    if (std::int64_t{settings.marginTop} + settings.marginBottom >= pageHeight)
        return "上边距与下边距之和必须小于页面高度" + millimetreText(static_cast<std::int32_t>(pageHeight))
            + "毫米，请减小上边距或下边距。";
    return {};
}

}  // namespace settings_window

using namespace settings_window;

HandlerResult 按钮_确定_被单击(const EventArguments&)
{
    PrintSettings& settings = printSettings();
    PrintSettings proposed = settingsFromBoxes(settings);
    if (const std::string problem = layoutProblem(proposed); !problem.empty()) {
        messageBox(problem, kWarningStyle, "无法按此设置打印");
        return noValue();
    }
    settings = std::move(proposed);
    // A preview being drawn into the window finishes first; the settings are already stored.
    afterPreview(closeOnOwnRequest);
    return noValue();
}

}  // namespace quillora::app
