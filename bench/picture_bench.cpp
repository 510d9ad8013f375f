// A photo on its way to a printed page: decoding a 4000 x 3000 camera JPEG, drawing it stretched
// into a 372 x 510 cell of a 2100 x 2970 page, taking the page out as BMP data and turning that
// page a quarter with the bitmap object. The page is the progress window's hidden panel
// 画板_temp, sized and set up as the album printing sets it up, and every step goes through the
// same commands the program calls.
//
// Drawing into the cell should cost far less than the full-size decode: the photo is decoded
// at the smallest eighth of its size that still covers the cell (1/8, 500 x 375, for the photo
// fitted into the cell at 372 x 279) before it is stretched. DecodeForCell times that reduced
// decode alone, so the two decode figures compare directly; DrawIntoCell is the whole way of one
// photo in a page loop (loaded by file name, drawn, unloaded), RedrawIntoCell the same picture
// drawn again, which takes the pixels kept from the drawing before.
//
//   picture_bench [--benchmark_min_time=SECONDS] [PHOTO]
//
// PHOTO defaults to $QUILLORA_BENCH_DATA/large/IMG_0001.jpg (gen_data.sh makes it); without
// either, a photo of the same kind is made with ImageMagick in a temp folder first.
#include "form_ids.h"
#include "platform/gui_application.h"
#include "quillora/dib_commands.h"
#include "quillora/draw_panel_commands.h"
#include "quillora/entry_table.h"
#include "quillora/events.h"
#include "runtime/core/form_template.h"
#include "runtime/core/window_loader.h"
#include "runtime/core/window_registry.h"
#include "quillora/picture_commands.h"
#include "runtime/picture/jpeg_decoder.h"
#include "runtime/picture/picture_registry.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

namespace qf = quillora::forms;
using quillora::RuntimeValue;

// One picture of gen_data.sh's large set: plasma at a quarter size scaled up with noise, which
// compresses like a camera photo. One thread keeps the noise, and so the file, reproducible.
constexpr const char* kMakePhoto =
    "MAGICK_THREAD_LIMIT=1 convert -seed 1 -size 1000x750 plasma:fractal -resize 4000x3000! "
    "-attenuate 0.3 +noise Gaussian -quality 90 ";

constexpr int kPageWidth = 2100;
constexpr int kPageHeight = 2970;
constexpr int kCellLeft = 200;
constexpr int kCellTop = 300;
constexpr int kCellWidth = 372;
constexpr int kCellHeight = 510;
// The 4:3 photo fitted into the cell, as the album's photo mode places it.
constexpr int kFittedHeight = 279;

// The kind properties of a drawing panel are numbered after the eight every unit has.
constexpr std::int32_t kWidthProperty = 2;
constexpr std::int32_t kHeightProperty = 3;
constexpr std::int32_t panelProperty(std::int32_t kindIndex) { return kindIndex + 8; }

const RuntimeValue kPage =
    quillora::makeUnitRef(qf::unit_type::DrawPanel, qf::ProgressWindow::id, qf::ProgressWindow::画板_temp);

struct Setup {
    std::string photoPath;
    std::string photoName;  // the photo's path on drive P:
    std::vector<std::uint8_t> photoBytes;
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

// The photo to measure: given, from the data set, or made in a temp folder made for it.
bool findPhoto(int argc, char** argv)
{
    namespace fs = std::filesystem;
    if (argc > 1)
        setup().photoPath = argv[1];
    else if (const char* data = std::getenv("QUILLORA_BENCH_DATA"))
        setup().photoPath = (fs::path(data) / "large" / "IMG_0001.jpg").string();
    if (setup().photoPath.empty() || !fs::exists(setup().photoPath)) {
        std::string folder = (fs::temp_directory_path() / "quillora-photo-XXXXXX").string();
        if (!mkdtemp(folder.data()))
            return false;
        setup().photoPath = folder + "/IMG_0001.jpg";
        std::fprintf(stderr, "making %s\n", setup().photoPath.c_str());
        if (std::system((std::string(kMakePhoto) + "'" + setup().photoPath + "'").c_str()) != 0)
            return false;
    }
    std::ifstream file(setup().photoPath, std::ios::binary);
    if (!file)
        return false;
    setup().photoBytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    const fs::path path = fs::absolute(setup().photoPath);
    const std::string drives = "P=" + path.parent_path().string() + "|fixed|Photo";
    setenv("QUILLORA_DRIVES", drives.c_str(), 1);
    setup().photoName = "P:\\" + path.filename().string();
    return !setup().photoBytes.empty();
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

void drawPhotoIntoCell(quillora::runtime::PictureHandle photo)
{
    using quillora::makeInt;
    call(quillora::kDrawPanelLibrary, quillora::drawPanelDrawPicture, kPage, makeInt(photo), makeInt(kCellLeft),
         makeInt(kCellTop + (kCellHeight - kFittedHeight) / 2), makeInt(kCellWidth), makeInt(kFittedHeight));
}

quillora::runtime::PictureHandle loadPhotoByName()
{
    RuntimeValue argument = quillora::makePointer(quillora::TypeCode::Text, setup().photoName.c_str());
    RuntimeValue result{};
    quillora::LoadPicture(&result, 1, &argument);
    return quillora::asInt(result);
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
void DecodeRecord(benchmark::State& state)
{
    for (auto _ : state) {
        const auto handle = quillora::runtime::loadPicture(setup().photoBytes);
        if (!quillora::runtime::decodedPicture(handle))
            state.SkipWithError("the photo did not decode");
        quillora::runtime::unloadPicture(handle);
    }
    state.SetItemsProcessed(state.iterations() * setup().photoPixels);
}

// The reduced decode drawing into the cell takes, without the drawing.
void DecodeForCell(benchmark::State& state)
{
    const unsigned eighths =
        quillora::runtime::jpegScaleFor(static_cast<std::uint32_t>(quillora::runtime::pictureWidth(setup().photo)),
                                        static_cast<std::uint32_t>(quillora::runtime::pictureHeight(setup().photo)),
                                        kCellWidth, kFittedHeight);
    for (auto _ : state) {
        auto pixels = quillora::runtime::decodeJpeg(setup().photoBytes, eighths, quillora::runtime::JpegLayout::BgraTopDown);
        if (!pixels)
            state.SkipWithError("the photo did not decode");
        benchmark::DoNotOptimize(pixels);
    }
    state.SetLabel(std::to_string(eighths) + "/8");
    state.SetItemsProcessed(state.iterations() * setup().photoPixels);
}

// One photo of a page loop: loaded by its file name, drawn into its cell, unloaded.
void DrawIntoCell(benchmark::State& state)
{
    for (auto _ : state) {
        const auto photo = loadPhotoByName();
        if (photo == 0)
            state.SkipWithError("the photo did not load");
        drawPhotoIntoCell(photo);
        quillora::runtime::unloadPicture(photo);
    }
    state.SetItemsProcessed(state.iterations() * setup().photoPixels);
}

// The same loaded photo drawn again at the same size.
void RedrawIntoCell(benchmark::State& state)
{
    for (auto _ : state)
        drawPhotoIntoCell(setup().photo);
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

    if (!findPhoto(argc, argv)) {
        std::fprintf(stderr, "no photo (give one, set QUILLORA_BENCH_DATA, or install ImageMagick's convert)\n");
        return 1;
    }
    setup().photo = loadPhotoByName();
    setup().photoPixels = std::int64_t{quillora::runtime::pictureWidth(setup().photo)} *
                          quillora::runtime::pictureHeight(setup().photo);
    if (setup().photo == 0 || !loadProgressWindow()) {
        std::fprintf(stderr, "the photo or the progress window did not load\n");
        return 1;
    }
    std::printf("photo %s: %d x %d, %zu bytes\n", setup().photoPath.c_str(), quillora::runtime::pictureWidth(setup().photo),
                quillora::runtime::pictureHeight(setup().photo), setup().photoBytes.size());

    preparePage();
    drawPhotoIntoCell(setup().photo);
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
    benchmark::RegisterBenchmark("DecodeRecord", DecodeRecord)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("DecodeForCell", DecodeForCell)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("DrawIntoCell", DrawIntoCell)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("RedrawIntoCell", RedrawIntoCell)->Unit(benchmark::kMillisecond);
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
