// The two kinds of page surface: a drawing panel (the off-screen page 画板_temp, drawn in whole
// pixels) and the printer unit (drawn in its scale mode from the margin box). Both draw and
// measure through the same canvas commands of their unit, so they are one class over two command
// sets; the panel adds what the canvases do with it as a whole.
#pragma once

#include <cstdint>
#include <string>

#include "common/picture_calls.h"
#include "common/unit_calls.h"
#include "pages/page_surface.h"

namespace quillora::app {

// The commands a canvas unit draws and measures with, and the index of its font property.
struct CanvasCommands {
    std::int32_t fontProperty = 0;
    CommandFunction textWidth = nullptr;
    CommandFunction textHeight = nullptr;
    CommandFunction writeTextAt = nullptr;
    CommandFunction pictureWidth = nullptr;
    CommandFunction pictureHeight = nullptr;
    CommandFunction drawPicture = nullptr;
};

// A unit with canvas commands as a page surface.
class CanvasSurface : public PageSurface {
public:
    CanvasSurface(UnitRef unit, const CanvasCommands& commands) : unit_(unit), commands_(commands) {}

    void setFont(const FontSpec& font, std::int32_t size) override;
    std::int32_t textWidth(const std::string& text) override;
    std::int32_t textHeight(const std::string& text) override;
    void writeText(std::int32_t x, std::int32_t y, const std::string& text) override;
    std::int32_t pictureWidth(std::int32_t picture) override;
    std::int32_t pictureHeight(std::int32_t picture) override;
    void drawPicture(std::int32_t picture, std::int32_t x, std::int32_t y, std::int32_t width,
                     std::int32_t height) override;
    void drawPicturePart(std::int32_t picture, const PictureRect& drawn, const PictureRect& source) override;

    const UnitRef& unit() const { return unit_; }

private:
    UnitRef unit_;
    const CanvasCommands& commands_;
};

// A drawing panel as a page, and what the canvases do with the panel as a whole (size,
// clearing, taking the page out as a picture, showing a picture as background).
class PanelSurface final : public CanvasSurface {
public:
    explicit PanelSurface(UnitRef panel);

    // Whole pixels kept in the persistent bitmap, so the page can be taken out.
    void prepareAsPage();
    void resize(std::int32_t width, std::int32_t height);
    void clear();
    // The persistent bitmap as BMP file data at its own size.
    ByteSet picture();
    // The persistent bitmap's size in pixels: what resize() really gave (a size the panel cannot
    // hold keeps the former bitmap).
    std::int32_t bitmapWidth();
    std::int32_t bitmapHeight();
    // Shows the data as background picture in `mode` (2: centred, shrunk to fit).
    void showBackground(const ByteSet& picture, std::int32_t mode);
};

// The printer unit as a page.
class PrinterSurface final : public CanvasSurface {
public:
    explicit PrinterSurface(UnitRef printer);
};

// Writes a whole font (face, size, styles) into a unit's font property.
void writeFontProperty(const UnitRef& unit, std::int32_t property, const FontSpec& font, std::int32_t size);

}  // namespace quillora::app
