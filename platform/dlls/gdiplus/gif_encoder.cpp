// GIF output through giflib: one 8-bit image with a global colour table. GIF holds at most
// 256 colours, so a page keeps its exact colours when it has that few, and otherwise gets a
// median-cut palette (giflib's GifQuantizeBuffer) whose entries are then moved to the mean of
// the true colours each one stands for. The quantiser works on five bits per primary and
// would turn white paper into (248, 248, 248); the mean gives it back its 255. GIF has no
// field for a resolution.
#include "platform/dlls/gdiplus/image_encoders.h"

#include <array>
#include <cstring>
#include <new>
#include <unordered_map>

#include <gif_lib.h>

namespace quillora::dlls {
namespace {

constexpr int kMaxColours = 256;
constexpr std::uint32_t kMaxGifSide = 65535;  // GIF sides are 16-bit numbers

struct Palette {
    std::array<GifColorType, kMaxColours> colours{};
    int count = 0;
};

std::uint32_t packed(const std::uint8_t* rgb)
{
    return static_cast<std::uint32_t>(rgb[0]) << 16 | static_cast<std::uint32_t>(rgb[1]) << 8 | rgb[2];
}

// The bitmap's own colours as a palette with each pixel's index, or false when it has more
// than 256. Pages are long runs of one colour, so the last colour seen is tried first.
bool exactColours(const ServiceBitmap& bitmap, Palette& palette, std::vector<GifByteType>& indexes)
{
    std::unordered_map<std::uint32_t, GifByteType> known;
    std::uint32_t lastColour = 0xFFFFFFFF;
    GifByteType lastIndex = 0;
    const std::size_t pixels = indexes.size();
    for (std::size_t at = 0; at < pixels; ++at) {
        const std::uint8_t* rgb = bitmap.rgb.data() + at * 3;
        const std::uint32_t colour = packed(rgb);
        if (colour != lastColour) {
            auto found = known.find(colour);
            if (found == known.end()) {
                if (palette.count == kMaxColours)
                    return false;
                found = known.emplace(colour, static_cast<GifByteType>(palette.count)).first;
                palette.colours[palette.count++] = {rgb[0], rgb[1], rgb[2]};
            }
            lastColour = colour;
            lastIndex = found->second;
        }
        indexes[at] = lastIndex;
    }
    return true;
}

// A median-cut palette for a bitmap of many colours, each entry the mean of its pixels.
bool quantisedColours(const ServiceBitmap& bitmap, Palette& palette, std::vector<GifByteType>& indexes)
{
    const std::size_t pixels = indexes.size();
    std::vector<GifByteType> red(pixels), green(pixels), blue(pixels);
    for (std::size_t at = 0; at < pixels; ++at) {
        red[at] = bitmap.rgb[at * 3];
        green[at] = bitmap.rgb[at * 3 + 1];
        blue[at] = bitmap.rgb[at * 3 + 2];
    }
    int size = kMaxColours;
    if (GifQuantizeBuffer(bitmap.width, bitmap.height, &size, red.data(), green.data(), blue.data(), indexes.data(),
                          palette.colours.data()) != GIF_OK)
        return false;
    palette.count = size;

    std::array<std::array<std::uint64_t, 4>, kMaxColours> sums{};
    for (std::size_t at = 0; at < pixels; ++at) {
        auto& sum = sums[indexes[at]];
        sum[0] += red[at];
        sum[1] += green[at];
        sum[2] += blue[at];
        ++sum[3];
    }
    for (int entry = 0; entry < palette.count; ++entry) {
        const auto& sum = sums[static_cast<std::size_t>(entry)];
        if (sum[3] == 0)
            continue;
        palette.colours[entry] = {static_cast<GifByteType>((sum[0] + sum[3] / 2) / sum[3]),
                                  static_cast<GifByteType>((sum[1] + sum[3] / 2) / sum[3]),
                                  static_cast<GifByteType>((sum[2] + sum[3] / 2) / sum[3])};
    }
    return true;
}

int appendBytes(GifFileType* gif, const GifByteType* data, int length)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
    try {
        out->insert(out->end(), data, data + length);
    } catch (const std::bad_alloc&) {
        return 0;  // giflib sees a short write and fails the call
    }
    return length;
}

bool writeGif(const ServiceBitmap& bitmap, const Palette& palette, const std::vector<GifByteType>& indexes,
              std::vector<std::uint8_t>& out)
{
    // A GIF colour table has a power-of-two size; unused entries stay black.
    int tableSize = 2;
    while (tableSize < palette.count)
        tableSize *= 2;
    ColorMapObject* map = GifMakeMapObject(tableSize, nullptr);
    if (!map)
        return false;
    std::memcpy(map->Colors, palette.colours.data(), sizeof(GifColorType) * static_cast<std::size_t>(palette.count));

    int error = 0;
    GifFileType* gif = EGifOpen(&out, appendBytes, &error);
    if (!gif) {
        GifFreeMapObject(map);
        return false;
    }
    const int width = static_cast<int>(bitmap.width);
    const int height = static_cast<int>(bitmap.height);
    bool ok = EGifPutScreenDesc(gif, width, height, 8, 0, map) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) == GIF_OK;
    for (int y = 0; y < height && ok; ++y)
        ok = EGifPutLine(gif, const_cast<GifByteType*>(indexes.data() + std::size_t(y) * bitmap.width), width) == GIF_OK;
    ok = EGifCloseFile(gif, &error) == GIF_OK && ok;
    GifFreeMapObject(map);
    return ok;
}

}  // namespace

win::GpStatus encodeGif(const ServiceBitmap& bitmap, std::vector<std::uint8_t>& out)
{
    if (bitmap.width > kMaxGifSide || bitmap.height > kMaxGifSide)
        return win::InvalidParameter;
    out.clear();
    try {
        std::vector<GifByteType> indexes(std::size_t{bitmap.width} * bitmap.height);
        Palette palette;
        if (!exactColours(bitmap, palette, indexes)) {
            palette = Palette{};
            if (!quantisedColours(bitmap, palette, indexes))
                return win::OutOfMemory;
        }
        return writeGif(bitmap, palette, indexes, out) ? win::Ok : win::GenericError;
    } catch (const std::bad_alloc&) {
        return win::OutOfMemory;
    }
}

}  // namespace quillora::dlls
