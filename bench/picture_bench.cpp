// A photo on its way to a printed page: decoding a 4000 x 3000 camera JPEG, drawing it stretched
// into a 372 x 510 cell of a 2100 x 2970 page, taking the page out as BMP data and turning that
// page a quarter with the bitmap object. The page is the progress window's hidden panel
// 画板_temp, sized and set up as the album printing sets it up, and every step goes through the
// same commands the program calls.
//
// Drawing into the cell should cost far less than the full-size decode: the photo is decoded
// at a quarter of its size (1000 x 750, still larger than the cell) before it is stretched.
// DecodeForCell times that reduced decode alone, so the two decode figures compare directly.
//
//   picture_bench [--benchmark_min_time=SECONDS]
//
// The photo is /tmp/bench-data/large/IMG_0001.jpg (gen_data.sh makes it); when it is missing,
// one of the same kind is made with ImageMagick first.
#include "form_ids.h"
#include "platform/gui_application.h"
#include "quillora/dib_commands.h"
#include "quillora/draw_panel_commands.h"
#include "quillora/entry_table.h"
#include "quillora/events.h"
#include "runtime/core/form_template.h"
#include "runtime/core/window_loader.h"
#include "runtime/core/window_registry.h"
#include "runtime/picture/picture_registry.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

namespace {

namespace qf = quillora::forms;
using quillora::RuntimeValue;

constexpr const char* kPhotoFolder = "/tmp/bench-data/large";
constexpr const char* kPhotoPath = "/tmp/bench-data/large/IMG_0001.jpg";
// One picture of gen_data.sh's large set: plasma at a quarter size scaled up with noise, which
// compresses like a camera photo. One thread keeps the noise, and so the file, reproducible.
constexpr const char* kMakePhoto =
    "MAGICK_THREAD_LIMIT=1 convert -seed 1 -size 1000x750 plasma:fractal -resize 4000x3000! "
    "-attenuate 0.3 +noise Gaussian -quality 90 /tmp/bench-data/large/IMG_0001.jpg";

constexpr int kPageWidth = 2100;
constexpr int kPageHeight = 2970;
constexpr int kCellLeft = 200;
constexpr int kCellTop = 300;
constexpr int kCellWidth = 372;
constexpr int kCellHeight = 510;

// The kind properties of a drawing panel are numbered after the eight every unit has.
constexpr std::int32_t kWidthProperty = 2;
constexpr std::int32_t kHeightProperty = 3;
constexpr std::int32_t panelProperty(std::int32_t kindIndex) { return kindIndex + 8; }

const RuntimeValue kPage =
    quillora::makeUnitRef(qf::unit_type::DrawPanel, qf::ProgressWindow::id, qf::ProgressWindow::画板_temp);

struct Setup {
    quillora::runtime::PictureHandle photo = 0;
    std::int64_t photoPixels = 0;
    RuntimeValue pageDib{};
};

Setup& setup()
{
    static Setup instance;
    return instance;
}

template <typename... Values>
RuntimeValue call(std::int32_t library, quillora::CommandFunction command, Values... values)
{
    // One record more than the arguments, so a call without arguments still passes an array.
    RuntimeValue arguments[] = {values..., RuntimeValue{}};
    return quillora::runtimeEntries().CallLibraryCommand(library, command, static_cast<std::int32_t>(sizeof...(values)),
                                                         arguments);
}

void setPage(std::int32_t property, std::uint32_t value)
{
    quillora::runtimeEntries().WriteUnitProperty(kPage.low, kPage.high, property, -1, value, 0);
}

void freeResult(const RuntimeValue& value)
{
    quillora::runtimeEntries().FreeBlock(quillora::asPointer(value));
}

std::optional<std::vector<std::uint8_t>> readPhoto()
{
    if (!std::filesystem::exists(kPhotoPath)) {
        std::filesystem::create_directories(kPhotoFolder);
        std::fprintf(stderr, "making %s\n", kPhotoPath);
        if (std::system(kMakePhoto) != 0)
            return std::nullopt;
    }
    std::ifstream file(kPhotoPath, std::ios::binary);
    if (!file)
        return std::nullopt;
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

quillora::HandlerResult ignoreEvent(const quillora::EventArguments&) { return quillora::noValue(); }

bool loadProgressWindow()
{
    static const std::vector<quillora::EventHandler> handlers(qf::kHandlerCount, &ignoreEvent);
    auto read = quillora::runtime::readFormTemplates({qf::templateData, qf::templateDataBytes},
                                                     {handlers.data(), handlers.size()});
    if (!read.ok())
        return false;
    quillora::runtime::installFormTemplates(std::move(read.templates));
    return quillora::runtime::loadWindow(qf::ProgressWindow::id, false, 0);
}

// The page as the album printing prepares it: whole pixels, kept in the persistent bitmap.
void preparePage()
{
    setPage(panelProperty(quillora::kDrawPanelAutoRedraw), 1);
    setPage(panelProperty(quillora::kDrawPanelScaleMode), 0);
    setPage(kWidthProperty, kPageWidth);
    setPage(kHeightProperty, kPageHeight);
    call(quillora::kDrawPanelLibrary, quillora::drawPanelClear, kPage);
}

void drawPhotoIntoCell()
{
    using quillora::makeInt;
    call(quillora::kDrawPanelLibrary, quillora::drawPanelDrawPicture, kPage, makeInt(setup().photo),
         makeInt(kCellLeft), makeInt(kCellTop), makeInt(kCellWidth), makeInt(kCellHeight));
}

std::uint32_t u32At(const std::uint8_t* bytes) { return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | bytes[3] << 24; }

// A benchmark that timed an empty page or a picture that failed to draw would measure nothing,
// so the page is checked once: its size, and the middle of the cell no longer white.
bool pageHoldsThePhoto(const RuntimeValue& pageData)
{
    const std::uint8_t* bytes = quillora::byteSetData(pageData);
    if (quillora::byteSetLength(pageData) < 54 || static_cast<int>(u32At(bytes + 18)) != kPageWidth ||
        static_cast<int>(u32At(bytes + 22)) != kPageHeight)
        return false;
    // BMP rows are stored bottom-up and padded to four bytes.
    const std::size_t rowBytes = (kPageWidth * 3 + 3) / 4 * 4;
    const int x = kCellLeft + kCellWidth / 2;
    const int y = kCellTop + kCellHeight / 2;
    const std::uint8_t* pixel = bytes + u32At(bytes + 10) + (kPageHeight - 1 - y) * rowBytes + x * 3;
    return !(pixel[0] == 0xFF && pixel[1] == 0xFF && pixel[2] == 0xFF);
}

// Full-size pixels, as a picture shown at its own size needs them.
void DecodeFullSize(benchmark::State& state)
{
    for (auto _ : state) {
        auto pixels = quillora::runtime::pictureForDrawing(setup().photo, 0, 0);
        if (!pixels)
            state.SkipWithError("the photo did not decode");
        benchmark::DoNotOptimize(pixels);
    }
    state.SetItemsProcessed(state.iterations() * setup().photoPixels);
}

// The same decode into the picture record's form, which caches the pixels: each round loads the
// photo afresh so nothing is cached between rounds.
void DecodeRecord(benchmark::State& state, const std::vector<std::uint8_t>* photoBytes)
{
    for (auto _ : state) {
        const auto handle = quillora::runtime::loadPicture(*photoBytes);
        if (!quillora::runtime::decodedPicture(handle))
            state.SkipWithError("the photo did not decode");
        quillora::runtime::unloadPicture(handle);
    }
    state.SetItemsProcessed(state.iterations() * setup().photoPixels);
}

// The reduced decode drawing into the cell takes, without the drawing.
void DecodeForCell(benchmark::State& state)
{
    for (auto _ : state) {
        auto pixels = quillora::runtime::pictureForDrawing(setup().photo, kCellWidth, kCellHeight);
        if (!pixels)
            state.SkipWithError("the photo did not decode");
        benchmark::DoNotOptimize(pixels);
    }
    state.SetItemsProcessed(state.iterations() * setup().photoPixels);
}

void DrawIntoCell(benchmark::State& state)
{
    for (auto _ : state)
        drawPhotoIntoCell();
    state.SetItemsProcessed(state.iterations() * setup().photoPixels);
}

void GetPicture(benchmark::State& state)
{
    for (auto _ : state) {
        const RuntimeValue data = call(quillora::kDrawPanelLibrary, quillora::drawPanelGetPicture, kPage);
        if (quillora::byteSetLength(data) == 0)
            state.SkipWithError("the page gave no picture");
        freeResult(data);
    }
    state.SetItemsProcessed(state.iterations() * kPageWidth * kPageHeight);
}

void RotatePage(benchmark::State& state)
{
    for (auto _ : state) {
        const RuntimeValue turned =
            call(quillora::kBitmapLibrary, quillora::dibRotate, setup().pageDib, quillora::makeDouble(90.0),
                 quillora::makeInt(0xFFFFFF));
        const RuntimeValue data = call(quillora::kBitmapLibrary, quillora::dibLastError, turned);
        if (quillora::asText(data)[0] != '\0')
            state.SkipWithError(quillora::asText(data));
        freeResult(data);
        call(quillora::kBitmapLibrary, quillora::dibDestroy, turned);
    }
    state.SetItemsProcessed(state.iterations() * kPageWidth * kPageHeight);
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    quillora::platform::startGuiApplication();

    const auto photoBytes = readPhoto();
    if (!photoBytes) {
        std::fprintf(stderr, "no photo at %s (ImageMagick's convert makes it)\n", kPhotoPath);
        return 1;
    }
    setup().photo = quillora::runtime::loadPicture(*photoBytes);
    setup().photoPixels = std::int64_t{quillora::runtime::pictureWidth(setup().photo)} *
                          quillora::runtime::pictureHeight(setup().photo);
    if (setup().photo == 0 || !loadProgressWindow()) {
        std::fprintf(stderr, "the photo or the progress window did not load\n");
        return 1;
    }
    std::printf("photo %s: %d x %d, %zu bytes\n", kPhotoPath, quillora::runtime::pictureWidth(setup().photo),
                quillora::runtime::pictureHeight(setup().photo), photoBytes->size());

    preparePage();
    drawPhotoIntoCell();
    const RuntimeValue pageData = call(quillora::kDrawPanelLibrary, quillora::drawPanelGetPicture, kPage);
    const bool drawn = pageHoldsThePhoto(pageData);
    setup().pageDib = call(quillora::kBitmapLibrary, quillora::dibCreate);
    const bool loaded =
        quillora::asBool(call(quillora::kBitmapLibrary, quillora::dibLoadFromData, setup().pageDib, pageData));
    freeResult(pageData);
    if (!drawn || !loaded) {
        std::fprintf(stderr, "the page does not hold the photo or does not load as a bitmap\n");
        return 1;
    }

    benchmark::RegisterBenchmark("DecodeFullSize", DecodeFullSize)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("DecodeRecord", DecodeRecord, &*photoBytes)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("DecodeForCell", DecodeForCell)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("DrawIntoCell", DrawIntoCell)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("GetPicture", GetPicture)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("RotatePage", RotatePage)->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    call(quillora::kBitmapLibrary, quillora::dibDestroy, setup().pageDib);
    quillora::runtime::unloadPicture(setup().photo);
    quillora::runtime::destroyLiveWindow(qf::ProgressWindow::id);
    quillora::platform::stopGuiApplication();
    return 0;
}
