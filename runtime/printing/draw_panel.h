// The drawing panel unit: a window-backed drawing surface whose content lives in an off-screen
// bitmap. The album program draws its preview and its exported pages on panels.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <QPointer>

#include "platform/device_context.h"
#include "platform/offscreen_surface.h"
#include "runtime/picture/picture_registry.h"
#include "runtime/printing/drawing_canvas.h"
#include "runtime/units/unit.h"

namespace quillora::runtime {

class DrawPanelWidget;

class DrawPanelUnit : public Unit {
public:
    DrawPanelUnit(LiveWindow& window, const UnitTemplate& unitTemplate);
    ~DrawPanelUnit() override;

    QWidget* createWidget(QWidget* parent) override;
    std::optional<RuntimeValue> readKindProperty(std::int32_t index) override;
    bool writeKindProperty(std::int32_t index, std::int32_t member, std::uint32_t payloadLow,
                           std::uint32_t payloadHigh) override;
    std::string describe() const override;

    // The methods, in the panel's logical units (see quillora/draw_panel_commands.h).
    void clear(std::optional<int> left, std::optional<int> top, std::optional<int> width,
               std::optional<int> height);
    void drawPicture(PictureHandle picture, int x, int y, std::optional<int> width, std::optional<int> height,
                     int mode, const std::optional<PicturePart>& part = std::nullopt);
    void writeTextAt(std::optional<int> x, std::optional<int> y, std::span<const std::string> texts);
    platform::TextExtent textExtent(std::string_view text);
    int pictureWidthInUnits(PictureHandle picture);
    int pictureHeightInUnits(PictureHandle picture);
    // BMP file data of the persistent bitmap in a fresh caller-owned byte-set block; null (the
    // empty byte set) without one.
    void* takePicture(std::optional<std::int64_t> width, std::optional<std::int64_t> height);
    // The picture at the bitmap's own size, as takePicture gives it, and then the panel cleared
    // as a whole: the bitmap's memory goes as the picture is made.
    void* handOverPicture();

    bool autoRedraw() const { return autoRedraw_; }
    int currentX() const { return canvas_.currentX(); }
    int currentY() const { return canvas_.currentY(); }

    // What the window shows, brought up to date (size, pending background); for the widget.
    const platform::OffscreenSurface& contentForPainting();
    // The widget's client area changed size.
    void clientResized();

private:
    // Before every drawing: the size follows the widget, the background is painted if it
    // changed, and the context gets the panel's drawing state.
    void prepareForDrawing();
    void followClientSize();
    void settleBackground();
    void applyDrawingState();
    void showChanges();

    platform::ColourRef backgroundColour() const;
    // Paints the device rectangle [left, right) × [top, bottom) with the background.
    void paintBackground(int left, int top, int right, int bottom);
    bool rebuildBackgroundSurface();
    void backgroundChanged();

    // Border and background.
    int borderStyle_ = 0;
    std::uint32_t backgroundColourValue_ = 0x00FFFFFF;
    std::vector<std::uint8_t> backgroundPictureData_;
    PictureHandle backgroundPicture_ = 0;
    bool backgroundPictureDecoded_ = true;
    int backgroundPictureMode_ = 0;
    bool backgroundRepaintPending_ = false;
    bool autoRedraw_ = false;

    // Drawing state: scale mode, pen, brush, colours, font and current position.
    DrawingCanvas canvas_;

    // What the window shows, which is the persistent bitmap while auto-redraw is on; a context
    // in the panel's scale mode and one in device pixels on it; and the background (colour and
    // laid-out picture) at the panel's size, kept while the panel has a background picture.
    platform::OffscreenSurface content_;
    platform::DeviceContext context_;
    platform::DeviceContext pixelContext_;
    platform::OffscreenSurface background_;
    QPointer<DrawPanelWidget> panelWidget_;
};

}  // namespace quillora::runtime
