// Encoding one exported page, a 2100 x 2970 A4 page at 0.1 mm per pixel, through the stand-in
// image-encoding service exactly as the page export calls it (a bitmap from a stream of BMP
// data, then saved into a second stream), once per output format; and the PNG compression
// settings the service could use, timed on the same page with the file size each gives.
//
//   page_encoding_bench [--benchmark_min_time=SECONDS]
//
// The page is made here, the way an album page looks: white paper, a 5 x 5 grid of photo
// cells (smooth colour fields with sensor-like noise, which compress as a reduced camera
// photo does) and a dark caption bar under each cell.
#include "quillora/dll_commands.h"
#include "quillora/win_abi.h"
#include "runtime/core/dll_commands.h"

#include <benchmark/benchmark.h>
#include <png.h>

#include <cmath>
#include <cstring>
#include <cstdio>
#include <random>
#include <vector>

namespace {

using namespace quillora;

constexpr int kPageWidth = 2100;
constexpr int kPageHeight = 2970;
constexpr int kPixelsPerMetre = 11811;

// Rows top-down, red, green, blue.
const std::vector<std::uint8_t>& pagePixels()
{
    static const std::vector<std::uint8_t> page = [] {
        std::vector<std::uint8_t> rgb(std::size_t{kPageWidth} * kPageHeight * 3, 255);
        std::mt19937 noise(1);
        std::normal_distribution<double> grain(0.0, 3.0);
        constexpr int kCellWidth = 372, kCellHeight = 500, kLeft = 100, kTop = 100, kGap = 15, kCaption = 40;
        for (int row = 0; row < 5; ++row)
            for (int column = 0; column < 5; ++column) {
                const int left = kLeft + column * (kCellWidth + kGap);
                const int top = kTop + row * (kCellHeight + kCaption + kGap);
                const double phase = row * 5 + column;
                for (int y = 0; y < kCellHeight + kCaption; ++y)
                    for (int x = 0; x < kCellWidth; ++x) {
                        std::uint8_t* pixel = &rgb[(std::size_t(top + y) * kPageWidth + left + x) * 3];
                        if (y >= kCellHeight) {
                            // A caption: a dark bar with gaps, like a line of text.
                            const bool ink = y > kCellHeight + 12 && y < kCellHeight + 28 && (x / 9) % 3 != 2 && x < 260;
                            if (ink)
                                pixel[0] = pixel[1] = pixel[2] = 20;
                            continue;
                        }
                        const double u = x / 60.0 + phase, v = y / 80.0 - phase;
                        const double base[3] = {128 + 90 * std::sin(u) * std::cos(v), 120 + 80 * std::sin(u * 0.7 + v),
                                                110 + 70 * std::cos(v * 1.3 - u * 0.4)};
                        for (int channel = 0; channel < 3; ++channel)
                            pixel[channel] = static_cast<std::uint8_t>(std::clamp(base[channel] + grain(noise), 0.0, 255.0));
                    }
            }
        return rgb;
    }();
    return page;
}

// The page as the bitmap object's GetData gives it: 24-bit rows bottom-up, 300 dpi.
const std::vector<std::uint8_t>& pageBmp()
{
    static const std::vector<std::uint8_t> file = [] {
        const std::size_t stride = (std::size_t{kPageWidth} * 3 + 3) / 4 * 4;
        std::vector<std::uint8_t> bmp(54 + stride * kPageHeight, 0);
        const auto put32 = [&bmp](std::size_t at, std::uint32_t value) {
            for (int byte = 0; byte < 4; ++byte)
                bmp[at + byte] = static_cast<std::uint8_t>(value >> (8 * byte));
        };
        bmp[0] = 'B';
        bmp[1] = 'M';
        put32(2, static_cast<std::uint32_t>(bmp.size()));
        put32(10, 54);
        put32(14, 40);
        put32(18, kPageWidth);
        put32(22, kPageHeight);
        bmp[26] = 1;
        bmp[28] = 24;
        put32(38, kPixelsPerMetre);
        put32(42, kPixelsPerMetre);
        const std::vector<std::uint8_t>& rgb = pagePixels();
        for (int y = 0; y < kPageHeight; ++y) {
            const std::uint8_t* in = &rgb[std::size_t(y) * kPageWidth * 3];
            std::uint8_t* out = &bmp[54 + std::size_t(kPageHeight - 1 - y) * stride];
            for (int x = 0; x < kPageWidth; ++x) {
                out[3 * x] = in[3 * x + 2];
                out[3 * x + 1] = in[3 * x + 1];
                out[3 * x + 2] = in[3 * x];
            }
        }
        return bmp;
    }();
    return file;
}

template <typename Function>
Function command(DllCommand which)
{
    return reinterpret_cast<Function>(runtime::programDllCommands().resolve(static_cast<std::int32_t>(which)));
}

// One page through the service: bitmap from a stream on the BMP data, saved with `encoder`.
// Returns the encoded size.
std::size_t encodeThroughService(const win::CLSID& encoder)
{
    static const auto alloc = command<win::GlobalAllocFn>(DllCommand::GlobalAlloc);
    static const auto lock = command<win::GlobalLockFn>(DllCommand::GlobalLock);
    static const auto unlock = command<win::GlobalUnlockFn>(DllCommand::GlobalUnlock);
    static const auto createStream = command<win::CreateStreamOnHGlobalFn>(DllCommand::CreateStreamOnHGlobal);
    static const auto createBitmap = command<win::GdipCreateBitmapFromStreamFn>(DllCommand::GdipCreateBitmapFromStream);
    static const auto save = command<win::GdipSaveImageToStreamFn>(DllCommand::GdipSaveImageToStream);
    static const auto blockOf = command<win::GetHGlobalFromStreamFn>(DllCommand::GetHGlobalFromStream);
    static const auto size = command<win::GlobalSizeFn>(DllCommand::GlobalSize);
    static const auto dispose = command<win::GdipDisposeImageFn>(DllCommand::GdipDisposeImage);

    const std::vector<std::uint8_t>& bmp = pageBmp();
    win::HGLOBAL block = alloc(win::GMEM_FIXED, bmp.size());
    win::IStream* input = nullptr;
    createStream(block, 1, &input);
    std::memcpy(lock(block), bmp.data(), bmp.size());
    unlock(block);
    win::GpImage* bitmap = nullptr;
    const win::GpStatus created = createBitmap(input, &bitmap);
    win::IStream* output = nullptr;
    createStream(nullptr, 1, &output);
    const win::GpStatus saved = save(bitmap, output, &encoder, nullptr);
    if (created != win::Ok || saved != win::Ok)
        std::fprintf(stderr, "the service failed: status %d, %d\n", created, saved);
    win::HGLOBAL encoded = nullptr;
    blockOf(output, &encoded);
    const std::size_t bytes = size(encoded);
    dispose(bitmap);
    input->Release();
    output->Release();
    return bytes;
}

constexpr win::CLSID encoderId(std::uint32_t format)
{
    return {0x557CF400u | format, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
}

void ServiceEncode(benchmark::State& state, std::uint32_t format)
{
    std::size_t bytes = 0;
    for (auto _ : state)
        bytes = encodeThroughService(encoderId(format));
    state.counters["file_KB"] = static_cast<double>(bytes) / 1024.0;
}
BENCHMARK_CAPTURE(ServiceEncode, bmp, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ServiceEncode, jpeg, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ServiceEncode, gif, 2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ServiceEncode, tiff, 5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ServiceEncode, png, 6)->Unit(benchmark::kMillisecond);

// libpng alone on the page's rows, at a zlib level and strategy and with a filter set.
std::size_t encodePng(int level, int filters, int strategy)
{
    std::size_t bytes = 0;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return 0;
    }
    png_set_write_fn(
        png, &bytes, [](png_structp p, png_bytep, png_size_t length) { *static_cast<std::size_t*>(png_get_io_ptr(p)) += length; },
        nullptr);
    png_set_compression_level(png, level);
    png_set_compression_strategy(png, strategy);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, filters);
    png_set_IHDR(png, info, kPageWidth, kPageHeight, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const std::vector<std::uint8_t>& rgb = pagePixels();
    for (int y = 0; y < kPageHeight; ++y)
        png_write_row(png, rgb.data() + std::size_t(y) * kPageWidth * 3);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return bytes;
}

// Arguments: zlib level, filter set (0 all adaptive, 1 none, 2 sub, 3 up, 4 paeth), strategy
// (0 default, 1 filtered, 3 run-length).
void PngSetting(benchmark::State& state)
{
    constexpr int kFilters[] = {PNG_ALL_FILTERS, PNG_FILTER_NONE, PNG_FILTER_SUB, PNG_FILTER_UP, PNG_FILTER_PAETH};
    const int level = static_cast<int>(state.range(0));
    const int filters = kFilters[state.range(1)];
    const int strategy = static_cast<int>(state.range(2));
    std::size_t bytes = 0;
    for (auto _ : state)
        bytes = encodePng(level, filters, strategy);
    state.counters["file_KB"] = static_cast<double>(bytes) / 1024.0;
}
BENCHMARK(PngSetting)
    ->ArgNames({"level", "filter", "strategy"})
    ->Args({6, 0, 0})  // zlib's and libpng's defaults
    ->Args({3, 3, 0})
    ->Args({1, 0, 0})
    ->Args({1, 1, 0})
    ->Args({1, 3, 0})
    ->Args({1, 0, 3})
    ->Args({1, 2, 3})
    ->Args({1, 3, 3})  // the service's choice
    ->Args({1, 4, 3})
    ->Unit(benchmark::kMillisecond);

}  // namespace

// The page is made before the first timing, so no benchmark pays for it.
int main(int argc, char** argv)
{
    pageBmp();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
