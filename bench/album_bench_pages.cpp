#include "album_bench_pages.h"

#include <jpeglib.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

namespace album_bench {
namespace {

// Pages are 2100 × 2970; a camera photo 4000 × 3000. Nothing larger is read.
constexpr long kMaxPixels = 40'000'000;

bool sizeAllowed(long width, long height)
{
    return width > 0 && height > 0 && width <= 65535 && height <= 65535 && width * height <= kMaxPixels;
}

std::vector<std::uint8_t> fileBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t little(const std::vector<std::uint8_t>& bytes, std::size_t at, int count)
{
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = (value << 8) | bytes[at + static_cast<std::size_t>(i)];
    return value;
}

// A BMP with a 40-byte (or longer) header, 24 or 32 bits, no compression; rows bottom-up unless
// the height is negative. Rows are padded to four bytes.
Rgb readBmp(const std::filesystem::path& file)
{
    const std::vector<std::uint8_t> bytes = fileBytes(file);
    Rgb picture;
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M')
        return picture;
    const std::uint32_t offset = little(bytes, 10, 4);
    const auto width = static_cast<std::int32_t>(little(bytes, 18, 4));
    const auto rawHeight = static_cast<std::int32_t>(little(bytes, 22, 4));
    const std::uint32_t bits = little(bytes, 28, 2);
    const std::uint32_t compression = little(bytes, 30, 4);
    const long height = rawHeight < 0 ? -long{rawHeight} : long{rawHeight};
    if ((bits != 24 && bits != 32) || (compression != 0 && compression != 3) || !sizeAllowed(width, height))
        return picture;
    const std::size_t pixelBytes = bits / 8;
    const std::size_t stride = (std::size_t(width) * pixelBytes + 3) / 4 * 4;
    if (offset > bytes.size() || (bytes.size() - offset) / stride < std::size_t(height))
        return picture;
    picture.width = width;
    picture.height = static_cast<int>(height);
    picture.pixels.resize(std::size_t(width) * std::size_t(height) * 3);
    for (long y = 0; y < height; ++y) {
        const long sourceRow = rawHeight < 0 ? y : height - 1 - y;
        const std::uint8_t* in = &bytes[offset + std::size_t(sourceRow) * stride];
        std::uint8_t* out = &picture.pixels[std::size_t(y) * std::size_t(width) * 3];
        for (long x = 0; x < width; ++x, in += pixelBytes, out += 3) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
    }
    return picture;
}

Rgb readPng(const std::filesystem::path& file)
{
    Rgb picture;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, file.c_str()))
        return picture;
    image.format = PNG_FORMAT_RGB;
    if (!sizeAllowed(image.width, image.height)) {
        png_image_free(&image);
        return picture;
    }
    picture.pixels.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, picture.pixels.data(), 0, nullptr)) {
        png_image_free(&image);
        return Rgb{};
    }
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    return picture;
}

struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf escape;
};

void leaveDecode(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->escape, 1);
}

// The libjpeg state lives outside the function that calls setjmp, so nothing of it is lost
// when a corrupt file jumps back.
struct JpegRead {
    jpeg_decompress_struct info{};
    JpegErrors errors{};
    std::vector<std::uint8_t> bytes;
    Rgb picture;
};

bool decodeJpeg(JpegRead& read)
{
    read.info.err = jpeg_std_error(&read.errors.manager);
    read.errors.manager.error_exit = leaveDecode;
    if (setjmp(read.errors.escape)) {
        jpeg_destroy_decompress(&read.info);
        return false;
    }
    jpeg_create_decompress(&read.info);
    jpeg_mem_src(&read.info, read.bytes.data(), static_cast<unsigned long>(read.bytes.size()));
    jpeg_read_header(&read.info, TRUE);
    read.info.out_color_space = JCS_RGB;
    read.info.scale_num = 1;
    read.info.scale_denom = 1;
    read.info.dct_method = JDCT_ISLOW;
    jpeg_start_decompress(&read.info);
    if (read.info.output_components != 3 ||
        !sizeAllowed(read.info.output_width, read.info.output_height)) {
        jpeg_destroy_decompress(&read.info);
        return false;
    }
    read.picture.width = static_cast<int>(read.info.output_width);
    read.picture.height = static_cast<int>(read.info.output_height);
    read.picture.pixels.resize(std::size_t(read.picture.width) * std::size_t(read.picture.height) * 3);
    while (read.info.output_scanline < read.info.output_height) {
        JSAMPROW row = &read.picture.pixels[std::size_t(read.info.output_scanline) * std::size_t(read.picture.width) * 3];
        jpeg_read_scanlines(&read.info, &row, 1);
    }
    jpeg_finish_decompress(&read.info);
    jpeg_destroy_decompress(&read.info);
    return true;
}

// For each output position along one side, the source pixels it covers and their weights.
struct Tap {
    int first = 0;
    std::vector<double> weights;
};

std::vector<Tap> areaTaps(int sourceLength, int length)
{
    std::vector<Tap> taps(static_cast<std::size_t>(length));
    const double scale = static_cast<double>(sourceLength) / length;
    for (int i = 0; i < length; ++i) {
        const double start = i * scale, end = (i + 1) * scale;
        Tap& tap = taps[static_cast<std::size_t>(i)];
        tap.first = static_cast<int>(std::floor(start));
        const int last = std::min(sourceLength - 1, static_cast<int>(std::ceil(end)) - 1);
        for (int s = tap.first; s <= last; ++s) {
            const double covered = std::min(end, s + 1.0) - std::max(start, double(s));
            tap.weights.push_back(covered / scale);
        }
    }
    return taps;
}

Difference accumulate(const Rgb& a, int ax, int ay, const Rgb& b, int bx, int by, int width, int height)
{
    Difference difference;
    if (width <= 0 || height <= 0)
        return difference;
    std::uint64_t sum = 0, large = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = a.at(ax + x, ay + y);
            const std::uint8_t* q = b.at(bx + x, by + y);
            for (int c = 0; c < 3; ++c) {
                const int d = std::abs(int(p[c]) - int(q[c]));
                sum += static_cast<std::uint64_t>(d);
                large += d > 48 ? 1 : 0;
                difference.maxAbsolute = std::max(difference.maxAbsolute, d);
            }
        }
    const double values = 3.0 * width * height;
    difference.meanAbsolute = static_cast<double>(sum) / values;
    difference.largeFraction = static_cast<double>(large) / values;
    return difference;
}

bool isPaper(const std::uint8_t* pixel)
{
    return pixel[0] == 255 && pixel[1] == 255 && pixel[2] == 255;
}

// The longest run of indexes in [0, count) for which `inked` holds.
template <typename Test>
std::pair<int, int> longestRun(int count, Test inked)
{
    int bestStart = 0, bestLength = 0, start = 0, length = 0;
    for (int i = 0; i < count; ++i) {
        if (inked(i)) {
            if (length == 0)
                start = i;
            if (++length > bestLength) {
                bestLength = length;
                bestStart = start;
            }
        } else {
            length = 0;
        }
    }
    return {bestStart, bestLength};
}

}  // namespace

Rgb readPicture(const std::filesystem::path& file)
{
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) { return std::tolower(c); });
    if (extension == ".bmp")
        return readBmp(file);
    if (extension == ".png")
        return readPng(file);
    if (extension == ".jpg" || extension == ".jpeg")
        return readJpegFullSize(file);
    return Rgb{};
}

Rgb readJpegFullSize(const std::filesystem::path& file)
{
    JpegRead read;
    read.bytes = fileBytes(file);
    if (read.bytes.empty() || !decodeJpeg(read))
        return Rgb{};
    return std::move(read.picture);
}

Rgb areaAverage(const Rgb& source, int width, int height)
{
    Rgb result;
    if (source.empty() || width <= 0 || height <= 0)
        return result;
    const std::vector<Tap> across = areaTaps(source.width, width);
    const std::vector<Tap> down = areaTaps(source.height, height);
    // Rows first: every source row reduced to `width`, kept in floating point.
    std::vector<float> narrow(std::size_t(source.height) * std::size_t(width) * 3);
    for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < width; ++x) {
            const Tap& tap = across[static_cast<std::size_t>(x)];
            double sum[3] = {0, 0, 0};
            for (std::size_t k = 0; k < tap.weights.size(); ++k) {
                const std::uint8_t* pixel = source.at(tap.first + static_cast<int>(k), y);
                for (int c = 0; c < 3; ++c)
                    sum[c] += pixel[c] * tap.weights[k];
            }
            float* out = &narrow[(std::size_t(y) * std::size_t(width) + std::size_t(x)) * 3];
            for (int c = 0; c < 3; ++c)
                out[c] = static_cast<float>(sum[c]);
        }
    result.width = width;
    result.height = height;
    result.pixels.resize(std::size_t(width) * std::size_t(height) * 3);
    for (int y = 0; y < height; ++y) {
        const Tap& tap = down[static_cast<std::size_t>(y)];
        for (int x = 0; x < width; ++x) {
            double sum[3] = {0, 0, 0};
            for (std::size_t k = 0; k < tap.weights.size(); ++k) {
                const float* in = &narrow[(std::size_t(tap.first + static_cast<int>(k)) * std::size_t(width) + std::size_t(x)) * 3];
                for (int c = 0; c < 3; ++c)
                    sum[c] += in[c] * tap.weights[k];
            }
            std::uint8_t* out = &result.pixels[(std::size_t(y) * std::size_t(width) + std::size_t(x)) * 3];
            for (int c = 0; c < 3; ++c)
                out[c] = static_cast<std::uint8_t>(std::clamp(std::lround(sum[c]), 0L, 255L));
        }
    }
    return result;
}

Rect findPhotoInCell(const Rgb& page, const Rect& cell)
{
    const int right = std::min(page.width, cell.x + cell.width);
    const int bottom = std::min(page.height, cell.y + cell.height);
    const int width = right - cell.x, height = bottom - cell.y;
    if (cell.x < 0 || cell.y < 0 || width <= 0 || height <= 0)
        return Rect{};
    // A photo row has ink in at least nine tenths of the cell's width; a caption line never does.
    const auto rowInked = [&](int i) {
        int ink = 0;
        for (int x = cell.x; x < right; ++x)
            ink += isPaper(page.at(x, cell.y + i)) ? 0 : 1;
        return ink * 10 >= width * 9;
    };
    const auto [top, rows] = longestRun(height, rowInked);
    if (rows == 0)
        return Rect{};
    const auto columnInked = [&](int i) {
        int ink = 0;
        for (int y = cell.y + top; y < cell.y + top + rows; ++y)
            ink += isPaper(page.at(cell.x + i, y)) ? 0 : 1;
        return ink * 10 >= rows * 9;
    };
    const auto [left, columns] = longestRun(width, columnInked);
    if (columns == 0)
        return Rect{};
    return Rect{cell.x + left, cell.y + top, columns, rows};
}

Difference compare(const Rgb& a, const Rgb& b)
{
    if (a.width != b.width || a.height != b.height || a.empty()) {
        Difference difference;
        difference.sameSize = false;
        return difference;
    }
    return accumulate(a, 0, 0, b, 0, 0, a.width, a.height);
}

Difference compareRegion(const Rgb& page, const Rect& rect, const Rgb& reference, int inset)
{
    if (rect.width != reference.width || rect.height != reference.height || rect.x < 0 || rect.y < 0 ||
        rect.x + rect.width > page.width || rect.y + rect.height > page.height || 2 * inset >= rect.width ||
        2 * inset >= rect.height) {
        Difference difference;
        difference.sameSize = false;
        return difference;
    }
    return accumulate(page, rect.x + inset, rect.y + inset, reference, inset, inset, rect.width - 2 * inset,
                      rect.height - 2 * inset);
}

std::size_t inkIn(const Rgb& page, const Rect& rect)
{
    std::size_t ink = 0;
    for (int y = std::max(0, rect.y); y < std::min(page.height, rect.y + rect.height); ++y)
        for (int x = std::max(0, rect.x); x < std::min(page.width, rect.x + rect.width); ++x)
            ink += isPaper(page.at(x, y)) ? 0 : 1;
    return ink;
}

}  // namespace album_bench
