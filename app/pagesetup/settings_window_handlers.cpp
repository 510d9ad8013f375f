// The print settings window's edits: the paper list and the size boxes, the margin warnings, the
// count boxes and their sliders, the alignments, the font buttons, cancel and closing.
#include "pagesetup/settings_window.h"

#include <utility>

#include "common/core_calls.h"
#include "common/handlers.h"
#include "common/number_text.h"
#include "pagesetup/preview.h"

namespace quillora::app {
namespace settings_window {
namespace {

// The style of a message box with the warning icon.
constexpr std::int32_t kWarningStyle = 48;

bool ownCloseRequested = false;
bool windowClosing = false;

void tickCustomPaper(bool ticked)
{
    TickBox(QUILLORA_SETTINGS_UNIT(选择框_自定义纸张)).setChecked(ticked);
}

// A slider moved by the user writes its count into the box and leaves the focus there, so the
// preview is redrawn when the box loses the focus again.
void sliderMoved(const UnitRef& slider, const UnitRef& countBox)
{
    const std::int32_t count = SliderBar(slider).position() / kSliderStepsPerPicture;
    const EditBox box(countBox);
    box.setText(toText(count));
    box.focus();
}

void countBoxLeft(const UnitRef& countBox, const UnitRef& slider)
{
    if (closing())
        return;
    const double count = numberOfText(EditBox(countBox).text());
    SliderBar(slider).setPosition(truncateToInt(count * kSliderStepsPerPicture));
    refreshPreview();
}

void chooseFont(FontSpec& font)
{
    DialogFont shown{font.name, font.size, font.bold, font.italic, font.underline, font.strikeout};
    // A cancelled dialog changes nothing; the angle is never the dialog's to change.
    if (FontDialog(QUILLORA_SETTINGS_UNIT(通用对话框1)).choose(shown)) {
        font.bold = shown.bold;
        font.italic = shown.italic;
        font.underline = shown.underline;
        font.strikeout = shown.strikeout;
        font.size = shown.size;
        font.name = shown.name;
    }
    refreshPreview();
}

}  // namespace

void closeOnOwnRequest()
{
    ownCloseRequested = true;
    WindowHandle(forms::PrintSettingsWindow::id, forms::PrintSettingsWindow::ownRecord).close();
}

bool takeOwnCloseRequest()
{
    return std::exchange(ownCloseRequested, false);
}

bool closing()
{
    return windowClosing;
}

void setClosing(bool closing)
{
    windowClosing = closing;
}

}  // namespace settings_window

using namespace settings_window;

// --- paper ------------------------------------------------------------------------------------------

// A paper chosen from the list brings its size and printable margins. The size boxes are written
// from it, which ticks 自定义纸张类型 (their content changed); the paper is no custom size, so
// the tick is taken back afterwards. A form the printer cannot read leaves everything as it was
// rather than a paper of no size.
HandlerResult 列表框_纸张_列表项被选择(const EventArguments&)
{
    PrintSettings& settings = printSettings();
    PaperForm form{settings.paperWidth, settings.paperHeight, settings.marginTop,
                   settings.marginBottom, settings.marginLeft, settings.marginRight};
    if (!readPaperForm(ListBox(QUILLORA_SETTINGS_UNIT(列表框_纸张)).selectedText(), form))
        return noValue();
    settings.paperWidth = form.width;
    settings.paperHeight = form.height;
    // Each printable margin goes to its own side of the record.
    settings.marginTop = form.top;
    settings.marginBottom = form.bottom;
    settings.marginLeft = form.left;
    settings.marginRight = form.right;
    EditBox(QUILLORA_SETTINGS_UNIT(编辑框_高度)).setText(millimetreText(settings.paperHeight));
    EditBox(QUILLORA_SETTINGS_UNIT(编辑框_宽度)).setText(millimetreText(settings.paperWidth));
    refreshPreview();
    tickCustomPaper(false);
    return noValue();
}

HandlerResult 编辑框_宽度_内容被改变(const EventArguments&)
{
    tickCustomPaper(true);
    return noValue();
}

HandlerResult 编辑框_高度_内容被改变(const EventArguments&)
{
    tickCustomPaper(true);
    return noValue();
}

// --- margins ----------------------------------------------------------------------------------------

HandlerResult 编辑框_上边距_失去焦点(const EventArguments&)
{
    if (closing())
        return noValue();
    messageBox("部分打印机偏离上端约3毫米左右，因此要减小一下上边距", kWarningStyle, "修正上边距");
    refreshPreview();
    return noValue();
}

HandlerResult 编辑框_左边距_失去焦点(const EventArguments&)
{
    if (closing())
        return noValue();
    messageBox("部分打印机偏离左端约9毫米左右，因此要减小一下左边距", kWarningStyle, "修正左边距");
    refreshPreview();
    return noValue();
}

// --- rows and columns -----------------------------------------------------------------------------

HandlerResult 滑块条_行_位置被改变(const EventArguments&)
{
    sliderMoved(QUILLORA_SETTINGS_UNIT(滑块条_行), QUILLORA_SETTINGS_UNIT(编辑框_行数));
    return noValue();
}

HandlerResult 滑块条_列_位置被改变(const EventArguments&)
{
    sliderMoved(QUILLORA_SETTINGS_UNIT(滑块条_列), QUILLORA_SETTINGS_UNIT(编辑框_列数));
    return noValue();
}

HandlerResult 编辑框_行数_失去焦点(const EventArguments&)
{
    countBoxLeft(QUILLORA_SETTINGS_UNIT(编辑框_行数), QUILLORA_SETTINGS_UNIT(滑块条_行));
    return noValue();
}

HandlerResult 编辑框_列数_失去焦点(const EventArguments&)
{
    countBoxLeft(QUILLORA_SETTINGS_UNIT(编辑框_列数), QUILLORA_SETTINGS_UNIT(滑块条_列));
    return noValue();
}

// --- header, footer and caption ---------------------------------------------------------------------

// The preview draws its header from the record's alignment too, but only the footer's change
// redraws it.
HandlerResult 组合框_页眉对齐_列表被关闭(const EventArguments&)
{
    printSettings().headerAlign = ComboBox(QUILLORA_SETTINGS_UNIT(组合框_页眉对齐)).selectedIndex();
    return noValue();
}

HandlerResult 组合框_页脚对齐_列表被关闭(const EventArguments&)
{
    printSettings().footerAlign = ComboBox(QUILLORA_SETTINGS_UNIT(组合框_页脚对齐)).selectedIndex();
    refreshPreview();
    return noValue();
}

HandlerResult 按钮_字体_被单击(const EventArguments&)
{
    chooseFont(printSettings().captionFont);
    return noValue();
}

HandlerResult 按钮_页眉字体_被单击(const EventArguments&)
{
    chooseFont(printSettings().headerFont);
    return noValue();
}

HandlerResult 按钮_页脚字体_被单击(const EventArguments&)
{
    chooseFont(printSettings().footerFont);
    return noValue();
}

// --- cancel and closing -----------------------------------------------------------------------------

HandlerResult 按钮_取消_被单击(const EventArguments&)
{
    printSettings().confirmed = 0;
    afterPreview(closeOnOwnRequest);
    return noValue();
}

// The close box withdraws a confirmation like cancel does. OK and cancel close the window
// through the same request, so their own close keeps what OK stored. A preview being drawn
// into this window finishes first; the window closes then.
HandlerResult PrintSettingsWindow_可否被关闭(const EventArguments&)
{
    if (!takeOwnCloseRequest())
        printSettings().confirmed = 0;
    const bool mayClose = !previewBusy();
    if (!mayClose)
        afterPreview(closeOnOwnRequest);
    setClosing(mayClose);
    return returnBool(mayClose);
}

// A preview that never got to draw leaves the progress window it showed on the screen; it goes
// with the settings window.
HandlerResult PrintSettingsWindow_将被销毁(const EventArguments&)
{
    const WindowHandle progress(forms::ProgressWindow::id, forms::ProgressWindow::ownRecord);
    const UnitRef bar{forms::ProgressWindow::kind::进度条_当前进度, forms::ProgressWindow::id,
                      forms::ProgressWindow::进度条_当前进度};
    if (progress.loaded() && ProgressBar(bar).position() == 0)
        progress.setVisible(false);
    return noValue();
}

}  // namespace quillora::app
