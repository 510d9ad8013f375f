#include "runtime/picture/picture_drawing.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <vector>

namespace quillora::runtime {
namespace {

using platform::PictureFormat;
using platform::PictureRasterMode;
using platform::PictureView;

// An alpha below this counts as a transparent pixel of an icon. Icons carry a one-bit mask;
// pictures with a full alpha channel are drawn with the same two-step mask, so their soft edges
// become hard.
constexpr std::uint8_t kOpaqueAlpha = 128;

PictureView viewOf(const BgraImage& image, const std::vector<std::uint8_t>& pixels)
{
    PictureView view;
    view.pixels = pixels.data();
    view.width = image.width;
    view.height = image.height;
    view.stride = static_cast<std::ptrdiff_t>(image.width) * 4;
    view.format = PictureFormat::Bgrx32;
    return view;
}

bool hasTransparentPixels(const BgraImage& image)
{
    for (std::size_t alpha = 3; alpha < image.pixels.size(); alpha += 4)
        if (image.pixels[alpha] < kOpaqueAlpha)
            return true;
    return false;
}

// An icon goes down in two raster steps, as the windowing system draws icons: the mask (white
// where the icon is transparent, black where it is not) is and-ed into the destination, which
// clears the icon's shape and leaves the rest; then the colours (black where transparent) are
// exclusive-or-ed into the cleared shape.
void drawIcon(const BgraImage& image, platform::DeviceContext& context, int x, int y, int width, int height)
{
    if (!hasTransparentPixels(image)) {
        context.drawPicture(viewOf(image, image.pixels), x, y, width, height, PictureRasterMode::Copy);
        return;
    }
    std::vector<std::uint8_t> mask(image.pixels.size());
    std::vector<std::uint8_t> colours(image.pixels.size());
    for (std::size_t pixel = 0; pixel < image.pixels.size(); pixel += 4) {
        const bool transparent = image.pixels[pixel + 3] < kOpaqueAlpha;
        for (std::size_t channel = 0; channel < 3; ++channel) {
            mask[pixel + channel] = transparent ? 0xFF : 0x00;
            colours[pixel + channel] = transparent ? 0x00 : image.pixels[pixel + channel];
        }
    }
    context.drawPicture(viewOf(image, mask), x, y, width, height, PictureRasterMode::And);
    context.drawPicture(viewOf(image, colours), x, y, width, height, PictureRasterMode::ExclusiveOr);
}

}  // namespace

void drawDecodedPicture(PictureHandle handle, platform::DeviceContext& context, int x, int y, int width,
                        int height, platform::PictureRasterMode mode)
{
    if (!isLoadedPicture(handle))
        return;
    if (width == kOwnPictureSide)
        width = pictureWidth(handle);
    if (height == kOwnPictureSide)
        height = pictureHeight(handle);
    if (width <= 0 || height <= 0)
        return;
    try {
        // The registry may hand back fewer pixels than the picture has (a JPEG decoded at a
        // fraction of its size, never below the destination's size); they are stretched to the
        // destination all the same.
        const std::optional<BgraImage> image = pictureForDrawing(handle, width, height);
        if (!image || image->width <= 0 || image->height <= 0
            || image->pixels.size() / 4 / static_cast<std::size_t>(image->width)
                   < static_cast<std::size_t>(image->height))
            return;
        const PictureKind kind = pictureKind(handle);
        if (kind == PictureKind::Icon || kind == PictureKind::Cursor)
            drawIcon(*image, context, x, y, width, height);
        else
            context.drawPicture(viewOf(*image, image->pixels), x, y, width, height, mode);
    } catch (const std::exception&) {
        // Running out of memory for a copy of the pixels leaves the picture undrawn, as a
        // picture that does not decode is.
    }
}

}  // namespace quillora::runtime
