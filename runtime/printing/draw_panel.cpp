#include "runtime/printing/draw_panel.h"

#include "platform/device_fonts.h"
#include "quillora/draw_panel_commands.h"
#include "runtime/core/memory.h"
#include "runtime/picture/picture_drawing.h"
#include "runtime/printing/draw_panel_background.h"
#include "runtime/printing/draw_panel_picture.h"

#include <QFrame>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace quillora::runtime {

// The panel's window: it shows the panel's content inside its border and tells the unit when
// its client area changes size. It outlives its unit by a moment when the window closes, so
// the unit detaches itself first.
class DrawPanelWidget : public QFrame {
public:
    DrawPanelWidget(QWidget* parent, DrawPanelUnit& unit) : QFrame(parent), unit_(&unit) {}

    void detach() { unit_ = nullptr; }

    void setBorderStyle(int style)
    {
        switch (style) {
        case 1: setFrameStyle(QFrame::Box | QFrame::Plain); setLineWidth(1); break;
        case 2: setFrameStyle(QFrame::Panel | QFrame::Sunken); setLineWidth(2); break;
        case 3: setFrameStyle(QFrame::Panel | QFrame::Raised); setLineWidth(2); break;
        case 4: setFrameStyle(QFrame::Panel | QFrame::Sunken); setLineWidth(1); break;
        case 5: setFrameStyle(QFrame::Box | QFrame::Sunken); setLineWidth(1); break;
        default: setFrameStyle(QFrame::NoFrame); break;
        }
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QFrame::paintEvent(event);
        if (!unit_)
            return;
        const platform::OffscreenSurface& content = unit_->contentForPainting();
        if (content.isEmpty())
            return;
        // The content's rows are blue, green, red, 0xFF: Qt's 32-bit RGB layout on this
        // little-endian machine, so the pixels are shown without a copy.
        const QImage image(content.pixels(), content.width(), content.height(), content.stride(),
                           QImage::Format_RGB32);
        QPainter painter(this);
        painter.drawImage(contentsRect().topLeft(), image);
    }

    void resizeEvent(QResizeEvent* event) override
    {
        QFrame::resizeEvent(event);
        if (unit_)
            unit_->clientResized();
    }

private:
    DrawPanelUnit* unit_;
};

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

// Lines of a text, broken at CR LF, CR and LF.
std::vector<std::string_view> splitLines(std::string_view text)
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

RuntimeValue integerValue(std::int64_t value)
{
    return makeInt(static_cast<std::int32_t>(value));
}

}  // namespace

DrawPanelUnit::DrawPanelUnit(LiveWindow& window, const UnitTemplate& unitTemplate)
    : Unit(window, unitTemplate), context_(content_), pixelContext_(content_)
{
    // Scale modes other than pixels count the panel's pixels at the display's resolution.
    content_.setDotsPerInch(platform::displayDotsPerInch());
    background_.setDotsPerInch(content_.dotsPerInch());
    if (const auto& font = template_.properties.font) {
        font_.angleTenths = font->angleTenths;
        font_.bold = font->bold;
        font_.italic = font->italic;
        font_.underline = font->underline;
        font_.strikeOut = font->strikeOut;
        font_.sizePoints = font->sizePoints;
        font_.faceName = font->faceName;
    }
}

DrawPanelUnit::~DrawPanelUnit()
{
    if (panelWidget_)
        panelWidget_->detach();
    unloadPicture(backgroundPicture_);
}

QWidget* DrawPanelUnit::createWidget(QWidget* parent)
{
    auto* widget = new DrawPanelWidget(parent, *this);
    widget->setBorderStyle(borderStyle_);
    widget->setGeometry(template_.rect.left, template_.rect.top, template_.rect.width, template_.rect.height);
    panelWidget_ = widget;
    followClientSize();
    return widget;
}

// --- properties ---------------------------------------------------------------------------------

std::optional<RuntimeValue> DrawPanelUnit::readKindProperty(std::int32_t index)
{
    switch (index) {
    case kDrawPanelBorderStyle: return integerValue(borderStyle_);
    case kDrawPanelBackgroundColour: return integerValue(backgroundColourValue_);
    case kDrawPanelBackgroundPicture:
        return makePointer(TypeCode::ByteSet,
                           newByteSetBlock(backgroundPictureData_.data(), backgroundPictureData_.size()));
    case kDrawPanelBackgroundPictureMode: return integerValue(backgroundPictureMode_);
    case kDrawPanelAutoRedraw: return makeBool(autoRedraw_);
    case kDrawPanelScaleMode: return integerValue(static_cast<int>(scaleMode_));
    case kDrawPanelPenType: return integerValue(static_cast<int>(penType_));
    case kDrawPanelDrawMode: return integerValue(drawMode_);
    case kDrawPanelPenWidth: return integerValue(penWidth_);
    case kDrawPanelPenColour: return integerValue(penColour_);
    case kDrawPanelBrushType: return integerValue(brushType_);
    case kDrawPanelBrushColour: return integerValue(brushColour_);
    case kDrawPanelTextColour: return integerValue(textColour_);
    case kDrawPanelTextBackground: return integerValue(textBackground_);
    case kDrawPanelFont: return integerValue(font_.sizePoints);
    default: return std::nullopt;
    }
}

bool DrawPanelUnit::writeKindProperty(std::int32_t index, std::int32_t member, std::uint32_t payloadLow,
                                      std::uint32_t payloadHigh)
{
    const auto number = static_cast<std::int32_t>(payloadLow);
    const auto rgb = [payloadLow] { return static_cast<platform::ColourRef>(payloadLow & 0x00FFFFFFu); };
    switch (index) {
    case kDrawPanelBorderStyle:
        borderStyle_ = std::clamp(number, 0, 5);
        if (panelWidget_)
            panelWidget_->setBorderStyle(borderStyle_);
        return true;
    case kDrawPanelBackgroundColour:
        backgroundColourValue_ = (payloadLow & kSystemColourFlag) ? payloadLow : payloadLow & 0x00FFFFFFu;
        backgroundChanged();
        return true;
    case kDrawPanelBackgroundPicture: {
        const RuntimeValue data{payloadLow, payloadHigh, static_cast<std::uint32_t>(TypeCode::ByteSet)};
        const std::uint8_t* bytes = byteSetData(data);
        backgroundPictureData_.assign(bytes, bytes ? bytes + byteSetLength(data) : bytes);
        backgroundPictureDecoded_ = false;
        backgroundChanged();
        return true;
    }
    case kDrawPanelBackgroundPictureMode:
        backgroundPictureMode_ = static_cast<int>(backgroundPictureModeFromValue(number));
        backgroundChanged();
        return true;
    case kDrawPanelAutoRedraw:
        // What the panel shows becomes the start of the persistent bitmap, and stays on the
        // window when auto-redraw goes off.
        autoRedraw_ = payloadLow != 0;
        return true;
    case kDrawPanelScaleMode: scaleMode_ = platform::scaleModeFromValue(number); return true;
    case kDrawPanelPenType: penType_ = static_cast<platform::PenType>(std::clamp(number, 0, 6)); return true;
    case kDrawPanelDrawMode: drawMode_ = std::clamp(number, 0, 15); return true;
    case kDrawPanelPenWidth: penWidth_ = std::clamp(number, 0, 32767); return true;
    case kDrawPanelPenColour: penColour_ = rgb(); return true;
    case kDrawPanelBrushType: brushType_ = std::clamp(number, 0, 55); return true;
    case kDrawPanelBrushColour: brushColour_ = rgb(); return true;
    case kDrawPanelTextColour: textColour_ = rgb(); return true;
    case kDrawPanelTextBackground:
        textBackground_ = payloadLow == platform::kTransparentTextBackground ? payloadLow : rgb();
        return true;
    case kDrawPanelFont: writeFont(member, payloadLow, payloadHigh); return true;
    default: return false;
    }
}

void DrawPanelUnit::writeFont(std::int32_t member, std::uint32_t payloadLow, std::uint32_t payloadHigh)
{
    const auto payload = static_cast<std::int64_t>((std::uint64_t{payloadHigh} << 32) | payloadLow);
    const std::string currentFace = font_.faceName;
    FontValue value{font_.angleTenths, font_.bold, font_.italic, font_.underline, font_.strikeOut,
                    font_.sizePoints, effectiveFaceName(currentFace.c_str())};
    if (member == static_cast<std::int32_t>(FontMember::Whole)) {
        const auto* given = static_cast<const FontValue*>(
            asPointer(RuntimeValue{payloadLow, payloadHigh, 0}));
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

void DrawPanelUnit::backgroundChanged()
{
    backgroundRepaintPending_ = true;
    if (panelWidget_)
        panelWidget_->update();
}

std::string DrawPanelUnit::describe() const
{
    const QSize size = panelWidget_ ? panelWidget_->contentsRect().size() : QSize();
    return "panel " + std::to_string(size.width()) + "x" + std::to_string(size.height()) + ", auto-redraw "
           + (autoRedraw_ ? "on" : "off");
}

// --- content, size and background ---------------------------------------------------------------

const platform::OffscreenSurface& DrawPanelUnit::contentForPainting()
{
    followClientSize();
    settleBackground();
    return content_;
}

void DrawPanelUnit::clientResized()
{
    followClientSize();
    showChanges();
}

void DrawPanelUnit::followClientSize()
{
    // A hidden window is resized without being told, so the size is compared before every use
    // as well as on every resize the window reports.
    if (!panelWidget_)
        return;
    const QSize size = panelWidget_->contentsRect().size();
    if (size.width() == content_.width() && size.height() == content_.height())
        return;
    // The top-left content stays; a size the bitmap cannot take keeps the old one.
    content_.resize(size.width(), size.height(), backgroundColour());
}

platform::ColourRef DrawPanelUnit::backgroundColour() const
{
    return resolveColourValue(backgroundColourValue_);
}

void DrawPanelUnit::settleBackground()
{
    if (!backgroundPictureDecoded_) {
        backgroundPictureDecoded_ = true;
        unloadPicture(backgroundPicture_);
        backgroundPicture_ = backgroundPictureData_.empty() ? 0 : loadPicture(backgroundPictureData_);
        background_.resize(0, 0);
    }
    if (!backgroundRepaintPending_)
        return;
    backgroundRepaintPending_ = false;
    background_.resize(0, 0);
    paintBackground(0, 0, content_.width(), content_.height());
}

bool DrawPanelUnit::rebuildBackgroundSurface()
{
    if (background_.width() != content_.width() || background_.height() != content_.height()) {
        if (!background_.resize(content_.width(), content_.height()))
            return false;
        runtime::paintBackground(background_, backgroundColour(), backgroundPicture_,
                                 backgroundPictureModeFromValue(backgroundPictureMode_));
    }
    return !background_.isEmpty();
}

void DrawPanelUnit::paintBackground(int left, int top, int right, int bottom)
{
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, content_.width());
    bottom = std::min(bottom, content_.height());
    if (left >= right || top >= bottom)
        return;
    if (backgroundPicture_ != 0 && rebuildBackgroundSurface()) {
        // The background with its picture is laid out for the whole panel once; painting a
        // part of it copies that part.
        platform::PictureView part;
        part.pixels = background_.pixels() + top * background_.stride() + std::ptrdiff_t{left} * 4;
        part.width = right - left;
        part.height = bottom - top;
        part.stride = background_.stride();
        part.format = platform::PictureFormat::Bgrx32;
        pixelContext_.drawPicture(part, left, top, right - left, bottom - top, platform::PictureRasterMode::Copy);
        return;
    }
    pixelContext_.fillRectangle(left, top, right - left, bottom - top, backgroundColour());
}

// --- drawing ------------------------------------------------------------------------------------

void DrawPanelUnit::prepareForDrawing()
{
    followClientSize();
    settleBackground();
    applyDrawingState();
}

void DrawPanelUnit::applyDrawingState()
{
    context_.setScaleMode(scaleMode_);
    context_.setPen(penType_, penWidth_, penColour_);
    context_.setBrush(brushType_, brushColour_);
    context_.setTextColour(textColour_);
    context_.setTextBackground(textBackground_);
    context_.setDrawMode(drawMode_);

    // A font record's height is in display pixels; the panel converts it into its own units.
    const double displayDotsPerInch = content_.dotsPerInch();
    const std::int32_t points = std::abs(std::clamp(font_.sizePoints, -kMaxFontPoints, kMaxFontPoints));
    platform::LogicalFont font;
    font.face = effectiveFaceName(font_.faceName.c_str());
    font.height = platform::panelFontHeight(platform::displayFontHeight(points, displayDotsPerInch), scaleMode_,
                                            displayDotsPerInch);
    font.escapement = font_.angleTenths;
    font.bold = font_.bold;
    font.italic = font_.italic;
    font.underline = font_.underline;
    font.strikeOut = font_.strikeOut;
    context_.setFont(font);
}

void DrawPanelUnit::showChanges()
{
    if (panelWidget_)
        panelWidget_->update();
}

void DrawPanelUnit::clear(std::optional<int> left, std::optional<int> top, std::optional<int> width,
                          std::optional<int> height)
{
    prepareForDrawing();
    const int x = left.value_or(0);
    const int y = top.value_or(0);
    const int deviceLeft = context_.toDeviceX(x);
    const int deviceTop = context_.toDeviceY(y);
    const int deviceRight = width ? context_.toDeviceX(saturatedSum(x, *width)) : content_.width();
    const int deviceBottom = height ? context_.toDeviceY(saturatedSum(y, *height)) : content_.height();
    paintBackground(deviceLeft, deviceTop, deviceRight, deviceBottom);
    currentX_ = x;
    currentY_ = y;
    showChanges();
}

void DrawPanelUnit::drawPicture(PictureHandle picture, int x, int y, std::optional<int> width,
                                std::optional<int> height, int mode)
{
    prepareForDrawing();
    if (!isLoadedPicture(picture))
        return;
    const int deviceX = context_.toDeviceX(x);
    const int deviceY = context_.toDeviceY(y);
    int deviceWidth = kOwnPictureSide;
    int deviceHeight = kOwnPictureSide;
    // A given side is mapped edge to edge, as rectangles are, so pictures laid side by side in
    // logical units meet without a gap.
    if (width) {
        deviceWidth = extentBetween(deviceX, context_.toDeviceX(saturatedSum(x, *width)));
        if (deviceWidth <= 0)
            return;
    }
    if (height) {
        deviceHeight = extentBetween(deviceY, context_.toDeviceY(saturatedSum(y, *height)));
        if (deviceHeight <= 0)
            return;
    }
    drawDecodedPicture(picture, context_, deviceX, deviceY, deviceWidth, deviceHeight,
                       platform::pictureRasterModeFromValue(mode));
    showChanges();
}

void DrawPanelUnit::writeTextAt(std::optional<int> x, std::optional<int> y, std::span<const std::string> texts)
{
    prepareForDrawing();
    const int left = x.value_or(currentX_);
    // Lines advance in device pixels; each is placed at the logical position of its top.
    int deviceTop = context_.toDeviceY(y.value_or(currentY_));
    for (const std::string& text : texts) {
        for (const std::string_view line : splitLines(text)) {
            int lineHeight = 0;
            if (line.empty()) {
                lineHeight = context_.textExtent("W").height;
            } else {
                context_.drawText(left, context_.toLogicalY(deviceTop), line);
                lineHeight = context_.textExtent(line).height;
            }
            deviceTop = saturatedSum(deviceTop, saturatedSum(context_.toDeviceY(lineHeight), kLineGap));
        }
    }
    showChanges();
}

platform::TextExtent DrawPanelUnit::textExtent(std::string_view text)
{
    prepareForDrawing();
    return context_.textExtent(text);
}

int DrawPanelUnit::pictureWidthInUnits(PictureHandle picture)
{
    applyDrawingState();
    return context_.toLogicalX(pictureWidth(picture));
}

int DrawPanelUnit::pictureHeightInUnits(PictureHandle picture)
{
    applyDrawingState();
    return context_.toLogicalY(pictureHeight(picture));
}

std::vector<std::uint8_t> DrawPanelUnit::takePicture(std::optional<std::int64_t> width,
                                                     std::optional<std::int64_t> height)
{
    prepareForDrawing();
    if (!autoRedraw_)
        return {};
    return surfaceAsBmpFile(content_, requestedPictureSide(content_.width(), width),
                            requestedPictureSide(content_.height(), height));
}

}  // namespace quillora::runtime
