// The live preview of the settings window: the boxes read in whole millimetres, the first page
// drawn off-screen and shown in 画板_预览, centred and shrunk to fit.
#include "pagesetup/preview.h"

#include "common/core_calls.h"
#include "common/handlers.h"
#include "common/window_units.h"
#include "form_ids.h"
#include "pagesetup/page_model.h"
#include "pagesetup/page_surfaces.h"
#include "pagesetup/preview_page.h"
#include "pagesetup/render_state.h"
#include "printjob/progress_window.h"
#include "quillora/control_unit_commands.h"
#include "quillora/core_commands.h"

namespace quillora::app {
namespace {

namespace sw = forms::PrintSettingsWindow;

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

PreviewPageInput readSettingsBoxes()
{
    PreviewPageInput input;
    input.pageWidth = wholeNumber(sw::编辑框_宽度);
    input.pageHeight = wholeNumber(sw::编辑框_高度);
    input.rows = wholeNumber(sw::编辑框_行数);
    input.columns = wholeNumber(sw::编辑框_列数);
    input.rowSpacing = tenthsAsMillimetres(sw::编辑框_行间距);
    input.columnSpacing = tenthsAsMillimetres(sw::编辑框_列间距);
    input.captionGap = tenthsAsMillimetres(sw::编辑框_文字距图片);
    input.marginTop = wholeNumber(sw::编辑框_上边距);
    input.marginBottom = wholeNumber(sw::编辑框_下边距);
    input.marginLeft = wholeNumber(sw::编辑框_左边距);
    input.marginRight = wholeNumber(sw::编辑框_右边距);
    input.headerOffset = wholeNumber(sw::编辑框_页眉距顶端);
    input.footerOffset = wholeNumber(sw::编辑框_页脚距底端);
    input.photoMode = asInt(readProperty(settingsUnit(forms::unit_type::ComboBox, sw::组合框_照片打印方式),
                                         kindProperty(kComboBoxSelectedIndex)));
    input.landscape = asBool(readProperty(settingsUnit(forms::unit_type::RadioBox, sw::单选框_横向打印),
                                          kindProperty(kRadioBoxChecked)));
    return input;
}

}  // namespace

void refreshPreview()
{
    RenderState& state = renderState();
    if (!isWindowLoaded(sw::id) || state.previewBusy)
        return;
    if (!isChecked(settingsUnit(forms::unit_type::CheckBox, sw::选择框_实时预览)))
        return;
    state.previewBusy = true;

    PanelSurface preview(settingsUnit(forms::unit_type::DrawPanel, sw::画板_预览));
    preview.clear();
    PreviewPageInput input = readSettingsBoxes();
    const PrintSettings& settings = printSettings();
    const PreviewSet& set = previewSet();
    input.captionFont = settings.captionFont;
    input.header = set.header;
    input.footer = set.footer;
    input.paths = set.paths;
    input.ratios = set.values;
    input.captions = set.captions;
    const ByteSet page = RenderPreviewPage(std::move(input));

    // The settings window may have gone while the page was drawn.
    if (isWindowLoaded(sw::id))
        preview.showBackground(page, 2);
    setProgressPosition(0);
    state.previewBusy = false;
}

HandlerResult RefreshPreview(const EventArguments&)
{
    refreshPreview();
    return noValue();
}

}  // namespace quillora::app
