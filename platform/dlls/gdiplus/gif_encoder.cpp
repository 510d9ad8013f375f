// GIF output through giflib: one 8-bit image with a global colour table. GIF holds at most
// 256 colours, so a page keeps its exact colours when it has that few, and otherwise gets a
// quantised palette: never the colours cut to a few bits each. giflib's quantiser works on
// five bits per primary and would turn white paper into (248, 248, 248); moving each entry to
// the mean of the true colours it stands for gives the paper back its 255. GIF has no field
// for a resolution.
#include "platform/dlls/gdiplus/image_encoders.h"

#include <array>
#include <cstring>
#include <limits>
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

// Calls visit(at, rgb) for every pixel, top row first, `at` counting pixels from the top left.
template <typename Visit>
void forEachPixel(BitmapRows& page, Visit visit)
{
    std::size_t at = 0;
    for (std::uint32_t y = 0; y < page.height(); ++y) {
        const std::uint8_t* rgb = page.rgb(y);
        for (std::uint32_t x = 0; x < page.width(); ++x, ++at, rgb += 3)
            visit(at, rgb);
    }
}

// The bitmap's own colours as a palette with each pixel's index, or false when it has more
// than 256. Pages are long runs of one colour, so the last colour seen is tried first.
bool exactColours(BitmapRows& page, Palette& palette, std::vector<GifByteType>& indexes)
{
    std::unordered_map<std::uint32_t, GifByteType> known;
    std::uint32_t lastColour = 0xFFFFFFFF;
    GifByteType lastIndex = 0;
    for (std::uint32_t y = 0; y < page.height(); ++y) {
        const std::uint8_t* rgb = page.rgb(y);
        const std::size_t rowStart = std::size_t{y} * page.width();
        for (std::uint32_t x = 0; x < page.width(); ++x, rgb += 3) {
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
            indexes[rowStart + x] = lastIndex;
        }
    }
    return true;
}

// Moves every palette entry to the mean of the true colours of the pixels mapped to it.
void moveEntriesToTheirMeans(BitmapRows& page, Palette& palette, const std::vector<GifByteType>& indexes)
{
    std::array<std::array<std::uint64_t, 4>, kMaxColours> sums{};
    forEachPixel(page, [&](std::size_t at, const std::uint8_t* rgb) {
        auto& sum = sums[indexes[at]];
        sum[0] += rgb[0];
        sum[1] += rgb[1];
        sum[2] += rgb[2];
        ++sum[3];
    });
    for (int entry = 0; entry < palette.count; ++entry) {
        const auto& sum = sums[static_cast<std::size_t>(entry)];
        if (sum[3] == 0)
            continue;
        palette.colours[entry] = {static_cast<GifByteType>((sum[0] + sum[3] / 2) / sum[3]),
                                  static_cast<GifByteType>((sum[1] + sum[3] / 2) / sum[3]),
                                  static_cast<GifByteType>((sum[2] + sum[3] / 2) / sum[3])};
    }
}

// Maps every pixel to the nearest palette entry. The nearest entry is looked up once per cell
// of five bits per primary (at most 32 768 searches of 256 entries), not once per pixel.
void mapToNearestEntries(BitmapRows& page, const Palette& palette, std::vector<GifByteType>& indexes)
{
    std::vector<std::int16_t> nearest(1u << 15, -1);
    forEachPixel(page, [&](std::size_t at, const std::uint8_t* rgb) {
        const unsigned cell = (rgb[0] >> 3) << 10 | (rgb[1] >> 3) << 5 | (rgb[2] >> 3);
        if (nearest[cell] < 0) {
            // The cell's centre stands for every colour in it.
            const int red = (rgb[0] & 0xF8) + 4;
            const int green = (rgb[1] & 0xF8) + 4;
            const int blue = (rgb[2] & 0xF8) + 4;
            int best = 0;
            int bestDistance = std::numeric_limits<int>::max();
            for (int entry = 0; entry < palette.count; ++entry) {
                const GifColorType& colour = palette.colours[entry];
                const int dr = colour.Red - red;
                const int dg = colour.Green - green;
                const int db = colour.Blue - blue;
                const int distance = dr * dr + dg * dg + db * db;
                if (distance < bestDistance) {
                    bestDistance = distance;
                    best = entry;
                }
            }
            nearest[cell] = static_cast<std::int16_t>(best);
        }
        indexes[at] = static_cast<GifByteType>(nearest[cell]);
    });
}

// A palette for a bitmap of many colours: giflib's median cut to start from, then a few
// rounds of moving each entry to the mean of its pixels and every pixel to its nearest entry.
// The median cut alone maps a pixel to the box it fell in, which on a colourful page can be
// far from the box's colour; the rounds halve the worst error for a tenth of a second a page.
bool quantisedColours(BitmapRows& page, Palette& palette, std::vector<GifByteType>& indexes)
{
    const std::size_t pixels = indexes.size();
    {
        std::vector<GifByteType> red(pixels), green(pixels), blue(pixels);
        forEachPixel(page, [&](std::size_t at, const std::uint8_t* rgb) {
            red[at] = rgb[0];
            green[at] = rgb[1];
            blue[at] = rgb[2];
        });
        int size = kMaxColours;
        if (GifQuantizeBuffer(page.width(), page.height(), &size, red.data(), green.data(), blue.data(),
                              indexes.data(), palette.colours.data()) != GIF_OK)
            return false;
        palette.count = size;
    }
    constexpr int kRefinementRounds = 3;
    for (int round = 0; round < kRefinementRounds; ++round) {
        moveEntriesToTheirMeans(page, palette, indexes);
        mapToNearestEntries(page, palette, indexes);
    }
    moveEntriesToTheirMeans(page, palette, indexes);
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

bool writeGif(const BitmapRows& page, const Palette& palette, const std::vector<GifByteType>& indexes,
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
    const int width = static_cast<int>(page.width());
    const int height = static_cast<int>(page.height());
    bool ok = EGifPutScreenDesc(gif, width, height, 8, 0, map) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) == GIF_OK;
    for (int y = 0; y < height && ok; ++y)
        ok = EGifPutLine(gif, const_cast<GifByteType*>(indexes.data() + std::size_t(y) * page.width()), width) == GIF_OK;
    ok = EGifCloseFile(gif, &error) == GIF_OK && ok;
    GifFreeMapObject(map);
    return ok;
}

}  // namespace

win::GpStatus encodeGif(BitmapRows& page, std::vector<std::uint8_t>& out)
{
    if (page.width() > kMaxGifSide || page.height() > kMaxGifSide)
        return win::InvalidParameter;
    out.clear();
    try {
        std::vector<GifByteType> indexes(std::size_t{page.width()} * page.height());
        Palette palette;
        if (!exactColours(page, palette, indexes)) {
            palette = Palette{};
            if (!quantisedColours(page, palette, indexes))
                return win::OutOfMemory;
        }
        return writeGif(page, palette, indexes, out) ? win::Ok : win::GenericError;
    } catch (const std::bad_alloc&) {
        return win::OutOfMemory;
    }
}

}  // namespace quillora::dlls
