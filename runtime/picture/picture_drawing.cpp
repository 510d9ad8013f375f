#include "runtime/picture/picture_drawing.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <limits>
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

// The part cut to a pictureWidth × pictureHeight picture; nothing when no pixel of it is left.
std::optional<PicturePart> partInside(const PicturePart& part, int pictureWidth, int pictureHeight)
{
    const std::int64_t left = std::max<std::int64_t>(part.x, 0);
    const std::int64_t top = std::max<std::int64_t>(part.y, 0);
    const std::int64_t right = std::min<std::int64_t>(std::int64_t{part.x} + part.width, pictureWidth);
    const std::int64_t bottom = std::min<std::int64_t>(std::int64_t{part.y} + part.height, pictureHeight);
    if (left >= right || top >= bottom)
        return std::nullopt;
    return PicturePart{static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                       static_cast<int>(bottom - top)};
}

// The side the whole picture has when its `partSide` pixels are stretched to `drawnSide`,
// rounded up and kept within an int.
int wholeSideFor(int pictureSide, int partSide, int drawnSide)
{
    const std::int64_t whole = (std::int64_t{drawnSide} * pictureSide + partSide - 1) / partSide;
    return static_cast<int>(std::min<std::int64_t>(whole, std::numeric_limits<int>::max()));
}

// The pixels of `image` (the whole picture at whatever size it was decoded) that show `part` of a
// pictureWidth × pictureHeight picture: the part's edges scaled to the image, outward to whole
// pixels. The view shares the image's rows.
PictureView partView(const BgraImage& image, const PicturePart& part, int pictureWidth, int pictureHeight)
{
    const auto scaledDown = [](int edge, int imageSide, int pictureSide) {
        return static_cast<int>(std::int64_t{edge} * imageSide / pictureSide);
    };
    const auto scaledUp = [](int edge, int imageSide, int pictureSide) {
        return static_cast<int>((std::int64_t{edge} * imageSide + pictureSide - 1) / pictureSide);
    };
    const int left = scaledDown(part.x, image.width, pictureWidth);
    const int top = scaledDown(part.y, image.height, pictureHeight);
    const int right = std::max(left + 1, scaledUp(part.x + part.width, image.width, pictureWidth));
    const int bottom = std::max(top + 1, scaledUp(part.y + part.height, image.height, pictureHeight));
    PictureView view = viewOf(image, image.pixels);
    view.pixels = image.pixels.data() + static_cast<std::ptrdiff_t>(top) * view.stride + std::ptrdiff_t{left} * 4;
    view.width = std::min(right, image.width) - left;
    view.height = std::min(bottom, image.height) - top;
    return view;
}

// The pixels a view of an image shows, as an image of their own (for an icon's two raster steps).
BgraImage copyOf(const PictureView& view)
{
    BgraImage part{view.width, view.height, {}};
    part.pixels.reserve(static_cast<std::size_t>(view.width) * static_cast<std::size_t>(view.height) * 4);
    for (int row = 0; row < view.height; ++row) {
        const std::uint8_t* first = view.pixels + static_cast<std::ptrdiff_t>(row) * view.stride;
        part.pixels.insert(part.pixels.end(), first, first + std::ptrdiff_t{view.width} * 4);
    }
    return part;
}

}  // namespace

void drawDecodedPicture(PictureHandle handle, platform::DeviceContext& context, int x, int y, int width,
                        int height, platform::PictureRasterMode mode, const std::optional<PicturePart>& part)
{
    if (!isLoadedPicture(handle))
        return;
    if (width == kOwnPictureSide)
        width = pictureWidth(handle);
    if (height == kOwnPictureSide)
        height = pictureHeight(handle);
    if (width <= 0 || height <= 0)
        return;
    const int ownWidth = pictureWidth(handle);
    const int ownHeight = pictureHeight(handle);
    std::optional<PicturePart> shown;
    if (part) {
        shown = partInside(*part, ownWidth, ownHeight);
        if (!shown)
            return;
    }
    try {
        // The registry may hand back fewer pixels than the picture has (a JPEG decoded at a
        // fraction of its size, never below the size the whole picture is drawn at); they are
        // stretched to the destination all the same.
        const int wholeWidth = shown ? wholeSideFor(ownWidth, shown->width, width) : width;
        const int wholeHeight = shown ? wholeSideFor(ownHeight, shown->height, height) : height;
        const std::optional<BgraImage> image = pictureForDrawing(handle, wholeWidth, wholeHeight);
        if (!image || image->width <= 0 || image->height <= 0
            || image->pixels.size() / 4 / static_cast<std::size_t>(image->width)
                   < static_cast<std::size_t>(image->height))
            return;
        const PictureKind kind = pictureKind(handle);
        const PictureView view = shown ? partView(*image, *shown, ownWidth, ownHeight) : viewOf(*image, image->pixels);
        if (kind != PictureKind::Icon && kind != PictureKind::Cursor)
            context.drawPicture(view, x, y, width, height, mode);
        else if (shown)
            drawIcon(copyOf(view), context, x, y, width, height);
        else
            drawIcon(*image, context, x, y, width, height);
    } catch (const std::exception&) {
        // Running out of memory for a copy of the pixels leaves the picture undrawn, as a
        // picture that does not decode is.
    }
}

}  // namespace quillora::runtime
