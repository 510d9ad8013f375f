// Memory of a folder-wise batch of 2,000 camera photos: the 100 photos of the data set, each
// hard-linked 20 times into one temp folder, are loaded one after another by file name and drawn
// into the cells of 5 x 5 pages on the progress window's hidden panel 画板_temp, as the folder-wise
// job does: every picture of the batch stays loaded until the batch ends, each finished page is
// taken out as picture data, and the pictures are unloaded at the end. Reports the time, the
// peak resident memory (getrusage), and how resident memory grew per photo between the 100th and
// the last photo, which must be nothing.
//
//   batch_memory_bench [DATA]   DATA defaults to $QUILLORA_BENCH_DATA, the folder that
//                               ../shared/bench-data/gen_data.sh fills (its large/ holds the photos)
#include "form_ids.h"
#include "platform/gui_application.h"
#include "quillora/draw_panel_commands.h"
#include "quillora/entry_table.h"
#include "quillora/events.h"
#include "quillora/picture_commands.h"
#include "runtime/core/form_template.h"
#include "runtime/core/window_loader.h"
#include "runtime/core/window_registry.h"
#include "runtime/picture/jpeg_decoder.h"
#include "runtime/picture/picture_registry.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
namespace qf = quillora::forms;
using quillora::RuntimeValue;

constexpr int kLinksPerPhoto = 20;
constexpr int kPageWidth = 2100;  // A4 portrait at one pixel per 0.1 mm
constexpr int kPageHeight = 2970;
constexpr int kColumns = 5;
constexpr int kRows = 5;
constexpr int kCellWidth = 372;
constexpr int kCellHeight = 510;
constexpr int kLeft = 100;
constexpr int kTop = 150;
constexpr int kColumnPitch = 392;
constexpr int kRowPitch = 550;
constexpr std::int32_t kWidthProperty = 2;
constexpr std::int32_t kHeightProperty = 3;
constexpr std::int32_t panelProperty(std::int32_t kindIndex) { return kindIndex + 8; }

const RuntimeValue kPage =
    quillora::makeUnitRef(qf::unit_type::DrawPanel, qf::ProgressWindow::id, qf::ProgressWindow::画板_temp);

template <typename... Values>
RuntimeValue call(std::int32_t library, quillora::CommandFunction command, Values... values)
{
    RuntimeValue arguments[] = {values..., RuntimeValue{}};
    return quillora::runtimeEntries().CallLibraryCommand(library, command, static_cast<std::int32_t>(sizeof...(values)),
                                                         arguments);
}

void setPage(std::int32_t property, std::uint32_t value)
{
    quillora::runtimeEntries().WriteUnitProperty(kPage.low, kPage.high, property, -1, value, 0);
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

long peakResidentKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

long residentKilobytes()
{
    long pages = 0, resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

quillora::runtime::PictureHandle loadByName(const std::string& windowsPath)
{
    RuntimeValue argument = quillora::makePointer(quillora::TypeCode::Text, windowsPath.c_str());
    RuntimeValue result{};
    quillora::LoadPicture(&result, 1, &argument);
    return quillora::asInt(result);
}

// The photo fitted into its cell, centred, its sides in proportion.
void drawIntoCell(quillora::runtime::PictureHandle picture, int cell)
{
    using quillora::makeInt;
    const int column = cell % kColumns;
    const int row = cell / kColumns % kRows;
    const double width = quillora::runtime::pictureWidth(picture);
    const double height = quillora::runtime::pictureHeight(picture);
    const double fit = std::min(kCellWidth / width, kCellHeight / height);
    const int drawnWidth = static_cast<int>(width * fit);
    const int drawnHeight = static_cast<int>(height * fit);
    const int x = kLeft + column * kColumnPitch + (kCellWidth - drawnWidth) / 2;
    const int y = kTop + row * kRowPitch + (kCellHeight - drawnHeight) / 2;
    call(quillora::kDrawPanelLibrary, quillora::drawPanelDrawPicture, kPage, makeInt(picture), makeInt(x), makeInt(y),
         makeInt(drawnWidth), makeInt(drawnHeight));
}

}  // namespace

int main(int argc, char** argv)
{
    std::string data;
    if (argc > 1)
        data = argv[1];
    else if (const char* folder = std::getenv("QUILLORA_BENCH_DATA"))
        data = folder;
    std::vector<fs::path> photos;
    if (!data.empty() && fs::is_directory(fs::path(data) / "large")) {
        for (const auto& entry : fs::directory_iterator(fs::path(data) / "large"))
            if (entry.path().extension() == ".jpg")
                photos.push_back(entry.path());
    }
    std::sort(photos.begin(), photos.end());
    if (photos.empty()) {
        std::fprintf(stderr, "usage: batch_memory_bench DATA   (gen_data.sh's folder with large/*.jpg, or set "
                             "QUILLORA_BENCH_DATA)\n");
        return 2;
    }

    // The batch folder, made at run time in the temp folder, or beside the data when the temp
    // folder is on another file system (hard links cannot cross one).
    fs::path batch;
    std::vector<std::string> names;
    for (const fs::path& parent : {fs::temp_directory_path(), fs::path(data)}) {
        std::string pattern = (parent / "quillora-batch-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            continue;
        batch = pattern;
        names.clear();
        std::error_code error;
        for (int copy = 1; copy <= kLinksPerPhoto && !error; ++copy) {
            for (const fs::path& photo : photos) {
                const std::string name = photo.stem().string() + "_" + std::to_string(copy) + ".jpg";
                fs::create_hard_link(photo, batch / name, error);
                if (error)
                    break;
                names.push_back(name);
            }
        }
        if (!error)
            break;
        fs::remove_all(batch);
        batch.clear();
    }
    if (batch.empty()) {
        std::fprintf(stderr, "cannot make the batch folder of hard links\n");
        return 1;
    }
    const std::string drives = "B=" + batch.string() + "|fixed|Batch";
    setenv("QUILLORA_DRIVES", drives.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    quillora::platform::startGuiApplication();
    if (!loadProgressWindow()) {
        std::fprintf(stderr, "the progress window did not load\n");
        return 1;
    }
    setPage(panelProperty(quillora::kDrawPanelAutoRedraw), 1);
    setPage(panelProperty(quillora::kDrawPanelScaleMode), 0);
    setPage(kWidthProperty, kPageWidth);
    setPage(kHeightProperty, kPageHeight);
    call(quillora::kDrawPanelLibrary, quillora::drawPanelClear, kPage);

    const long residentAtStart = residentKilobytes();
    const std::uint64_t decodesAtStart = quillora::runtime::jpegDecodeCount();
    std::vector<quillora::runtime::PictureHandle> loaded;
    long residentAfter100 = 0, peakBeforeFirstPage = 0;
    int failed = 0, pages = 0;
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i < names.size(); ++i) {
        const auto picture = loadByName("B:\\" + names[i]);
        if (picture == 0)
            ++failed;
        loaded.push_back(picture);
        drawIntoCell(picture, static_cast<int>(i % (kColumns * kRows)));
        if ((i + 1) % (kColumns * kRows) == 0 || i + 1 == names.size()) {
            // A finished page goes out as picture data, and the next one starts blank.
            const RuntimeValue page = call(quillora::kDrawPanelLibrary, quillora::drawPanelGetPicture, kPage);
            if (quillora::byteSetLength(page) == 0)
                ++failed;
            quillora::runtimeEntries().FreeBlock(quillora::asPointer(page));
            call(quillora::kDrawPanelLibrary, quillora::drawPanelClear, kPage);
            ++pages;
        }
        if (i + 1 == 24)
            peakBeforeFirstPage = peakResidentKilobytes();
        if (i + 1 == 100)
            residentAfter100 = residentKilobytes();
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const long residentAtEnd = residentKilobytes();
    std::size_t heldBytes = 0;
    for (const auto picture : loaded)
        heldBytes += quillora::runtime::pictureHeldBytes(picture);
    const std::size_t loadedCount = quillora::runtime::loadedPictureCount();
    const std::size_t keptDrawingBytes = quillora::runtime::recentDrawingBytes();
    for (const auto picture : loaded)
        quillora::runtime::unloadPicture(picture);

    const long peak = peakResidentKilobytes();
    std::printf("batch of %zu photos (%zu files x %d hard links), %d pages of %d x %d\n", names.size(), photos.size(),
                kLinksPerPhoto, pages, kColumns, kRows);
    std::printf("time                 : %.2f s, %.1f ms a photo, %llu JPEG decodes\n", seconds,
                seconds * 1000 / static_cast<double>(names.size()),
                static_cast<unsigned long long>(quillora::runtime::jpegDecodeCount() - decodesAtStart));
    std::printf("loaded at batch end  : %zu pictures holding %.1f KB (%.0f bytes each), %.1f MB of kept drawings\n",
                loadedCount, static_cast<double>(heldBytes) / 1024, static_cast<double>(heldBytes) / loadedCount,
                static_cast<double>(keptDrawingBytes) / (1024 * 1024));
    std::printf("resident             : %.1f MB before the batch, %.1f MB after 100 photos, %.1f MB after %zu\n",
                residentAtStart / 1024.0, residentAfter100 / 1024.0, residentAtEnd / 1024.0, names.size());
    std::printf("growth per photo     : %.1f KB (100th to last photo)\n",
                static_cast<double>(residentAtEnd - residentAfter100) / static_cast<double>(names.size() - 100));
    std::printf("peak resident memory : %.1f MB (limit 100 MB); %.1f MB before the first page was taken out\n",
                peak / 1024.0, peakBeforeFirstPage / 1024.0);
    std::printf("pictures failed      : %d\n", failed);
    std::fflush(stdout);

    quillora::runtime::destroyLiveWindow(qf::ProgressWindow::id);
    quillora::platform::stopGuiApplication();
    fs::remove_all(batch);
    return failed == 0 && peak <= 100 * 1024 ? 0 : 1;
}
