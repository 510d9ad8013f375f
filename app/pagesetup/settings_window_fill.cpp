// Filling the print settings window when it is created: the printers and the papers of the
// printer, then the boxes from the settings record when the user confirmed settings before.
// Creation draws no preview; 画板_预览 stays empty until the first edit that refreshes it.
#include "pagesetup/settings_window.h"

#include "common/core_calls.h"
#include "common/handlers.h"
#include "common/number_text.h"

namespace quillora::app {
namespace settings_window {
namespace {

// Fonts with a size the font dialog cannot have reported (the record's start-up state is 9, but a
// record replaced by a job may carry anything) fall back to the faces the album was drawn for.
void fixFont(FontSpec& font, std::int32_t size, const char* name)
{
    if (font.size < 4) {
        font.size = size;
        font.name = name;
    }
}

void showTenths(const UnitRef& box, std::int32_t tenths)
{
    EditBox(box).setText(millimetreText(tenths));
}

void showCount(const UnitRef& box, std::int32_t count)
{
    EditBox(box).setText(toText(count));
}

void restoreBoxes(const PrintSettings& settings)
{
    TickBox(QUILLORA_SETTINGS_UNIT(选择框_自定义纸张)).setChecked(true);
    showTenths(QUILLORA_SETTINGS_UNIT(编辑框_宽度), settings.paperWidth);
    showTenths(QUILLORA_SETTINGS_UNIT(编辑框_高度), settings.paperHeight);
    showCount(QUILLORA_SETTINGS_UNIT(编辑框_行数), settings.rows);
    showCount(QUILLORA_SETTINGS_UNIT(编辑框_列数), settings.columns);
    showCount(QUILLORA_SETTINGS_UNIT(编辑框_行间距), settings.rowSpacing);
    showCount(QUILLORA_SETTINGS_UNIT(编辑框_列间距), settings.columnSpacing);
    showCount(QUILLORA_SETTINGS_UNIT(编辑框_文字距图片), settings.captionGap);
    showTenths(QUILLORA_SETTINGS_UNIT(编辑框_上边距), settings.marginTop);
    showTenths(QUILLORA_SETTINGS_UNIT(编辑框_下边距), settings.marginBottom);
    showTenths(QUILLORA_SETTINGS_UNIT(编辑框_左边距), settings.marginLeft);
    showTenths(QUILLORA_SETTINGS_UNIT(编辑框_右边距), settings.marginRight);
    showTenths(QUILLORA_SETTINGS_UNIT(编辑框_页眉距顶端), settings.headerOffset);
    showTenths(QUILLORA_SETTINGS_UNIT(编辑框_页脚距底端), settings.footerOffset);
    // The copies and the picture format come back too, so that a second OK does not quietly
    // turn them back into the form's one copy and JPEG.
    showCount(QUILLORA_SETTINGS_UNIT(编辑框_打印份数), settings.copies);
    ComboBox(QUILLORA_SETTINGS_UNIT(组合框_页眉对齐)).select(settings.headerAlign);
    ComboBox(QUILLORA_SETTINGS_UNIT(组合框_页脚对齐)).select(settings.footerAlign);
    ComboBox(QUILLORA_SETTINGS_UNIT(组合框_图片优化比率)).select(settings.optimisation);
    ComboBox(QUILLORA_SETTINGS_UNIT(组合框_照片打印方式)).select(settings.photoMode);
    ComboBox(QUILLORA_SETTINGS_UNIT(组合框_照片说明)).select(static_cast<std::int32_t>(captionKindOf(settings.captionKind)));
    ComboBox(QUILLORA_SETTINGS_UNIT(组合框_图片格式)).select(settings.pictureFormat - 1);
    const bool portrait = settings.orientation == 0;
    TickBox(QUILLORA_SETTINGS_UNIT(单选框_纵向打印)).setChecked(portrait);
    TickBox(QUILLORA_SETTINGS_UNIT(单选框_横向打印)).setChecked(!portrait);
    // The sliders follow the restored counts as they follow typed ones.
    SliderBar(QUILLORA_SETTINGS_UNIT(滑块条_行)).setPosition(truncateToInt(settings.rows * double{kSliderStepsPerPicture}));
    SliderBar(QUILLORA_SETTINGS_UNIT(滑块条_列)).setPosition(truncateToInt(settings.columns * double{kSliderStepsPerPicture}));
}

// The printer confirmed before (by the start of its name, letter case ignored), else the default
// printer, else the first one.
void selectPrinter(const PrintSettings& settings)
{
    const ComboBox printers(QUILLORA_SETTINGS_UNIT(组合框_打印机列表));
    std::int32_t index = -1;
    if (!settings.printerName.empty())
        index = printers.findItemStartingWith(settings.printerName);
    if (index < 0 && !settings.defaultPrinter.empty())
        index = printers.findItemStartingWith(settings.defaultPrinter);
    if (index < 0 && printers.itemCount() > 0)
        index = 0;
    if (index >= 0)
        printers.select(index);
}

void selectPaper()
{
    const ListBox papers(QUILLORA_SETTINGS_UNIT(列表框_纸张));
    std::int32_t index = papers.findItemStartingWith("A4");
    if (index < 0 && papers.itemCount() > 0)
        index = 0;
    if (index >= 0)
        papers.select(index);
}

void restoreFromRecord(PrintSettings& settings)
{
    settings.confirmed = 0;
    fixFont(settings.captionFont, 9, "宋体");
    fixFont(settings.headerFont, 8, "楷体");
    fixFont(settings.footerFont, 8, "楷体");
    if (settingsWereConfirmed(settings)) {
        restoreBoxes(settings);
    } else {
        // The record takes the alignments the combos show, so the first preview draws the
        // header and footer where the window says they go (the form centres both).
        settings.headerAlign = ComboBox(QUILLORA_SETTINGS_UNIT(组合框_页眉对齐)).selectedIndex();
        settings.footerAlign = ComboBox(QUILLORA_SETTINGS_UNIT(组合框_页脚对齐)).selectedIndex();
    }
    selectPrinter(settings);
    selectPaper();
    TickBox(QUILLORA_SETTINGS_UNIT(选择框_打印到图片文件)).setChecked(settings.toPictureFiles);
}

}  // namespace

bool settingsWereConfirmed(const PrintSettings& settings)
{
    return !settings.printerName.empty() || settings.rows > 0;
}

void fillWindow()
{
    setClosing(false);
    PrintSettings& settings = printSettings();
    const std::vector<std::string> printers = listPrinters();
    settings.defaultPrinter = defaultPrinterName();
    const std::vector<std::string> papers = listPaperNames();

    const ComboBox printerList(QUILLORA_SETTINGS_UNIT(组合框_打印机列表));
    for (const std::string& printer : printers)
        printerList.addItem(printer);
    const ListBox paperList(QUILLORA_SETTINGS_UNIT(列表框_纸张));
    for (const std::string& paper : papers)
        paperList.addItem(paper);

    restoreFromRecord(settings);
}

}  // namespace settings_window

HandlerResult PrintSettingsWindow_创建完毕(const EventArguments&)
{
    settings_window::fillWindow();
    return noValue();
}

}  // namespace quillora::app
