// An off-screen drawing surface: the persistent page bitmap of a drawing panel.
//
// The pixels are 32-bit, top-down rows of blue, green, red and a fourth byte that is always
// 0xFF, ready to be written out as bitmap data. Device contexts draw on it; platform code that
// shows a panel paints image() onto its widget.
//
// A surface filled as a whole with one colour is blank: it lets its pixel memory go and keeps
// only its size and that colour (an A4 page at 0.1 mm per pixel is 25 MB). Whatever needs the
// pixels (image(), pixels(), stride(), a resize to another colour, and with them every drawing
// of a device context) makes them again, filled with that colour, so nobody can tell a blank
// surface from a filled one except by its memory.
#pragma once

#include "platform/device_context.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

class QImage;

namespace quillora::platform {

class OffscreenSurface {
public:
    // Larger surfaces are refused (the surface stays empty): 512 MB of pixels, far more than a
    // page at 0.1 mm per pixel needs (A3 is about 70 MB).
    static constexpr std::size_t kMaxPixelBytes = std::size_t{512} << 20;

    // An empty surface.
    OffscreenSurface();
    // A surface of width × height pixels filled with `fill`, at the display's usual resolution
    // unless another one is given. Non-positive or too large sizes give an empty surface.
    OffscreenSurface(int width, int height, ColourRef fill = rgbColour(255, 255, 255),
                     double dotsPerInch = 96.0);
    ~OffscreenSurface();
    OffscreenSurface(const OffscreenSurface&) = delete;
    OffscreenSurface& operator=(const OffscreenSurface&) = delete;

    bool isEmpty() const;
    int width() const;
    int height() const;

    // The resolution a device context uses for scale modes other than pixels.
    double dotsPerInch() const;
    void setDotsPerInch(double dotsPerInch);

    // Changes the size, keeping the overlapping top-left part and filling new area with `fill`.
    // A non-positive size empties the surface. Returns false (and keeps the old content) when
    // the size is too large or memory runs out.
    // A blank surface stays blank when `fill` is its colour.
    bool resize(int width, int height, ColourRef fill = rgbColour(255, 255, 255));
    // Makes the whole surface `colour`, releasing its pixel memory until it is needed again. An
    // empty surface stays empty.
    void fill(ColourRef colour);

    // The colour of a blank surface, which holds no pixels; nothing once pixels are held (or
    // when the surface is empty). A widget can paint a blank surface without making its pixels.
    std::optional<ColourRef> blankColour() const;

    // Top-down rows of blue, green, red, 0xFF; null when empty. Pointers stay valid until the
    // next resize or fill. A blank surface makes its pixels first; when memory runs out for
    // them it becomes empty.
    const std::uint8_t* pixels() const;
    std::ptrdiff_t stride() const;

    // For a surface that is about to be filled or resized: gives the memory of rows `row` to the
    // last back to the system, once they have been read for the last time (a page read out
    // bottom-up as it is handed over, so that the page and its copy never take their whole size
    // twice). Those rows read as zeros afterwards. Only the pixels of a page-sized surface go,
    // and only while nobody else shares them; otherwise nothing happens.
    void releaseRowsFrom(int row);

    // The Qt image behind the surface, for platform code only. A blank surface makes its
    // pixels first, as above (a null image when memory runs out).
    const QImage& image() const;
    QImage& image();

private:
    struct Image;
    // Gives a blank surface its pixels. Const accessors call it too: the pixels of a blank
    // surface are only a form of what it already holds.
    void materialise() const;

    std::unique_ptr<Image> image_;
    double dotsPerInch_ = 96.0;
};

}  // namespace quillora::platform
