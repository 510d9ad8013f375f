// The rows and columns of a list view, and how the view learns of them.
//
// A report list of 100,000 rows must stay responsive while a search appends its rows one by one.
// The view lays out all its rows again whenever it is told of inserted ones, so telling it of
// every row would cost time in proportion to the rows already there, per row. The model
// therefore keeps every row at once but announces appended rows in batches: rows at the end
// that the view has not been told of yet are pending, and one beginInsertRows / endInsertRows
// announces all of them at the next point where events are processed, at most once per
// kAnnounceInterval. Cells of pending rows change without a signal; the view reads them when it
// learns of the rows. Everything else (rows inserted before the pending ones, deletions, columns)
// is announced at once, so the view is always a consistent prefix of the rows.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include <QAbstractTableModel>
#include <QElapsedTimer>
#include <QTimer>

#include "runtime/core/form_template_format.h"

namespace quillora::runtime {

class ListViewModel : public QAbstractTableModel {
public:
    static constexpr std::chrono::milliseconds kAnnounceInterval{100};

    struct Column {
        std::string title;
        form_format::Alignment alignment = form_format::Alignment::Left;
    };

    explicit ListViewModel(QObject* parent = nullptr);

    // Columns. Positions outside the columns put a new one at the end.
    int insertColumn(int position, std::string_view title, form_format::Alignment alignment);
    bool deleteColumn(int column);
    int columnTotal() const { return static_cast<int>(columns_.size()); }
    const Column& column(int column) const { return columns_[static_cast<std::size_t>(column)]; }

    // Rows, pending ones included. Positions outside the rows append.
    int insertRow(int position, std::string_view caption);
    bool deleteRow(int row);
    void deleteAllRows();
    int rowTotal() const { return static_cast<int>(rows_.size()); }
    bool setCellText(int row, int column, std::string_view text);
    // Empty for a cell that does not exist.
    std::string_view cellText(int row, int column) const;

    // Tells the view of the pending rows now.
    void announcePendingRows();
    int pendingRows() const { return rowTotal() - announcedRows_; }

    // QAbstractTableModel: the rows the view has been told of.
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    void scheduleAnnouncement();

    std::vector<Column> columns_;
    // A row holds its cells from column 0 up to the last one written; cells beyond read as empty.
    std::vector<std::vector<std::string>> rows_;
    int announcedRows_ = 0;
    QTimer announceTimer_;
    QElapsedTimer sinceAnnouncement_;
};

}  // namespace quillora::runtime
