#include "pages/page_surfaces.h"

#include "common/core_calls.h"

#include "quillora/control_unit_commands.h"
#include "quillora/draw_panel_commands.h"
#include "quillora/printer_commands.h"

namespace quillora::app {

namespace {

// A unit's own properties can only be written while its window is loaded (the runtime ends the
// program otherwise); a window closed by the user during a render simply takes no more writes.
bool live(const UnitRef& unit)
{
    return isWindowLoaded(unit.windowId);
}

void writeKindProperty(const UnitRef& unit, std::int32_t index, const RuntimeValue& value)
{
    if (live(unit))
        writeProperty(unit, kindProperty(index), value);
}

}  // namespace

void writeFontProperty(const UnitRef& unit, std::int32_t property, const FontSpec& font, std::int32_t size)
{
    if (!live(unit))
        return;
    const FontValue value{font.angle, font.bold ? 1 : 0, font.italic ? 1 : 0, font.underline ? 1 : 0,
                          font.strikeout ? 1 : 0, size, font.name.c_str()};
    // The unit copies the value (and the face name) while the property is written.
    writeProperty(unit, kindProperty(property), makePointer(TypeCode::LongInteger, &value));
}

// --- drawing panel ------------------------------------------------------------------------------

void PanelSurface::setFont(const FontSpec& font, std::int32_t size)
{
    writeFontProperty(panel_, kDrawPanelFont, font, size);
}

std::int32_t PanelSurface::textWidth(const std::string& text)
{
    return asInt(callMethod(panel_, &drawPanelTextWidth, textValue(text)));
}

std::int32_t PanelSurface::textHeight(const std::string& text)
{
    return asInt(callMethod(panel_, &drawPanelTextHeight, textValue(text)));
}

void PanelSurface::writeText(std::int32_t x, std::int32_t y, const std::string& text)
{
    callMethod(panel_, &drawPanelWriteTextAt, makeInt(x), makeInt(y), textValue(text));
}

std::int32_t PanelSurface::pictureWidth(std::int32_t picture)
{
    return asInt(callMethod(panel_, &drawPanelPictureWidth, makeInt(picture)));
}

std::int32_t PanelSurface::pictureHeight(std::int32_t picture)
{
    return asInt(callMethod(panel_, &drawPanelPictureHeight, makeInt(picture)));
}

void PanelSurface::drawPicture(std::int32_t picture, std::int32_t x, std::int32_t y, std::int32_t width,
                               std::int32_t height)
{
    callMethod(panel_, &drawPanelDrawPicture, makeInt(picture), makeInt(x), makeInt(y), makeInt(width),
               makeInt(height), makeInt(1));
}

void PanelSurface::prepareAsPage()
{
    writeKindProperty(panel_, kDrawPanelAutoRedraw, makeBool(true));
    writeKindProperty(panel_, kDrawPanelScaleMode, makeInt(0));
}

void PanelSurface::resize(std::int32_t width, std::int32_t height)
{
    if (!live(panel_))
        return;
    writeProperty(panel_, kPropertyWidth, makeInt(width));
    writeProperty(panel_, kPropertyHeight, makeInt(height));
}

void PanelSurface::clear()
{
    callMethod(panel_, &drawPanelClear);
}

void PanelSurface::setVisible(bool visible)
{
    if (live(panel_))
        writeProperty(panel_, kPropertyVisible, makeBool(visible));
}

ByteSet PanelSurface::picture()
{
    return ByteSet::adopt(callMethod(panel_, &drawPanelGetPicture));
}

void PanelSurface::showBackground(const ByteSet& picture, std::int32_t mode)
{
    writeKindProperty(panel_, kDrawPanelAutoRedraw, makeBool(true));
    writeKindProperty(panel_, kDrawPanelBackgroundPictureMode, makeInt(mode));
    writeKindProperty(panel_, kDrawPanelBackgroundPicture, picture.value());
}

// --- printer --------------------------------------------------------------------------------------

void PrinterSurface::setFont(const FontSpec& font, std::int32_t size)
{
    writeFontProperty(printer_, kPrinterFont, font, size);
}

std::int32_t PrinterSurface::textWidth(const std::string& text)
{
    return asInt(callMethod(printer_, &printerTextWidth, textValue(text)));
}

std::int32_t PrinterSurface::textHeight(const std::string& text)
{
    return asInt(callMethod(printer_, &printerTextHeight, textValue(text)));
}

void PrinterSurface::writeText(std::int32_t x, std::int32_t y, const std::string& text)
{
    callMethod(printer_, &printerWriteTextAt, makeInt(x), makeInt(y), textValue(text));
}

std::int32_t PrinterSurface::pictureWidth(std::int32_t picture)
{
    return asInt(callMethod(printer_, &printerPictureWidth, makeInt(picture)));
}

std::int32_t PrinterSurface::pictureHeight(std::int32_t picture)
{
    return asInt(callMethod(printer_, &printerPictureHeight, makeInt(picture)));
}

void PrinterSurface::drawPicture(std::int32_t picture, std::int32_t x, std::int32_t y, std::int32_t width,
                                 std::int32_t height)
{
    callMethod(printer_, &printerDrawPicture, makeInt(picture), makeInt(x), makeInt(y), makeInt(width),
               makeInt(height), makeInt(1));
}

}  // namespace quillora::app
