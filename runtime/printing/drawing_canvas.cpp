#include "runtime/printing/drawing_canvas.h"

#include "platform/device_fonts.h"
#include "runtime/picture/picture_drawing.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace quillora::runtime {
namespace {

// Fonts beyond this many points are held at it: larger text does not fit on any page, and the
// font engine would spend its memory on giant glyphs.
constexpr std::int32_t kMaxFontPoints = 4096;

// Lines of text lie this many device pixels apart, below each line's height.
constexpr int kLineGap = 2;

int saturatedSum(int a, int b)
{
    const std::int64_t sum = std::int64_t{a} + b;
    return static_cast<int>(std::clamp<std::int64_t>(sum, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

// A device extent from two device edges, held in the int range.
int extentBetween(int from, int to)
{
    const std::int64_t extent = std::int64_t{to} - from;
    return static_cast<int>(std::clamp<std::int64_t>(extent, std::numeric_limits<int>::min(),
                                                        std::numeric_limits<int>::max()));
}

RuntimeValue integerValue(std::int64_t value)
{
    return makeInt(static_cast<std::int32_t>(value));
}

}  // namespace

std::vector<std::string_view> splitTextLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] != '\r' && text[at] != '\n')
            continue;
        lines.push_back(text.substr(start, at - start));
        if (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n')
            ++at;
        start = at + 1;
    }
    lines.push_back(text.substr(start));
    return lines;
}

DrawingCanvas::DrawingCanvas(FontRule rule, platform::ColourRef textBackground)
    : fontRule_(rule), textBackground_(textBackground)
{
}

void DrawingCanvas::takeTemplateFont(const std::optional<FontTemplate>& font)
{
    if (!font)
        return;
    font_.angleTenths = font->angleTenths;
    font_.bold = font->bold;
    font_.italic = font->italic;
    font_.underline = font->underline;
    font_.strikeOut = font->strikeOut;
    font_.sizePoints = font->sizePoints;
    font_.faceName = font->faceName;
}

std::optional<RuntimeValue> DrawingCanvas::readState(std::int32_t offset) const
{
    switch (offset) {
    case kScaleMode: return integerValue(static_cast<int>(scaleMode_));
    case kPenType: return integerValue(static_cast<int>(penType_));
    case kDrawMode: return integerValue(drawMode_);
    case kPenWidth: return integerValue(penWidth_);
    case kPenColour: return integerValue(penColour_);
    case kBrushType: return integerValue(brushType_);
    case kBrushColour: return integerValue(brushColour_);
    case kTextColour: return integerValue(textColour_);
    case kTextBackground: return integerValue(textBackground_);
    case kFont: return integerValue(font_.sizePoints);
    default: return std::nullopt;
    }
}

bool DrawingCanvas::writeState(std::int32_t offset, std::int32_t member, std::uint32_t payloadLow,
                               std::uint32_t payloadHigh)
{
    const auto number = static_cast<std::int32_t>(payloadLow);
    const auto rgb = static_cast<platform::ColourRef>(payloadLow & 0x00FFFFFFu);
    switch (offset) {
    case kScaleMode: scaleMode_ = platform::scaleModeFromValue(number); return true;
    case kPenType: penType_ = static_cast<platform::PenType>(std::clamp(number, 0, 6)); return true;
    case kDrawMode: drawMode_ = std::clamp(number, 0, 15); return true;
    case kPenWidth: penWidth_ = std::clamp(number, 0, 32767); return true;
    case kPenColour: penColour_ = rgb; return true;
    case kBrushType: brushType_ = std::clamp(number, 0, 55); return true;
    case kBrushColour: brushColour_ = rgb; return true;
    case kTextColour: textColour_ = rgb; return true;
    case kTextBackground:
        textBackground_ = payloadLow == platform::kTransparentTextBackground ? payloadLow : rgb;
        return true;
    case kFont: writeFont(member, payloadLow, payloadHigh); return true;
    default: return false;
    }
}

void DrawingCanvas::writeFont(std::int32_t member, std::uint32_t payloadLow, std::uint32_t payloadHigh)
{
    const auto payload = static_cast<std::int64_t>((std::uint64_t{payloadHigh} << 32) | payloadLow);
    const std::string currentFace = font_.faceName;
    FontValue value{font_.angleTenths, font_.bold, font_.italic, font_.underline, font_.strikeOut,
                    font_.sizePoints, effectiveFaceName(currentFace.c_str())};
    if (member == static_cast<std::int32_t>(FontMember::Whole)) {
        const auto* given = static_cast<const FontValue*>(asPointer(RuntimeValue{payloadLow, payloadHigh, 0}));
        if (!given)
            return;
        writeFontMember(value, FontMember::Angle, given->angleTenths);
        writeFontMember(value, FontMember::Bold, given->bold);
        writeFontMember(value, FontMember::Italic, given->italic);
        writeFontMember(value, FontMember::Underline, given->underline);
        writeFontMember(value, FontMember::StrikeOut, given->strikeOut);
        writeFontMember(value, FontMember::Size, given->sizePoints);
        value.faceName = effectiveFaceName(given->faceName);
    } else if (member >= static_cast<std::int32_t>(FontMember::Angle)
               && member <= static_cast<std::int32_t>(FontMember::FaceName)) {
        writeFontMember(value, static_cast<FontMember>(member), payload);
    } else {
        return;
    }
    font_.angleTenths = value.angleTenths;
    font_.bold = value.bold != 0;
    font_.italic = value.italic != 0;
    font_.underline = value.underline != 0;
    font_.strikeOut = value.strikeOut != 0;
    font_.sizePoints = value.sizePoints;
    font_.faceName = value.faceName;  // copied: the writer keeps its own text
}

void DrawingCanvas::setOrigin(int x, int y)
{
    originX_ = x;
    originY_ = y;
}

int DrawingCanvas::fontHeight(double displayDotsPerInch, double deviceDotsPerInchY) const
{
    // A font record's height is in display pixels; each kind of surface converts it into its
    // own units by its own rule.
    const std::int32_t points = std::abs(std::clamp(font_.sizePoints, -kMaxFontPoints, kMaxFontPoints));
    const int displayHeight = platform::displayFontHeight(points, displayDotsPerInch);
    if (fontRule_ == FontRule::Printer)
        return platform::printerFontHeight(displayHeight, scaleMode_, displayDotsPerInch, deviceDotsPerInchY);
    return platform::panelFontHeight(displayHeight, scaleMode_, displayDotsPerInch);
}

void DrawingCanvas::applyTo(platform::DeviceContext& context, double displayDotsPerInch) const
{
    context.setScaleMode(scaleMode_);
    context.setPen(penType_, penWidth_, penColour_);
    context.setBrush(brushType_, brushColour_);
    context.setTextColour(textColour_);
    context.setTextBackground(textBackground_);
    context.setDrawMode(drawMode_);

    platform::LogicalFont font;
    font.face = effectiveFaceName(font_.faceName.c_str());
    font.height = fontHeight(displayDotsPerInch, context.dotsPerInchY());
    font.escapement = font_.angleTenths;
    font.bold = font_.bold;
    font.italic = font_.italic;
    font.underline = font_.underline;
    font.strikeOut = font_.strikeOut;
    context.setFont(font);
}

bool DrawingCanvas::drawPicture(platform::DeviceContext& context, PictureHandle picture, int x, int y,
                                std::optional<int> width, std::optional<int> height, int mode,
                                const std::optional<PicturePart>& part) const
{
    if (!isLoadedPicture(picture))
        return false;
    x = saturatedSum(x, originX_);
    y = saturatedSum(y, originY_);
    const int deviceX = context.toDeviceX(x);
    const int deviceY = context.toDeviceY(y);
    int deviceWidth = kOwnPictureSide;
    int deviceHeight = kOwnPictureSide;
    // A given side is mapped edge to edge, as rectangles are, so pictures laid side by side in
    // logical units meet without a gap.
    if (width) {
        deviceWidth = extentBetween(deviceX, context.toDeviceX(saturatedSum(x, *width)));
        if (deviceWidth <= 0)
            return false;
    }
    if (height) {
        deviceHeight = extentBetween(deviceY, context.toDeviceY(saturatedSum(y, *height)));
        if (deviceHeight <= 0)
            return false;
    }
    drawDecodedPicture(picture, context, deviceX, deviceY, deviceWidth, deviceHeight,
                       platform::pictureRasterModeFromValue(mode), part);
    return true;
}

void DrawingCanvas::writeTextAt(platform::DeviceContext& context, std::optional<int> x, std::optional<int> y,
                                std::span<const std::string> texts, const std::function<bool()>& beforeLine) const
{
    const int deviceLeft = context.toDeviceX(saturatedSum(x.value_or(currentX_), originX_));
    // Lines advance in device pixels and are placed in device pixels, so the gap between them is
    // exact whatever the scale mode.
    int deviceTop = context.toDeviceY(saturatedSum(y.value_or(currentY_), originY_));
    for (const std::string& text : texts) {
        for (const std::string_view line : splitTextLines(text)) {
            if (beforeLine && !beforeLine())
                return;
            if (!line.empty())
                context.drawTextAtDevice(deviceLeft, deviceTop, line);
            const int lineHeight = context.deviceLineHeight(line.empty() ? std::string_view("W") : line);
            deviceTop = saturatedSum(deviceTop, saturatedSum(lineHeight, kLineGap));
        }
    }
}

platform::TextExtent DrawingCanvas::textExtent(platform::DeviceContext& context, std::string_view text) const
{
    return context.textExtent(text);
}

int DrawingCanvas::pictureWidthInUnits(const platform::DeviceContext& context, PictureHandle picture) const
{
    return context.toLogicalX(pictureWidth(picture));
}

int DrawingCanvas::pictureHeightInUnits(const platform::DeviceContext& context, PictureHandle picture) const
{
    return context.toLogicalY(pictureHeight(picture));
}

}  // namespace quillora::runtime
