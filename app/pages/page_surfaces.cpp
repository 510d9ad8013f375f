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

namespace {

const CanvasCommands kPanelCommands{kDrawPanelFont,          &drawPanelTextWidth,    &drawPanelTextHeight,
                                    &drawPanelWriteTextAt,   &drawPanelPictureWidth, &drawPanelPictureHeight,
                                    &drawPanelDrawPicture};
const CanvasCommands kPrinterCommands{kPrinterFont,         &printerTextWidth,    &printerTextHeight,
                                      &printerWriteTextAt,  &printerPictureWidth, &printerPictureHeight,
                                      &printerDrawPicture};

// The picture is stretched into its rectangle with the copy raster mode.
constexpr std::int32_t kCopyMode = 1;

}  // namespace

// --- any canvas -----------------------------------------------------------------------------------

void CanvasSurface::setFont(const FontSpec& font, std::int32_t size)
{
    writeFontProperty(unit_, commands_.fontProperty, font, size);
}

std::int32_t CanvasSurface::textWidth(const std::string& text)
{
    return asInt(callMethod(unit_, commands_.textWidth, textValue(text)));
}

std::int32_t CanvasSurface::textHeight(const std::string& text)
{
    return asInt(callMethod(unit_, commands_.textHeight, textValue(text)));
}

void CanvasSurface::writeText(std::int32_t x, std::int32_t y, const std::string& text)
{
    callMethod(unit_, commands_.writeTextAt, makeInt(x), makeInt(y), textValue(text));
}

std::int32_t CanvasSurface::pictureWidth(std::int32_t picture)
{
    return asInt(callMethod(unit_, commands_.pictureWidth, makeInt(picture)));
}

std::int32_t CanvasSurface::pictureHeight(std::int32_t picture)
{
    return asInt(callMethod(unit_, commands_.pictureHeight, makeInt(picture)));
}

void CanvasSurface::drawPicture(std::int32_t picture, std::int32_t x, std::int32_t y, std::int32_t width,
                                std::int32_t height)
{
    callMethod(unit_, commands_.drawPicture, makeInt(picture), makeInt(x), makeInt(y), makeInt(width),
               makeInt(height), makeInt(kCopyMode));
}

void CanvasSurface::drawPicturePart(std::int32_t picture, const PictureRect& drawn, const PictureRect& source)
{
    callMethod(unit_, commands_.drawPicture, makeInt(picture), makeInt(drawn.x), makeInt(drawn.y),
               makeInt(drawn.width), makeInt(drawn.height), makeInt(kCopyMode), makeInt(source.x), makeInt(source.y),
               makeInt(source.width), makeInt(source.height));
}

// --- drawing panel ------------------------------------------------------------------------------

PanelSurface::PanelSurface(UnitRef panel) : CanvasSurface(panel, kPanelCommands)
{
}

void PanelSurface::prepareAsPage()
{
    writeKindProperty(unit(), kDrawPanelAutoRedraw, makeBool(true));
    writeKindProperty(unit(), kDrawPanelScaleMode, makeInt(0));
}

void PanelSurface::resize(std::int32_t width, std::int32_t height)
{
    if (!live(unit()))
        return;
    writeProperty(unit(), kPropertyWidth, makeInt(width));
    writeProperty(unit(), kPropertyHeight, makeInt(height));
}

void PanelSurface::clear()
{
    callMethod(unit(), &drawPanelClear);
}

ByteSet PanelSurface::picture()
{
    return ByteSet::adopt(callMethod(unit(), &drawPanelGetPicture));
}

std::int32_t PanelSurface::bitmapWidth()
{
    return live(unit()) ? asInt(readProperty(unit(), kindProperty(kDrawPanelBitmapWidth))) : 0;
}

std::int32_t PanelSurface::bitmapHeight()
{
    return live(unit()) ? asInt(readProperty(unit(), kindProperty(kDrawPanelBitmapHeight))) : 0;
}

void PanelSurface::showBackground(const ByteSet& picture, std::int32_t mode)
{
    writeKindProperty(unit(), kDrawPanelAutoRedraw, makeBool(true));
    writeKindProperty(unit(), kDrawPanelBackgroundPictureMode, makeInt(mode));
    writeKindProperty(unit(), kDrawPanelBackgroundPicture, picture.value());
}

// --- printer --------------------------------------------------------------------------------------

PrinterSurface::PrinterSurface(UnitRef printer) : CanvasSurface(printer, kPrinterCommands)
{
}

}  // namespace quillora::app
