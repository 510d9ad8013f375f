#include "runtime/picture/picture_pixels.h"

#include "runtime/picture/indexed_picture.h"
#include "runtime/picture/pixel_buffer.h"

namespace quillora::runtime {

namespace {

std::optional<BgraImage> newImage(std::uint32_t width, std::uint32_t height)
{
    auto pixels = newPixelBuffer(width, height, std::uint64_t{width} * 4);
    if (!pixels)
        return std::nullopt;
    return BgraImage{static_cast<std::int32_t>(width), static_cast<std::int32_t>(height), std::move(*pixels)};
}

std::optional<BgraImage> fromBgrBottomUp(const PictureRecord& record)
{
    const auto width = static_cast<std::uint32_t>(record.width);
    const auto height = static_cast<std::uint32_t>(record.height);
    const std::uint64_t rowBytes = std::uint64_t{width} * 3;
    if (record.data.size() / rowBytes < height)
        return std::nullopt;
    auto image = newImage(width, height);
    if (!image)
        return std::nullopt;
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t* in = record.data.data() + (height - 1 - y) * rowBytes;
        std::uint8_t* out = image->pixels.data() + std::uint64_t{y} * width * 4;
        for (std::uint32_t x = 0; x < width; ++x, in += 3, out += 4) {
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
            out[3] = 255;
        }
    }
    return image;
}

std::optional<BgraImage> fromIndexed(const PictureRecord& record)
{
    const auto view = viewIndexedPicture(record.data);
    if (!view)
        return std::nullopt;
    auto image = newImage(view->width, view->height);
    if (!image)
        return std::nullopt;
    for (std::uint32_t y = 0; y < view->height; ++y) {
        const std::uint32_t storedRow = view->topDown ? y : view->height - 1 - y;
        const std::uint8_t* in = view->pixels.data() + storedRow * view->stride;
        std::uint8_t* out = image->pixels.data() + std::uint64_t{y} * view->width * 4;
        for (std::uint32_t x = 0; x < view->width; ++x, out += 4) {
            const ColourQuad& colour = view->table[in[x]];
            out[0] = colour.blue;
            out[1] = colour.green;
            out[2] = colour.red;
            out[3] = 255;
        }
    }
    return image;
}

std::optional<BgraImage> fromMonochrome(const PictureRecord& record)
{
    const auto width = static_cast<std::uint32_t>(record.width);
    const auto height = static_cast<std::uint32_t>(record.height);
    // Monochrome rows are padded to an even number of bytes.
    const std::uint64_t rowBytes = ((std::uint64_t{width} + 7) / 8 + 1) / 2 * 2;
    if (record.data.size() / rowBytes < height)
        return std::nullopt;
    auto image = newImage(width, height);
    if (!image)
        return std::nullopt;
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t* in = record.data.data() + y * rowBytes;
        std::uint8_t* out = image->pixels.data() + std::uint64_t{y} * width * 4;
        for (std::uint32_t x = 0; x < width; ++x, out += 4) {
            const std::uint8_t level = ((in[x / 8] >> (7 - x % 8)) & 1) ? 255 : 0;
            out[0] = out[1] = out[2] = level;
            out[3] = 255;
        }
    }
    return image;
}

std::optional<BgraImage> fromIcon(const PictureRecord& record)
{
    const IconImage& icon = record.icon;
    if (icon.width <= 0 || icon.height <= 0 ||
        icon.pixels.size() / (std::uint64_t{static_cast<std::uint32_t>(icon.width)} * 4) <
            static_cast<std::uint32_t>(icon.height))
        return std::nullopt;
    auto image = newImage(static_cast<std::uint32_t>(icon.width), static_cast<std::uint32_t>(icon.height));
    if (!image)
        return std::nullopt;
    image->pixels.assign(icon.pixels.begin(), icon.pixels.begin() + static_cast<std::ptrdiff_t>(image->pixels.size()));
    return image;
}

}  // namespace

std::optional<BgraImage> recordToBgra(const PictureRecord& record)
{
    if (record.width <= 0 || record.height <= 0)
        return std::nullopt;
    switch (record.kind) {
    case PictureKind::Jpeg:
    case PictureKind::Bmp:
        return fromBgrBottomUp(record);
    case PictureKind::Gif:
    case PictureKind::Pcx8:
        return fromIndexed(record);
    case PictureKind::Pcx1:
        return fromMonochrome(record);
    case PictureKind::Icon:
    case PictureKind::Cursor:
        return fromIcon(record);
    case PictureKind::Empty:
        break;
    }
    return std::nullopt;
}

}  // namespace quillora::runtime
