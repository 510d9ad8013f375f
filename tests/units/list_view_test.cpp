// The list view (columns, rows and cells through its methods, rows reaching the control in
// batches, the current row, double clicks and the automation driver), the status bar and the
// inert data grid.
#include "quillora/entry_table.h"
#include "quillora/events.h"
#include "quillora/list_unit_commands.h"
#include "runtime/core/form_template.h"
#include "runtime/core/memory.h"
#include "runtime/core/window_loader.h"
#include "runtime/core/window_registry.h"
#include "runtime/units/data_grid.h"
#include "runtime/units/list_view.h"
#include "runtime/units/status_bar.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QTableWidget>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

namespace quillora::runtime {
namespace {

namespace ff = form_format;

constexpr std::uint32_t kWindowId = ff::makeWindowId(0x7201);
constexpr std::uint32_t kListId = ff::makeUnitId(ff::UnitIdClass::Control, 1);
constexpr std::uint32_t kStatusId = ff::makeUnitId(ff::UnitIdClass::Control, 2);
constexpr std::uint32_t kGridId = ff::makeUnitId(ff::UnitIdClass::Control, 3);
constexpr std::uint32_t kListType = static_cast<std::uint32_t>(ff::UnitKind::ListView);
constexpr std::uint32_t kStatusType = static_cast<std::uint32_t>(ff::UnitKind::StatusBar);

const RuntimeValue kList = makeUnitRef(kListType, kWindowId, kListId);
const RuntimeValue kStatus = makeUnitRef(kStatusType, kWindowId, kStatusId);

// Calls a unit method on `unit` with `values` as the further arguments.
template <typename... Values>
RuntimeValue call(CommandFunction method, RuntimeValue unit, Values... values)
{
    RuntimeValue arguments[] = {unit, values...};
    RuntimeValue result{};
    method(&result, static_cast<std::int32_t>(std::size(arguments)), arguments);
    return result;
}

std::string textOf(RuntimeValue value)
{
    std::string text = asText(value);
    freeBlock(asPointer(value));
    return text;
}

RuntimeValue text(const char* value)
{
    return makePointer(TypeCode::Text, value);
}

// The mouse events of the list view, each with the current row at the moment it was raised.
struct MouseEvent {
    std::int32_t event;
    std::int32_t currentRow;
    bool operator==(const MouseEvent&) const = default;
};
std::vector<MouseEvent> mouseEvents;
bool swallowPresses = false;

template <std::int32_t Event>
HandlerResult recordMouse(const EventArguments&)
{
    mouseEvents.push_back({Event, asInt(call(listViewCurrentRow, kList))});
    return Event == kEventLeftButtonDown && swallowPresses ? returnBool(false) : noValue();
}

UnitTemplate control(std::uint32_t id, ff::UnitKind kind, std::string name, UnitRect rect, std::uint32_t state)
{
    UnitTemplate unit;
    unit.id = id;
    unit.typeCode = static_cast<std::uint32_t>(kind);
    unit.name = std::move(name);
    unit.rect = rect;
    unit.state = state;
    return unit;
}

// The main window's three units of these kinds, placed as its table places them.
WindowTemplate listWindow()
{
    WindowTemplate window;
    window.id = kWindowId;
    UnitTemplate record = control(ff::makeUnitId(ff::UnitIdClass::WindowRecord, 1), ff::UnitKind::Window,
                                  "ListWindow", {50, 50, 687, 545}, ff::kUnitVisible);
    record.properties.text = "List";
    window.units.push_back(record);

    UnitTemplate list = control(kListId, ff::UnitKind::ListView, "超级列表框_显示", {208, 31, 456, 384},
                                ff::kUnitVisible | ff::kUnitTabStop);
    list.properties.style = static_cast<std::uint32_t>(ff::ListViewStyle::Report);
    list.properties.options = ff::kListViewFullRowSelect | ff::kListViewGridLines;
    list.bindings = {{kEventLeftButtonDown, 0, &recordMouse<kEventLeftButtonDown>},
                     {kEventLeftButtonUp, 0, &recordMouse<kEventLeftButtonUp>},
                     {kEventDoubleClicked, 0, &recordMouse<kEventDoubleClicked>}};
    window.units.push_back(list);

    UnitTemplate status = control(kStatusId, ff::UnitKind::StatusBar, "状态条1", {0, 428, 674, 20}, ff::kUnitVisible);
    status.properties.text = "就绪";
    window.units.push_back(status);

    window.units.push_back(control(kGridId, ff::UnitKind::DataGrid, "高级表格_原始数据", {298, 368, 78, 24},
                                   ff::kUnitTabStop));
    for (std::size_t index = 0; index < window.units.size(); ++index)
        window.units[index].tableIndex = index;
    window.tableSize = window.units.size();
    return window;
}

class ListViewTest : public testing::Test {
protected:
    void SetUp() override
    {
        FormTemplates templates;
        templates.windows().push_back(listWindow());
        installFormTemplates(std::move(templates));
        ASSERT_TRUE(loadWindow(kWindowId, false, 0));
        list_ = dynamic_cast<ListViewUnit*>(findLiveUnit(kWindowId, kListId));
        ASSERT_NE(list_, nullptr);
        view_ = static_cast<QTreeView*>(list_->widget());
        mouseEvents.clear();
        swallowPresses = false;
    }

    void TearDown() override
    {
        releaseWindows();
        installFormTemplates({});
    }

    // The four columns of the found-picture list.
    void insertPictureColumns()
    {
        call(listViewInsertColumn, kList, RuntimeValue{}, text("序号"), makeInt(60), makeInt(2));
        call(listViewInsertColumn, kList, RuntimeValue{}, text("文件名全称"), makeInt(220), makeInt(0));
        call(listViewInsertColumn, kList, RuntimeValue{}, text("文件夹"), makeInt(90), makeInt(0));
        call(listViewInsertColumn, kList, RuntimeValue{}, text("文件名"), makeInt(100), makeInt(0));
    }

    // Appends a row the way the search does: the row at the end, then its four cells.
    int appendPicture(int serial, const std::string& folder, const std::string& name)
    {
        const int row = asInt(call(listViewInsertRow, kList));
        const std::string number = std::to_string(serial);
        const std::string full = "D:\\" + folder + "\\" + name;
        call(listViewSetCellText, kList, makeInt(row), makeInt(0), text(number.c_str()));
        call(listViewSetCellText, kList, makeInt(row), makeInt(1), text(full.c_str()));
        call(listViewSetCellText, kList, makeInt(row), makeInt(2), text(folder.c_str()));
        call(listViewSetCellText, kList, makeInt(row), makeInt(3), text(name.c_str()));
        return row;
    }

    // Processes events until the control shows every row, for at most a second.
    void waitUntilShown()
    {
        QElapsedTimer waited;
        waited.start();
        while (view_->model()->rowCount() < list_->rowCount() && waited.elapsed() < 1000)
            QTest::qWait(5);
    }

    ListViewUnit* list_ = nullptr;
    QTreeView* view_ = nullptr;
};

TEST_F(ListViewTest, ColumnsHaveTheirTitlesWidthsAndAlignments)
{
    insertPictureColumns();
    EXPECT_EQ(asInt(call(listViewColumnCount, kList)), 4);
    EXPECT_EQ(textOf(call(listViewColumnTitle, kList, makeInt(1))), "文件名全称");
    EXPECT_EQ(list_->columnWidth(0), 60);
    EXPECT_EQ(list_->columnWidth(1), 220);
    EXPECT_EQ(list_->columnWidth(3), 100);
    EXPECT_EQ(list_->columnAlignment(0), ff::Alignment::Right);
    EXPECT_EQ(list_->columnAlignment(2), ff::Alignment::Left);
    EXPECT_EQ(view_->model()->headerData(0, Qt::Horizontal, Qt::TextAlignmentRole).toInt(),
              static_cast<int>(Qt::AlignRight | Qt::AlignVCenter));
    EXPECT_EQ(textOf(call(listViewColumnTitle, kList, makeInt(4))), "");
}

TEST_F(ListViewTest, AColumnLeftWithoutWidthIsFiftyPixelsWide)
{
    EXPECT_EQ(asInt(call(listViewInsertColumn, kList, RuntimeValue{}, text("a"))), 0);
    EXPECT_EQ(list_->columnWidth(0), ListViewUnit::kDefaultColumnWidth);
}

TEST_F(ListViewTest, InsertingAColumnBeforeOthersMovesTheirCells)
{
    call(listViewInsertColumn, kList, RuntimeValue{}, text("a"));
    call(listViewInsertColumn, kList, RuntimeValue{}, text("b"));
    const int row = asInt(call(listViewInsertRow, kList, RuntimeValue{}, text("cell a")));
    call(listViewSetCellText, kList, makeInt(row), makeInt(1), text("cell b"));
    EXPECT_EQ(asInt(call(listViewInsertColumn, kList, makeInt(0), text("new"))), 0);
    EXPECT_EQ(textOf(call(listViewCellText, kList, makeInt(0), makeInt(0))), "");
    EXPECT_EQ(textOf(call(listViewCellText, kList, makeInt(0), makeInt(1))), "cell a");
    EXPECT_EQ(textOf(call(listViewCellText, kList, makeInt(0), makeInt(2))), "cell b");
}

TEST_F(ListViewTest, DeletingColumnZeroUntilNoneIsLeftEmptiesTheHeader)
{
    insertPictureColumns();
    appendPicture(1, "Photos", "a.jpg");
    while (asInt(call(listViewColumnCount, kList)) > 0)
        EXPECT_TRUE(asBool(call(listViewDeleteColumn, kList, makeInt(0))));
    EXPECT_FALSE(asBool(call(listViewDeleteColumn, kList, makeInt(0))));
    EXPECT_EQ(textOf(call(listViewCellText, kList, makeInt(0), makeInt(0))), "");
}

TEST_F(ListViewTest, RowsAreAppendedWithTheirCells)
{
    insertPictureColumns();
    EXPECT_EQ(appendPicture(1, "Photos", "a.jpg"), 0);
    EXPECT_EQ(appendPicture(2, "Photos", "b.jpg"), 1);
    EXPECT_EQ(asInt(call(listViewRowCount, kList)), 2);
    EXPECT_EQ(textOf(call(listViewCellText, kList, makeInt(1), makeInt(0))), "2");
    EXPECT_EQ(textOf(call(listViewCellText, kList, makeInt(1), makeInt(1))), "D:\\Photos\\b.jpg");
    EXPECT_EQ(textOf(call(listViewCellText, kList, makeInt(0), makeInt(3))), "a.jpg");
}

TEST_F(ListViewTest, CellsOutsideTheRowsAndColumnsAreRefused)
{
    insertPictureColumns();
    appendPicture(1, "Photos", "a.jpg");
    EXPECT_FALSE(asBool(call(listViewSetCellText, kList, makeInt(1), makeInt(0), text("x"))));
    EXPECT_FALSE(asBool(call(listViewSetCellText, kList, makeInt(0), makeInt(4), text("x"))));
    EXPECT_FALSE(asBool(call(listViewSetCellText, kList, makeInt(-1), makeInt(0), text("x"))));
    EXPECT_EQ(textOf(call(listViewCellText, kList, makeInt(0), makeInt(9))), "");
}

TEST_F(ListViewTest, RowsInsertedBeforeOthersShiftThem)
{
    call(listViewInsertColumn, kList, RuntimeValue{}, text("a"));
    call(listViewInsertRow, kList, RuntimeValue{}, text("second"));
    list_->showPendingRows();
    EXPECT_EQ(asInt(call(listViewInsertRow, kList, makeInt(0), text("first"))), 0);
    EXPECT_EQ(view_->model()->rowCount(), 2);
    EXPECT_EQ(textOf(call(listViewCellText, kList, makeInt(1), makeInt(0))), "second");
    EXPECT_TRUE(asBool(call(listViewDeleteRow, kList, makeInt(0))));
    EXPECT_EQ(textOf(call(listViewCellText, kList, makeInt(0), makeInt(0))), "second");
    EXPECT_EQ(view_->model()->rowCount(), 1);
}

TEST_F(ListViewTest, AppendedRowsReachTheControlAtTheNextEventProcessing)
{
    insertPictureColumns();
    for (int serial = 1; serial <= 1000; ++serial)
        appendPicture(serial, "Photos", "p" + std::to_string(serial) + ".jpg");
    // Nothing has been processed yet: the control has not been told of one row, the unit knows
    // them all.
    EXPECT_EQ(view_->model()->rowCount(), 0);
    EXPECT_EQ(asInt(call(listViewRowCount, kList)), 1000);
    waitUntilShown();
    EXPECT_EQ(view_->model()->rowCount(), 1000);
    EXPECT_EQ(view_->model()->data(view_->model()->index(999, 1)).toString(), QString("D:\\Photos\\p1000.jpg"));
}

TEST_F(ListViewTest, DeletingAllRowsKeepsTheColumns)
{
    insertPictureColumns();
    appendPicture(1, "Photos", "a.jpg");
    list_->showPendingRows();
    appendPicture(2, "Photos", "b.jpg");
    call(listViewSetCurrentRow, kList, makeInt(0));
    call(listViewDeleteAllRows, kList);
    EXPECT_EQ(asInt(call(listViewRowCount, kList)), 0);
    EXPECT_EQ(asInt(call(listViewColumnCount, kList)), 4);
    EXPECT_EQ(asInt(call(listViewCurrentRow, kList)), -1);
    EXPECT_EQ(view_->model()->rowCount(), 0);
    QTest::qWait(150);
    EXPECT_EQ(view_->model()->rowCount(), 0);
    EXPECT_EQ(appendPicture(1, "Other", "c.jpg"), 0);
}

TEST_F(ListViewTest, TheCurrentRowIsTheSelectedOne)
{
    insertPictureColumns();
    for (int serial = 1; serial <= 5; ++serial)
        appendPicture(serial, "Photos", "p.jpg");
    EXPECT_EQ(asInt(call(listViewCurrentRow, kList)), -1);
    // A row the control has not shown yet can be made current too.
    EXPECT_TRUE(asBool(call(listViewSetCurrentRow, kList, makeInt(3))));
    EXPECT_EQ(asInt(call(listViewCurrentRow, kList)), 3);
    EXPECT_FALSE(asBool(call(listViewSetCurrentRow, kList, makeInt(5))));
    EXPECT_EQ(asInt(call(listViewCurrentRow, kList)), 3);
    EXPECT_TRUE(asBool(call(listViewSetCurrentRow, kList, makeInt(-1))));
    EXPECT_EQ(asInt(call(listViewCurrentRow, kList)), -1);
}

TEST_F(ListViewTest, DoubleClickingARowMakesItCurrentBeforeTheEvent)
{
    insertPictureColumns();
    for (int serial = 1; serial <= 3; ++serial)
        appendPicture(serial, "Photos", "p.jpg");
    waitUntilShown();
    // The press handler swallows the press, so only the double click itself can pick the row.
    swallowPresses = true;
    const QPoint row2 = view_->visualRect(view_->model()->index(2, 1)).center();
    QTest::mouseDClick(view_->viewport(), Qt::LeftButton, Qt::NoModifier, row2);
    ASSERT_FALSE(mouseEvents.empty());
    const auto doubleClick = std::find_if(mouseEvents.begin(), mouseEvents.end(),
                                          [](const MouseEvent& event) { return event.event == kEventDoubleClicked; });
    ASSERT_NE(doubleClick, mouseEvents.end());
    EXPECT_EQ(doubleClick->currentRow, 2);
}

TEST_F(ListViewTest, AutomatedDoubleClickActsAsAUsersDoubleClick)
{
    insertPictureColumns();
    for (int serial = 1; serial <= 200; ++serial)
        appendPicture(serial, "Photos", "p.jpg");
    std::string problem;
    ASSERT_TRUE(list_->automate("doubleclick", "150", problem)) << problem;
    EXPECT_EQ(mouseEvents, (std::vector<MouseEvent>{{kEventLeftButtonDown, -1},
                                                    {kEventLeftButtonUp, 150},
                                                    {kEventDoubleClicked, 150},
                                                    {kEventLeftButtonUp, 150}}));
    EXPECT_EQ(asInt(call(listViewCurrentRow, kList)), 150);
}

TEST_F(ListViewTest, AutomatedSelectMakesTheRowCurrent)
{
    insertPictureColumns();
    appendPicture(1, "Photos", "a.jpg");
    appendPicture(2, "Photos", "b.jpg");
    std::string problem;
    ASSERT_TRUE(list_->automate("select", "1", problem)) << problem;
    EXPECT_EQ(asInt(call(listViewCurrentRow, kList)), 1);
    EXPECT_TRUE(mouseEvents.empty());
}

TEST_F(ListViewTest, AutomationRefusesRowsThatDoNotExist)
{
    insertPictureColumns();
    appendPicture(1, "Photos", "a.jpg");
    std::string problem;
    EXPECT_FALSE(list_->automate("doubleclick", "1", problem));
    EXPECT_EQ(problem, "超级列表框_显示 has no row 1");
    EXPECT_FALSE(list_->automate("select", "x", problem));
    EXPECT_FALSE(list_->automate("choose", "0", problem));
    EXPECT_TRUE(mouseEvents.empty());
}

TEST_F(ListViewTest, DescribeShowsTheTitlesThenEveryRow)
{
    insertPictureColumns();
    appendPicture(1, "Photos", "a.jpg");
    appendPicture(2, "", "b.jpg");
    EXPECT_EQ(list_->describe(),
              "序号\t文件名全称\t文件夹\t文件名\n"
              "1\tD:\\Photos\\a.jpg\tPhotos\ta.jpg\n"
              "2\tD:\\\\b.jpg\t\tb.jpg");
}

TEST_F(ListViewTest, AppendingStaysLinearInTheRowsAlreadyThere)
{
    // 100,000 rows as a search appends them, with events processed every 100 rows as on
    // entering a folder. The last 10,000 rows must not cost much more than the first 10,000.
    insertPictureColumns();
    std::vector<double> blockSeconds;
    QElapsedTimer block;
    block.start();
    for (int serial = 1; serial <= 100000; ++serial) {
        appendPicture(serial, "Photos", "IMG_" + std::to_string(serial) + ".jpg");
        if (serial % 100 == 0)
            QApplication::processEvents();
        if (serial % 10000 == 0) {
            blockSeconds.push_back(block.nsecsElapsed() / 1e9);
            block.restart();
        }
    }
    waitUntilShown();
    EXPECT_EQ(view_->model()->rowCount(), 100000);
    EXPECT_LT(blockSeconds.back(), 4 * blockSeconds.front() + 0.05)
        << "first " << blockSeconds.front() << " s, last " << blockSeconds.back() << " s";
}

// --- status bar -----------------------------------------------------------------------------------

TEST_F(ListViewTest, StatusBarStartsWithOnePartShowingTheFormText)
{
    EXPECT_EQ(asInt(call(statusBarPartCount, kStatus)), 1);
    EXPECT_EQ(textOf(call(statusBarPartText, kStatus, makeInt(0))), "就绪");
}

TEST_F(ListViewTest, StatusBarPartTextsAreSetAndRead)
{
    EXPECT_TRUE(asBool(call(statusBarSetPartText, kStatus, makeInt(0), text("正在搜索，请稍候...."))));
    EXPECT_EQ(textOf(call(statusBarPartText, kStatus, makeInt(0))), "正在搜索，请稍候....");
    EXPECT_FALSE(asBool(call(statusBarSetPartText, kStatus, makeInt(1), text("x"))));
    EXPECT_EQ(textOf(call(statusBarPartText, kStatus, makeInt(1))), "");
}

TEST_F(ListViewTest, StatusBarPartsAreInsertedAndDeleted)
{
    EXPECT_EQ(asInt(call(statusBarInsertPart, kStatus, RuntimeValue{}, makeInt(120))), 1);
    EXPECT_EQ(asInt(call(statusBarInsertPart, kStatus, makeInt(0), makeInt(80))), 0);
    call(statusBarSetPartText, kStatus, makeInt(2), text("right"));
    auto* status = dynamic_cast<StatusBarUnit*>(findLiveUnit(kWindowId, kStatusId));
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->describe(), "\t就绪\tright");
    EXPECT_TRUE(asBool(call(statusBarDeletePart, kStatus, makeInt(0))));
    EXPECT_FALSE(asBool(call(statusBarDeletePart, kStatus, makeInt(2))));
    EXPECT_EQ(status->describe(), "就绪\tright");
}

TEST_F(ListViewTest, StatusBarNeverTakesTheFocus)
{
    Unit* status = findLiveUnit(kWindowId, kStatusId);
    EXPECT_TRUE(status->neverFirstFocus());
    EXPECT_EQ(status->widget()->focusPolicy(), Qt::NoFocus);
}

// --- data grid ------------------------------------------------------------------------------------

TEST_F(ListViewTest, DataGridIsAHiddenEmptyTable)
{
    Unit* grid = findLiveUnit(kWindowId, kGridId);
    ASSERT_NE(dynamic_cast<DataGridUnit*>(grid), nullptr);
    auto* table = qobject_cast<QTableWidget*>(grid->widget());
    ASSERT_NE(table, nullptr);
    EXPECT_FALSE(table->isVisible());
    EXPECT_EQ(table->rowCount(), 0);
}

}  // namespace
}  // namespace quillora::runtime
