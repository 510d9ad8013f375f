// Appending the found-picture list: 100,000 rows of four cells through the list view's methods,
// on a loaded list view of a shown (offscreen) window, as the picture search appends them. One
// run appends without processing events, the other processes events every 100 rows, as a search
// does on entering each folder of 100 files; both end when the control shows every row.
//
// Reports rows per second. A third run scrolls the full list of 100,000 rows from top to bottom a
// page at a time, painting every page as the screen would, and reports the slowest page: a
// stall would show there.
//
// Run: list_view_bench [--benchmark_repetitions=N]
#include "platform/gui_application.h"
#include "quillora/list_unit_commands.h"
#include "runtime/core/form_template.h"
#include "runtime/core/message_loop.h"
#include "runtime/core/window_loader.h"
#include "runtime/core/window_registry.h"
#include "runtime/units/list_view.h"

#include <benchmark/benchmark.h>

#include <QAbstractScrollArea>
#include <QImage>
#include <QScrollBar>

#include <algorithm>
#include <chrono>

#include <cstdlib>
#include <iterator>
#include <string>

namespace {

namespace ff = quillora::form_format;
using quillora::RuntimeValue;

constexpr std::uint32_t kWindowId = ff::makeWindowId(0x7301);
constexpr std::uint32_t kListId = ff::makeUnitId(ff::UnitIdClass::Control, 1);
constexpr int kRows = 100000;

const RuntimeValue kList = quillora::makeUnitRef(static_cast<std::uint32_t>(ff::UnitKind::ListView), kWindowId, kListId);

template <typename... Values>
RuntimeValue call(quillora::CommandFunction method, Values... values)
{
    RuntimeValue arguments[] = {kList, values...};
    RuntimeValue result{};
    method(&result, static_cast<std::int32_t>(std::size(arguments)), arguments);
    return result;
}

RuntimeValue text(const std::string& value)
{
    return quillora::makePointer(quillora::TypeCode::Text, value.c_str());
}

// The main window's list view, alone on a window of the main window's size.
void loadListWindow()
{
    quillora::runtime::WindowTemplate window;
    window.id = kWindowId;
    quillora::runtime::UnitTemplate record;
    record.id = ff::makeUnitId(ff::UnitIdClass::WindowRecord, 1);
    record.typeCode = static_cast<std::uint32_t>(ff::UnitKind::Window);
    record.name = "BenchWindow";
    record.rect = {50, 50, 687, 545};
    record.state = ff::kUnitVisible;
    window.units.push_back(record);
    quillora::runtime::UnitTemplate list;
    list.id = kListId;
    list.typeCode = static_cast<std::uint32_t>(ff::UnitKind::ListView);
    list.name = "超级列表框_显示";
    list.rect = {208, 31, 456, 384};
    list.state = ff::kUnitVisible | ff::kUnitTabStop;
    list.properties.options = ff::kListViewFullRowSelect | ff::kListViewGridLines;
    list.tableIndex = 1;
    window.units.push_back(list);
    window.tableSize = window.units.size();

    quillora::runtime::FormTemplates templates;
    templates.windows().push_back(window);
    quillora::runtime::installFormTemplates(std::move(templates));
    quillora::runtime::loadWindow(kWindowId, false, 0);

    call(quillora::listViewInsertColumn, RuntimeValue{}, text("序号"), quillora::makeInt(60), quillora::makeInt(2));
    call(quillora::listViewInsertColumn, RuntimeValue{}, text("文件名全称"), quillora::makeInt(220), quillora::makeInt(0));
    call(quillora::listViewInsertColumn, RuntimeValue{}, text("文件夹"), quillora::makeInt(90), quillora::makeInt(0));
    call(quillora::listViewInsertColumn, RuntimeValue{}, text("文件名"), quillora::makeInt(100), quillora::makeInt(0));
}

void appendRows(benchmark::State& state, int rowsPerEventProcessing)
{
    auto* unit = dynamic_cast<quillora::runtime::ListViewUnit*>(quillora::runtime::findLiveUnit(kWindowId, kListId));
    if (!unit) {
        state.SkipWithError("the list view did not load");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        call(quillora::listViewDeleteAllRows);
        quillora::runtime::processPendingMessages();
        state.ResumeTiming();
        for (int serial = 1; serial <= kRows; ++serial) {
            const std::string folder = "Folder" + std::to_string(serial / 100);
            const std::string name = "IMG_" + std::to_string(serial) + ".jpg";
            const int row = quillora::asInt(call(quillora::listViewInsertRow));
            call(quillora::listViewSetCellText, quillora::makeInt(row), quillora::makeInt(0), text(std::to_string(row + 1)));
            call(quillora::listViewSetCellText, quillora::makeInt(row), quillora::makeInt(1),
                 text("D:\\Photos\\" + folder + "\\" + name));
            call(quillora::listViewSetCellText, quillora::makeInt(row), quillora::makeInt(2), text(folder));
            call(quillora::listViewSetCellText, quillora::makeInt(row), quillora::makeInt(3), text(name));
            if (rowsPerEventProcessing > 0 && serial % rowsPerEventProcessing == 0)
                quillora::runtime::processPendingMessages();
        }
        unit->showPendingRows();
        quillora::runtime::processPendingMessages();
    }
    state.counters["rows/s"] = benchmark::Counter(static_cast<double>(kRows) * static_cast<double>(state.iterations()),
                                                  benchmark::Counter::kIsRate);
}

void BM_AppendRows(benchmark::State& state)
{
    appendRows(state, 0);
}

void BM_AppendRowsProcessingEventsPerFolder(benchmark::State& state)
{
    appendRows(state, 100);
}

// Fills the list once, then pages through it: each step moves the scroll bar by a page and paints
// the view into an image, which is what a screen update costs.
void BM_ScrollFullList(benchmark::State& state)
{
    auto* unit = dynamic_cast<quillora::runtime::ListViewUnit*>(quillora::runtime::findLiveUnit(kWindowId, kListId));
    auto* view = unit ? qobject_cast<QAbstractScrollArea*>(unit->widget()) : nullptr;
    if (!view) {
        state.SkipWithError("the list view did not load");
        return;
    }
    call(quillora::listViewDeleteAllRows);
    for (int serial = 1; serial <= kRows; ++serial) {
        const int row = quillora::asInt(call(quillora::listViewInsertRow));
        call(quillora::listViewSetCellText, quillora::makeInt(row), quillora::makeInt(0), text(std::to_string(row + 1)));
        call(quillora::listViewSetCellText, quillora::makeInt(row), quillora::makeInt(1),
             text("D:\\Photos\\Folder" + std::to_string(serial / 100) + "\\IMG_" + std::to_string(serial) + ".jpg"));
    }
    unit->showPendingRows();
    quillora::runtime::processPendingMessages();
    QImage frame(view->viewport()->size(), QImage::Format_RGB32);
    double slowest = 0;
    long pages = 0;
    for (auto _ : state) {
        QScrollBar* bar = view->verticalScrollBar();
        for (int value = bar->minimum(); value <= bar->maximum(); value += std::max(1, bar->pageStep())) {
            const auto start = std::chrono::steady_clock::now();
            bar->setValue(value);
            view->viewport()->render(&frame);
            slowest = std::max(slowest, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
            ++pages;
        }
    }
    state.counters["pages"] = static_cast<double>(pages) / static_cast<double>(state.iterations());
    state.counters["slowest_page_ms"] = slowest;
    state.counters["pages/s"] = benchmark::Counter(static_cast<double>(pages), benchmark::Counter::kIsRate);
}

BENCHMARK(BM_AppendRows)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_AppendRowsProcessingEventsPerFolder)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ScrollFullList)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    quillora::platform::startGuiApplication();
    loadListWindow();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    quillora::runtime::releaseWindows();
    quillora::platform::stopGuiApplication();
    return 0;
}
