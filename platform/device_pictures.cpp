#include "platform/device_pictures.h"

#include <QImage>

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <vector>

namespace quillora::platform {
namespace {

constexpr int kChannels = 3;  // blue, green, red

std::int64_t minimumRowBytes(PictureFormat format, int width)
{
    const std::int64_t pixels = width;
    switch (format) {
    case PictureFormat::Bgr24: return pixels * 3;
    case PictureFormat::Bgrx32: return pixels * 4;
    case PictureFormat::Indexed8: return pixels;
    case PictureFormat::Mono1: return (pixels + 7) / 8;
    }
    return -1;
}

bool viewIsConsistent(const PictureView& picture)
{
    return picture.pixels && picture.width > 0 && picture.height > 0
           && picture.stride >= minimumRowBytes(picture.format, picture.width);
}

// Palette entries as blue, green, red bytes; entries the picture does not give are black, so
// that no pixel value can reach past the table. Without a palette, grey levels from black to
// white.
std::vector<std::array<std::uint8_t, kChannels>> colourTable(const PictureView& picture, int entries)
{
    std::vector<std::array<std::uint8_t, kChannels>> table(static_cast<std::size_t>(entries),
                                                           {0, 0, 0});
    const bool given = picture.palette && picture.paletteSize > 0;
    for (int index = 0; index < entries; ++index) {
        if (!given) {
            const auto level = static_cast<std::uint8_t>(index * 255 / (entries - 1));
            table[static_cast<std::size_t>(index)] = {level, level, level};
        } else if (index < picture.paletteSize) {
            const std::uint32_t entry = picture.palette[index];
            table[static_cast<std::size_t>(index)] = {static_cast<std::uint8_t>(entry),
                                                      static_cast<std::uint8_t>(entry >> 8),
                                                      static_cast<std::uint8_t>(entry >> 16)};
        }
    }
    return table;
}

// Reduction works in units of which a source pixel is `targetLength` long and a target pixel
// `sourceLength` long, so that every overlap of a source and a target pixel is a whole number and
// the overlaps of one target pixel add up to `sourceLength`. As the target is never longer than
// the source, a source pixel meets at most two target pixels.

// Rows are read one after another: source row i gives `firstWeight[i]` to target row
// `firstTarget[i]` and the rest of its length to the next one.
struct RowShares {
    std::vector<int> firstTarget;
    std::vector<std::int64_t> firstWeight;
    std::int64_t sourcePixelLength = 0;
    std::int64_t targetPixelLength = 0;

    RowShares(int sourceLength, int targetLength)
        : firstTarget(static_cast<std::size_t>(sourceLength))
        , firstWeight(static_cast<std::size_t>(sourceLength))
        , sourcePixelLength(targetLength)
        , targetPixelLength(sourceLength)
    {
        for (int source = 0; source < sourceLength; ++source) {
            const std::int64_t start = std::int64_t{source} * sourcePixelLength;
            const auto target = static_cast<int>(start / targetPixelLength);
            const std::int64_t targetEnd = std::int64_t{target + 1} * targetPixelLength;
            firstTarget[static_cast<std::size_t>(source)] = target;
            firstWeight[static_cast<std::size_t>(source)] =
                std::min(start + sourcePixelLength, targetEnd) - start;
        }
    }
};

// Columns are gathered per target pixel: source columns first..last, the inner ones whole, the
// first and last ones with their overlaps.
struct ColumnSpan {
    int first = 0;
    int last = 0;
    std::uint64_t firstWeight = 0;
    std::uint64_t lastWeight = 0;  // 0 when first == last
};

std::vector<ColumnSpan> columnSpans(int sourceLength, int targetLength)
{
    const std::int64_t sourcePixelLength = targetLength;
    const std::int64_t targetPixelLength = sourceLength;
    std::vector<ColumnSpan> spans(static_cast<std::size_t>(targetLength));
    for (int target = 0; target < targetLength; ++target) {
        const std::int64_t start = std::int64_t{target} * targetPixelLength;
        const std::int64_t end = start + targetPixelLength;
        ColumnSpan& span = spans[static_cast<std::size_t>(target)];
        span.first = static_cast<int>(start / sourcePixelLength);
        span.last = static_cast<int>((end - 1) / sourcePixelLength);
        span.firstWeight = static_cast<std::uint64_t>(
            std::min(end, std::int64_t{span.first + 1} * sourcePixelLength) - start);
        if (span.last > span.first)
            span.lastWeight = static_cast<std::uint64_t>(end - std::int64_t{span.last} * sourcePixelLength);
    }
    return spans;
}

// The weighted sums of one source row for every target column, three values per column.
// The pixel step is a template argument so that the inner loop is compiled for it.
template <int Step>
void sumColumns(const std::uint8_t* sourceRow, const std::vector<ColumnSpan>& columns,
                std::uint64_t wholeColumnWeight, std::uint64_t* sums)
{
    for (const ColumnSpan& span : columns) {
        const std::uint8_t* first = sourceRow + std::ptrdiff_t{span.first} * Step;
        const std::uint8_t* last = sourceRow + std::ptrdiff_t{span.last} * Step;
        // Whole columns of one target pixel: at most 255 × (source ÷ target + 1) per channel.
        std::uint32_t inner[kChannels] = {0, 0, 0};
        for (const std::uint8_t* pixel = first + Step; pixel < last; pixel += Step) {
            inner[0] += pixel[0];
            inner[1] += pixel[1];
            inner[2] += pixel[2];
        }
        for (int channel = 0; channel < kChannels; ++channel, ++sums) {
            *sums = span.firstWeight * first[channel] + wholeColumnWeight * inner[channel];
            if (span.lastWeight)
                *sums += span.lastWeight * last[channel];
        }
    }
}

// One row of the picture as blue, green, red bytes, `step` bytes from pixel to pixel.
class RowReader {
public:
    explicit RowReader(const PictureView& picture) : picture_(picture)
    {
        if (picture.format == PictureFormat::Indexed8)
            table_ = colourTable(picture, 256);
        else if (picture.format == PictureFormat::Mono1)
            table_ = colourTable(picture, 2);
        if (!table_.empty())
            expanded_.resize(static_cast<std::size_t>(picture.width) * kChannels);
    }

    int step() const
    {
        return picture_.format == PictureFormat::Bgrx32 ? 4 : kChannels;
    }

    // Image row `row` counted from the top, whatever order the rows lie in.
    const std::uint8_t* row(int row)
    {
        const int stored = picture_.bottomUp ? picture_.height - 1 - row : row;
        const std::uint8_t* bytes = picture_.pixels + std::ptrdiff_t{stored} * picture_.stride;
        if (table_.empty())
            return bytes;
        for (int column = 0; column < picture_.width; ++column) {
            const int index = picture_.format == PictureFormat::Indexed8
                                  ? bytes[column]
                                  : (bytes[column / 8] >> (7 - column % 8)) & 1;
            std::copy_n(table_[static_cast<std::size_t>(index)].data(), kChannels,
                        expanded_.data() + std::size_t{static_cast<unsigned>(column)} * kChannels);
        }
        return expanded_.data();
    }

private:
    const PictureView& picture_;
    std::vector<std::array<std::uint8_t, kChannels>> table_;
    std::vector<std::uint8_t> expanded_;
};

}  // namespace

QImage reducedPicture(const PictureView& picture, int maximumWidth, int maximumHeight)
{
    if (!viewIsConsistent(picture) || maximumWidth <= 0 || maximumHeight <= 0)
        return {};
    const int width = std::min(maximumWidth, picture.width);
    const int height = std::min(maximumHeight, picture.height);
    QImage result(width, height, QImage::Format_RGB32);
    if (result.isNull())
        return {};

    RowReader reader(picture);
    const int step = reader.step();
    if (width == picture.width && height == picture.height) {
        for (int row = 0; row < height; ++row) {
            const std::uint8_t* pixel = reader.row(row);
            auto* out = reinterpret_cast<QRgb*>(result.scanLine(row));
            for (int column = 0; column < width; ++column, pixel += step)
                out[column] = qRgb(pixel[2], pixel[1], pixel[0]);
        }
        return result;
    }

    const std::vector<ColumnSpan> columns = columnSpans(picture.width, width);
    const RowShares rows(picture.height, height);
    const auto wholeColumnWeight = static_cast<std::uint64_t>(width);
    // A target pixel's sums stay below 255 × source width × source height, which needs 64 bits
    // for large photographs.
    const std::uint64_t area = static_cast<std::uint64_t>(picture.width) * static_cast<std::uint64_t>(picture.height);
    const std::size_t rowValues = static_cast<std::size_t>(width) * kChannels;
    std::vector<std::uint64_t> rowSums(rowValues);
    std::vector<std::uint64_t> currentTarget(rowValues);
    std::vector<std::uint64_t> nextTarget(rowValues);

    int target = 0;
    for (int source = 0; source < picture.height && target < height; ++source) {
        const std::uint8_t* sourceRow = reader.row(source);
        if (step == 4)
            sumColumns<4>(sourceRow, columns, wholeColumnWeight, rowSums.data());
        else
            sumColumns<kChannels>(sourceRow, columns, wholeColumnWeight, rowSums.data());

        const auto sourceIndex = static_cast<std::size_t>(source);
        const auto firstWeight = static_cast<std::uint64_t>(rows.firstWeight[sourceIndex]);
        const auto restWeight = static_cast<std::uint64_t>(rows.sourcePixelLength) - firstWeight;
        for (std::size_t value = 0; value < rowValues; ++value)
            currentTarget[value] += firstWeight * rowSums[value];
        if (restWeight)
            for (std::size_t value = 0; value < rowValues; ++value)
                nextTarget[value] += restWeight * rowSums[value];
        // The target row is complete once this source row reaches its lower edge.
        const std::int64_t sourceEnd = std::int64_t{source + 1} * rows.sourcePixelLength;
        if (sourceEnd < std::int64_t{target + 1} * rows.targetPixelLength)
            continue;
        auto* out = reinterpret_cast<QRgb*>(result.scanLine(target));
        for (int column = 0; column < width; ++column) {
            const std::uint64_t* sums = currentTarget.data() + std::size_t{static_cast<unsigned>(column)} * kChannels;
            const auto average = [&](int channel) {
                return static_cast<int>((sums[channel] + area / 2) / area);
            };
            out[column] = qRgb(average(2), average(1), average(0));
        }
        currentTarget.swap(nextTarget);
        std::fill(nextTarget.begin(), nextTarget.end(), 0);
        ++target;
    }
    return result;
}

}  // namespace quillora::platform
