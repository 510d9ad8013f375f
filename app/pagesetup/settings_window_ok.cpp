// "准备打印" in the settings window: every box into the record, once the layout is one that can
// be printed. A layout that layoutProblem() finds fault with (a count, a paper side, a margin, a
// distance or a spacing out of its range, or cells with no room) is refused with the valid range;
// the window stays open and the record keeps what it had.
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

}  // namespace

PrintSettings settingsFromBoxes(const PrintSettings& former)
{
    PrintSettings settings = former;
    settings.printerName = ComboBox(QUILLORA_SETTINGS_UNIT(组合框_打印机列表)).selectedText();

    const std::string heightText = EditBox(QUILLORA_SETTINGS_UNIT(编辑框_高度)).text();
    const std::string widthText = EditBox(QUILLORA_SETTINGS_UNIT(编辑框_宽度)).text();
    settings.paperHeight = truncateToInt(numberOfText(heightText) * 10);
    settings.paperWidth = truncateToInt(numberOfText(widthText) * 10);
    settings.paperType = -1;

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
    settings.captionKind = ComboBox(QUILLORA_SETTINGS_UNIT(组合框_照片说明)).selectedIndex();

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

bool paperBoxEmpty()
{
    return EditBox(QUILLORA_SETTINGS_UNIT(编辑框_宽度)).text().empty()
        || EditBox(QUILLORA_SETTINGS_UNIT(编辑框_高度)).text().empty();
}

}  // namespace settings_window

using namespace settings_window;

HandlerResult 按钮_确定_被单击(const EventArguments&)
{
    PrintSettings& settings = printSettings();
    PrintSettings proposed = settingsFromBoxes(settings);
    if (paperBoxEmpty())
        showUntitled("请重新设置一下纸张！");
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
