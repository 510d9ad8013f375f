// A surface a page is drawn on: the off-screen drawing panel of the preview and the export, or the
// printer unit. The page model, the header and footer placement and the renderers talk to a
// surface only through this interface, so the same geometry runs on every surface.
#pragma once

#include <cstdint>
#include <string>

#include "pages/font_spec.h"
#include "pages/page_model.h"

namespace quillora::app {

class PageSurface {
public:
    virtual ~PageSurface() = default;

    // The font as the renderer wants it on this surface: `size` is the point size written into
    // the unit's font (the renderer converts the record's size for panels; the printer converts
    // it itself, so the printer renderer passes the record's own size).
    virtual void setFont(const FontSpec& font, std::int32_t size) = 0;
    // Extents of a text in the current font, in the surface's logical units.
    virtual std::int32_t textWidth(const std::string& text) = 0;
    virtual std::int32_t textHeight(const std::string& text) = 0;
    // Writes the text with its top-left corner at (x, y).
    virtual void writeText(std::int32_t x, std::int32_t y, const std::string& text) = 0;
    // The picture's natural size on this surface in logical units.
    virtual std::int32_t pictureWidth(std::int32_t picture) = 0;
    virtual std::int32_t pictureHeight(std::int32_t picture) = 0;
    // The picture stretched into the rectangle with the copy raster mode.
    virtual void drawPicture(std::int32_t picture, std::int32_t x, std::int32_t y, std::int32_t width,
                             std::int32_t height) = 0;
    // Only the `source` part of the picture (in its own pixels) stretched into `drawn`, so that
    // nothing of the rest reaches the surface.
    virtual void drawPicturePart(std::int32_t picture, const PictureRect& drawn, const PictureRect& source) = 0;
};

}  // namespace quillora::app
