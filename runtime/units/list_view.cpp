#include "runtime/units/list_view.h"

#include "quillora/list_unit_commands.h"
#include "runtime/core/command_arguments.h"
#include "platform/font_line_metrics.h"
#include "runtime/units/control_support.h"
#include "runtime/units/list_view_model.h"

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTreeView>

#include <algorithm>
#include <optional>

namespace quillora::runtime {
namespace {

// The rows of a list view are as tall as the faces of its font really draw (underscores and
// descenders included, platform/font_line_metrics.h), with a pixel above and below. With the
// form's "grid-lines" option the right and bottom edge of every cell is drawn too, and rows grow
// by the line's pixel, as they do in a Windows list view with grid lines, so the line takes no
// pixel from the text.
class RowDelegate : public QStyledItemDelegate {
public:
    RowDelegate(QObject* parent, bool gridLines) : QStyledItemDelegate(parent), gridLines_(gridLines) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(std::max(size.height(), platform::textLineMetrics(option.font, QString()).height() + 2));
        return gridLines_ ? size + QSize(0, 1) : size;
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        if (!gridLines_)
            return;
        painter->save();
        painter->setPen(option.palette.color(QPalette::Midlight));
        painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
        painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
        painter->restore();
    }

private:
    bool gridLines_;
};

// Makes the row under a double click the current row before anything else sees the click, so a
// double-click handler reads the row the user double-clicked.
class RowPicker : public QObject {
public:
    explicit RowPicker(QTreeView& view) : view_(&view) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::MouseButtonDblClick || !view_)
            return false;
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        const QModelIndex row = view_->indexAt(mouse->position().toPoint());
        if (row.isValid())
            view_->selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        return false;
    }

private:
    QPointer<QTreeView> view_;
};

form_format::Alignment alignmentOf(std::int32_t value)
{
    switch (value) {
    case 1: return form_format::Alignment::Centre;
    case 2: return form_format::Alignment::Right;
    default: return form_format::Alignment::Left;
    }
}

void sendMouse(QWidget& target, QEvent::Type type, QPoint position)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, position, target.mapToGlobal(position), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(&target, &event);
}

}  // namespace

ListViewUnit::ListViewUnit(LiveWindow& window, const UnitTemplate& unitTemplate)
    : Unit(window, unitTemplate), model_(std::make_unique<ListViewModel>())
{
}

ListViewUnit::~ListViewUnit() = default;

QWidget* ListViewUnit::createWidget(QWidget* parent)
{
    // A flat tree view is a report list: a header over rows, the whole row selected. Every other
    // style of the form shows as a report too, the only one this program uses.
    view_ = new QTreeView(parent);
    view_->setModel(model_.get());
    view_->setRootIsDecorated(false);
    view_->setItemsExpandable(false);
    view_->setUniformRowHeights(true);
    view_->setAllColumnsShowFocus(true);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setTextElideMode(Qt::ElideRight);
    view_->header()->setStretchLastSection(false);
    view_->header()->setSectionsMovable(false);
    view_->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    view_->setItemDelegate(new RowDelegate(view_, (template_.properties.options & form_format::kListViewGridLines) != 0));
    applyTemplateFont(*view_, template_.properties);
    return view_;
}

void ListViewUnit::windowBuilt()
{
    // The loader has installed the common-event filter by now; a filter installed later runs
    // earlier, so the row is current before the double-click event is raised.
    rowPicker_ = std::make_unique<RowPicker>(*view_);
    view_->viewport()->installEventFilter(rowPicker_.get());
}

int ListViewUnit::insertColumn(int position, std::string_view title, int width, form_format::Alignment alignment)
{
    const int column = model_->insertColumn(position, title, alignment);
    if (view_)
        view_->header()->resizeSection(column, std::max(width, 0));
    return column;
}

bool ListViewUnit::deleteColumn(int column)
{
    return model_->deleteColumn(column);
}

int ListViewUnit::columnCount() const
{
    return model_->columnTotal();
}

std::string ListViewUnit::columnTitle(int column) const
{
    return column >= 0 && column < columnCount() ? model_->column(column).title : std::string();
}

int ListViewUnit::columnWidth(int column) const
{
    return column >= 0 && column < columnCount() && view_ ? view_->header()->sectionSize(column) : 0;
}

form_format::Alignment ListViewUnit::columnAlignment(int column) const
{
    return column >= 0 && column < columnCount() ? model_->column(column).alignment : form_format::Alignment::Left;
}

int ListViewUnit::insertRow(int position, std::string_view caption)
{
    return model_->insertRow(position, caption);
}

bool ListViewUnit::deleteRow(int row)
{
    return model_->deleteRow(row);
}

void ListViewUnit::deleteAllRows()
{
    model_->deleteAllRows();
}

int ListViewUnit::rowCount() const
{
    return model_->rowTotal();
}

bool ListViewUnit::setCellText(int row, int column, std::string_view text)
{
    return model_->setCellText(row, column, text);
}

std::string ListViewUnit::cellText(int row, int column) const
{
    return std::string(model_->cellText(row, column));
}

int ListViewUnit::currentRow() const
{
    if (!view_ || !view_->selectionModel())
        return -1;
    const QItemSelection selection = view_->selectionModel()->selection();
    return selection.isEmpty() ? -1 : selection.front().top();
}

bool ListViewUnit::setCurrentRow(int row)
{
    if (!view_ || row >= rowCount())
        return false;
    if (row < 0) {
        view_->clearSelection();
        return true;
    }
    if (row >= model_->rowCount())
        showPendingRows();
    const QModelIndex index = model_->index(row, 0);
    view_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view_->scrollTo(index);
    return true;
}

void ListViewUnit::showPendingRows()
{
    model_->announcePendingRows();
}

std::string ListViewUnit::describe() const
{
    const int columns = columnCount();
    std::string lines;
    for (int column = 0; column < columns; ++column) {
        if (column > 0)
            lines += '\t';
        lines += escapedForDescription(toQt(columnTitle(column)));
    }
    // Without columns a row still has its caption, cell 0.
    const int cells = std::max(columns, 1);
    for (int row = 0; row < rowCount(); ++row) {
        lines += '\n';
        for (int column = 0; column < cells; ++column) {
            if (column > 0)
                lines += '\t';
            lines += escapedForDescription(toQt(model_->cellText(row, column)));
        }
    }
    return lines;
}

bool ListViewUnit::automate(std::string_view action, std::string_view argument, std::string& problem)
{
    if (action != "select" && action != "doubleclick")
        return Unit::automate(action, argument, problem);
    if (!userCanReach(*this, problem))
        return false;
    const std::optional<int> row = parseWholeNumber(argument);
    if (!row || *row < 0 || *row >= rowCount()) {
        problem = name() + " has no row " + std::string(argument);
        return false;
    }
    if (action == "select")
        return setCurrentRow(*row);
    return doubleClickRow(*row, problem);
}

bool ListViewUnit::doubleClickRow(int row, std::string& problem)
{
    // As a user does it: the row scrolled into sight, then press, release, double click and
    // release on it, so the common events -1, -2, -3, -2 come from the viewport as from a mouse.
    showPendingRows();
    const QModelIndex index = model_->index(row, 0);
    view_->scrollTo(index);
    const QRect cell = view_->visualRect(index);
    if (!cell.isValid()) {
        problem = name() + " cannot show row " + std::to_string(row);
        return false;
    }
    const QPoint point = cell.center();
    QPointer<QWidget> viewport = view_->viewport();
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                                    QEvent::MouseButtonRelease}) {
        // A handler may close the window on the way.
        if (!viewport)
            break;
        sendMouse(*viewport, type, point);
    }
    return true;
}

}  // namespace quillora::runtime

// --- the methods ----------------------------------------------------------------------------------

namespace quillora {
namespace {

using runtime::CommandArguments;
using runtime::ListViewUnit;

ListViewUnit& listView(std::int32_t argCount, const RuntimeValue* args)
{
    return runtime::requireUnit<ListViewUnit>(argCount, args);
}

}  // namespace

void listViewInsertColumn(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    ListViewUnit& unit = listView(argCount, args);
    const CommandArguments arguments(argCount, args);
    *result = makeInt(unit.insertColumn(arguments.int32(1, -1), arguments.text(2),
                                        arguments.int32(3, ListViewUnit::kDefaultColumnWidth),
                                        runtime::alignmentOf(arguments.int32(4, 0))));
}

void listViewDeleteColumn(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    ListViewUnit& unit = listView(argCount, args);
    *result = makeBool(unit.deleteColumn(CommandArguments(argCount, args).int32(1, -1)));
}

void listViewColumnCount(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    *result = makeInt(listView(argCount, args).columnCount());
}

void listViewColumnTitle(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    ListViewUnit& unit = listView(argCount, args);
    *result = runtime::textResult(unit.columnTitle(CommandArguments(argCount, args).int32(1, -1)));
}

void listViewInsertRow(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    ListViewUnit& unit = listView(argCount, args);
    const CommandArguments arguments(argCount, args);
    *result = makeInt(unit.insertRow(arguments.int32(1, -1), arguments.text(2)));
}

void listViewDeleteRow(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    ListViewUnit& unit = listView(argCount, args);
    *result = makeBool(unit.deleteRow(CommandArguments(argCount, args).int32(1, -1)));
}

void listViewDeleteAllRows(RuntimeValue*, std::int32_t argCount, RuntimeValue* args)
{
    listView(argCount, args).deleteAllRows();
}

void listViewRowCount(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    *result = makeInt(listView(argCount, args).rowCount());
}

void listViewSetCellText(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    ListViewUnit& unit = listView(argCount, args);
    const CommandArguments arguments(argCount, args);
    *result = makeBool(unit.setCellText(arguments.int32(1, -1), arguments.int32(2, -1), arguments.text(3)));
}

void listViewCellText(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    ListViewUnit& unit = listView(argCount, args);
    const CommandArguments arguments(argCount, args);
    *result = runtime::textResult(unit.cellText(arguments.int32(1, -1), arguments.int32(2, -1)));
}

void listViewCurrentRow(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    *result = makeInt(listView(argCount, args).currentRow());
}

void listViewSetCurrentRow(RuntimeValue* result, std::int32_t argCount, RuntimeValue* args)
{
    ListViewUnit& unit = listView(argCount, args);
    *result = makeBool(unit.setCurrentRow(CommandArguments(argCount, args).int32(1, -1)));
}

}  // namespace quillora
