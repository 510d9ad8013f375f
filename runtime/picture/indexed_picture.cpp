#include "runtime/picture/indexed_picture.h"

#include <cstdlib>
#include <cstring>
#include <limits>

#include "runtime/picture/pixel_buffer.h"

namespace quillora::runtime {

std::optional<std::vector<std::uint8_t>> newIndexedPicture(std::uint32_t width, std::uint32_t height,
                                                           std::uint16_t planes)
{
    if (width > static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max()) ||
        height > static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max()))
        return std::nullopt;
    auto data = newPixelBuffer(width, height, paddedRowBytes(width), kIndexedPixelOffset);
    if (!data)
        return std::nullopt;
    BitmapInfoHeader header{};
    header.size = sizeof(BitmapInfoHeader);
    header.width = static_cast<std::int32_t>(width);
    header.height = -static_cast<std::int32_t>(height);
    header.planes = planes;
    header.bitCount = 8;
    std::memcpy(data->data(), &header, sizeof header);
    return data;
}

void writeColourTable(std::vector<std::uint8_t>& data, const ColourTable& table)
{
    if (data.size() >= kIndexedPixelOffset)
        std::memcpy(data.data() + sizeof(BitmapInfoHeader), table.data(), kColourTableBytes);
}

std::optional<IndexedView> viewIndexedPicture(std::span<const std::uint8_t> data)
{
    if (data.size() < kIndexedPixelOffset)
        return std::nullopt;
    BitmapInfoHeader header;
    std::memcpy(&header, data.data(), sizeof header);
    if (header.bitCount != 8 || header.width <= 0 || header.height == std::numeric_limits<std::int32_t>::min())
        return std::nullopt;
    IndexedView view;
    view.width = static_cast<std::uint32_t>(header.width);
    view.height = static_cast<std::uint32_t>(std::abs(header.height));
    view.stride = paddedRowBytes(view.width);
    view.topDown = header.height < 0;
    if (view.height == 0 || (data.size() - kIndexedPixelOffset) / view.stride < view.height)
        return std::nullopt;
    std::memcpy(view.table.data(), data.data() + sizeof(BitmapInfoHeader), kColourTableBytes);
    view.pixels = data.subspan(kIndexedPixelOffset, view.stride * view.height);
    return view;
}

}  // namespace quillora::runtime
