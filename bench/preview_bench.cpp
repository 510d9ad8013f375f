// The live preview of a 5 × 5 page of camera photos (4000 × 3000 JPEGs): the whole refresh the
// settings window asks for, in the program's own progress window with the program's handlers.
// Each photo is shrunk towards 50 K through the scaling object and drawn into its 37 × 48 mm
// cell, so the decoder only needs a small fraction of its pixels. The goal is at most 1 second
// a page.
//
//   preview_bench [PHOTO_FOLDER] [--benchmark_min_time=SECONDS]
//
// PHOTO_FOLDER (or QUILLORA_BENCH_PHOTOS) holds the JPEGs, the first 25 by name are used; it is
// the large/ folder of the data ../shared/bench-data/gen_data.sh makes.
#include "common/handlers.h"
#include "form_ids.h"
#include "pages/preview_page.h"
#include "pagesetup/print_settings.h"
#include "platform/fs/drive_map.h"
#include "platform/gui_application.h"
#include "runtime/core/form_template.h"
#include "runtime/core/window_registry.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace app = quillora::app;

std::vector<std::string>& photos()
{
    static std::vector<std::string> paths;
    return paths;
}

// The default page in whole millimetres: A4, margins 20/18/5/15, 5 × 5, spacings 1 mm.
app::PageJob defaultPage()
{
    app::PageJob job;
    job.paperWidth = 210;
    job.paperHeight = 297;
    job.rows = 5;
    job.columns = 5;
    job.rowSpacing = 1;
    job.columnSpacing = 1;
    job.marginTop = 20;
    job.marginBottom = 18;
    job.marginLeft = 5;
    job.marginRight = 15;
    job.header.offset = 11;
    job.footer.offset = 14;
    job.optimisation = 1;
    job.paths = photos();
    for (const std::string& path : photos())
        job.captions.push_back(std::filesystem::path(path).filename().string());
    job.footer.text = "第1页";
    return job;
}

void PreviewOfCameraPhotos(benchmark::State& state)
{
    for (auto _ : state) {
        const app::ByteSet page = app::RenderPreviewPage(defaultPage());
        if (page.empty())
            state.SkipWithError("the preview page came out empty");
        benchmark::DoNotOptimize(page.bytes().data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(photos().size()));
}
BENCHMARK(PreviewOfCameraPhotos)->Unit(benchmark::kMillisecond);

bool findPhotos(const std::string& folder)
{
    std::vector<std::filesystem::path> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string extension = entry.path().extension().string();
        if (entry.is_regular_file() && (extension == ".jpg" || extension == ".JPG"))
            found.push_back(entry.path());
    }
    std::sort(found.begin(), found.end());
    if (found.size() > 25)
        found.resize(25);
    for (const auto& path : found)
        if (auto windowsPath = quillora::platform::toWindowsPath(path.string()))
            photos().push_back(*windowsPath);
    return photos().size() == 25;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string folder;
    if (const char* setting = std::getenv("QUILLORA_BENCH_PHOTOS"))
        folder = setting;
    std::vector<char*> rest{argv[0]};
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]).starts_with("--"))
            rest.push_back(argv[i]);
        else
            folder = argv[i];
    }
    if (folder.empty() || !findPhotos(folder)) {
        std::fprintf(stderr, "preview_bench: give a folder of at least 25 JPEG photos (argument or QUILLORA_BENCH_PHOTOS)\n");
        return 2;
    }
    setenv("QT_QPA_PLATFORM", getenv("QT_QPA_PLATFORM") ? getenv("QT_QPA_PLATFORM") : "offscreen", 1);
    quillora::platform::startGuiApplication();
    app::createPageSetupState();
    auto read = quillora::runtime::readFormTemplates({quillora::forms::templateData, quillora::forms::templateDataBytes},
                                                     {app::applicationHandlers, app::applicationHandlerCount});
    if (!read.ok())
        return 2;
    quillora::runtime::installFormTemplates(std::move(read.templates));

    int count = static_cast<int>(rest.size());
    benchmark::Initialize(&count, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    quillora::runtime::destroyLiveWindow(quillora::forms::ProgressWindow::id);
    app::releasePageSetupState();
    quillora::platform::stopGuiApplication();
    return 0;
}
