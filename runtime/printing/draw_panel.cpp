#include "runtime/printing/draw_panel.h"

#include "platform/device_fonts.h"
#include "platform/formats/bmp_records.h"
#include "quillora/draw_panel_commands.h"
#include "runtime/core/memory.h"
#include "runtime/printing/draw_panel_background.h"
#include "runtime/printing/draw_panel_picture.h"

#include <QFrame>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace quillora::runtime {

// What the public header promises: the bitmap's cap is the surface's, and a page taken out of a
// panel as BMP data can be read back by the one BMP reader.
static_assert(kDrawPanelMostBitmapPixels == static_cast<std::int64_t>(platform::OffscreenSurface::kMaxPixelBytes / 4));
static_assert(static_cast<std::uint64_t>(kDrawPanelMostBitmapPixels) <= formats::kMaxBmpPixels);

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
        if (const std::optional<platform::ColourRef> colour = content.blankColour()) {
            // A cleared panel holds no pixels; its colour is painted as it is, so showing it
            // does not make them.
            QPainter painter(this);
            painter.fillRect(QRect(contentsRect().topLeft(), QSize(content.width(), content.height())),
                             QColor(static_cast<int>(*colour & 0xFF), static_cast<int>((*colour >> 8) & 0xFF),
                                    static_cast<int>((*colour >> 16) & 0xFF)));
            return;
        }
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

int saturatedSum(int a, int b)
{
    const std::int64_t sum = std::int64_t{a} + b;
    return static_cast<int>(std::clamp<std::int64_t>(sum, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

RuntimeValue integerValue(std::int64_t value)
{
    return makeInt(static_cast<std::int32_t>(value));
}

}  // namespace

DrawPanelUnit::DrawPanelUnit(LiveWindow& window, const UnitTemplate& unitTemplate)
    : Unit(window, unitTemplate),
      canvas_(DrawingCanvas::FontRule::Panel, platform::kTransparentTextBackground),
      context_(content_),
      pixelContext_(content_)
{
    // Scale modes other than pixels count the panel's pixels at the display's resolution.
    content_.setDotsPerInch(platform::displayDotsPerInch());
    background_.setDotsPerInch(content_.dotsPerInch());
    canvas_.takeTemplateFont(template_.properties.font);
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

// Scale mode to font, in the order the canvas keeps them: the drawing state the panel shares with
// the printer.
static bool isCanvasProperty(std::int32_t index)
{
    return index >= kDrawPanelScaleMode && index <= kDrawPanelFont;
}

std::optional<RuntimeValue> DrawPanelUnit::readKindProperty(std::int32_t index)
{
    if (isCanvasProperty(index))
        return canvas_.readState(index - kDrawPanelScaleMode);
    switch (index) {
    case kDrawPanelBorderStyle: return integerValue(borderStyle_);
    case kDrawPanelBackgroundColour: return integerValue(backgroundColourValue_);
    case kDrawPanelBackgroundPicture:
        return makePointer(TypeCode::ByteSet,
                           newByteSetBlock(backgroundPictureData_.data(), backgroundPictureData_.size()));
    case kDrawPanelBackgroundPictureMode: return integerValue(backgroundPictureMode_);
    case kDrawPanelAutoRedraw: return makeBool(autoRedraw_);
    case kDrawPanelBitmapWidth:
        // The window may have been resized without being told, so the bitmap follows it first.
        followClientSize();
        return integerValue(content_.width());
    case kDrawPanelBitmapHeight:
        followClientSize();
        return integerValue(content_.height());
    default: return std::nullopt;
    }
}

bool DrawPanelUnit::writeKindProperty(std::int32_t index, std::int32_t member, std::uint32_t payloadLow,
                                      std::uint32_t payloadHigh)
{
    if (isCanvasProperty(index))
        return canvas_.writeState(index - kDrawPanelScaleMode, member, payloadLow, payloadHigh);
    const auto number = static_cast<std::int32_t>(payloadLow);
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
    default: return false;
    }
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
    if (left == 0 && top == 0 && right == content_.width() && bottom == content_.height()) {
        // A plain background over the whole panel lets the pixel memory go until the next
        // drawing: the hidden page panel of an export is cleared after every saved page, and an
        // A4 page at 0.1 mm per pixel is 25 MB.
        content_.fill(backgroundColour());
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
    // Scale modes other than pixels count the panel's pixels at the display's resolution.
    canvas_.applyTo(context_, content_.dotsPerInch());
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
    canvas_.setCurrentPosition(x, y);
    showChanges();
}

void DrawPanelUnit::drawPicture(PictureHandle picture, int x, int y, std::optional<int> width,
                                std::optional<int> height, int mode, const std::optional<PicturePart>& part)
{
    prepareForDrawing();
    if (canvas_.drawPicture(context_, picture, x, y, width, height, mode, part))
        showChanges();
}

void DrawPanelUnit::writeTextAt(std::optional<int> x, std::optional<int> y, std::span<const std::string> texts)
{
    prepareForDrawing();
    canvas_.writeTextAt(context_, x, y, texts);
    showChanges();
}

platform::TextExtent DrawPanelUnit::textExtent(std::string_view text)
{
    prepareForDrawing();
    return canvas_.textExtent(context_, text);
}

int DrawPanelUnit::pictureWidthInUnits(PictureHandle picture)
{
    applyDrawingState();
    return canvas_.pictureWidthInUnits(context_, picture);
}

int DrawPanelUnit::pictureHeightInUnits(PictureHandle picture)
{
    applyDrawingState();
    return canvas_.pictureHeightInUnits(context_, picture);
}

void* DrawPanelUnit::takePicture(std::optional<std::int64_t> width, std::optional<std::int64_t> height)
{
    prepareForDrawing();
    if (!autoRedraw_)
        return nullptr;
    return surfaceAsBmpByteSet(content_, requestedPictureSide(content_.width(), width),
                               requestedPictureSide(content_.height(), height));
}

void* DrawPanelUnit::handOverPicture()
{
    prepareForDrawing();
    void* picture = autoRedraw_ ? drainSurfaceAsBmpByteSet(content_) : nullptr;
    // Clearing the whole panel paints every pixel (or lets them all go), the ones already given
    // back included.
    clear(std::nullopt, std::nullopt, std::nullopt, std::nullopt);
    return picture;
}

}  // namespace quillora::runtime
