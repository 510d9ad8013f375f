#include "runtime/units/list_view_model.h"

#include "runtime/units/control_support.h"

#include <algorithm>

namespace quillora::runtime {
namespace {

// Views read an alignment role as a plain int in every Qt 6 version.
QVariant alignmentRole(form_format::Alignment alignment)
{
    return static_cast<int>(horizontalAlignment(static_cast<std::uint32_t>(alignment)) | Qt::AlignVCenter);
}

}  // namespace

ListViewModel::ListViewModel(QObject* parent) : QAbstractTableModel(parent)
{
    announceTimer_.setSingleShot(true);
    QObject::connect(&announceTimer_, &QTimer::timeout, this, [this] { announcePendingRows(); });
    sinceAnnouncement_.start();
}

int ListViewModel::insertColumn(int position, std::string_view title, form_format::Alignment alignment)
{
    if (position < 0 || position > columnTotal())
        position = columnTotal();
    beginInsertColumns(QModelIndex(), position, position);
    columns_.insert(columns_.begin() + position, Column{std::string(title), alignment});
    for (std::vector<std::string>& cells : rows_)
        if (cells.size() > static_cast<std::size_t>(position))
            cells.insert(cells.begin() + position, std::string());
    endInsertColumns();
    return position;
}

bool ListViewModel::deleteColumn(int column)
{
    if (column < 0 || column >= columnTotal())
        return false;
    beginRemoveColumns(QModelIndex(), column, column);
    columns_.erase(columns_.begin() + column);
    for (std::vector<std::string>& cells : rows_)
        if (cells.size() > static_cast<std::size_t>(column))
            cells.erase(cells.begin() + column);
    endRemoveColumns();
    return true;
}

int ListViewModel::insertRow(int position, std::string_view caption)
{
    if (position < 0 || position > rowTotal())
        position = rowTotal();
    std::vector<std::string> cells;
    if (!caption.empty())
        cells.emplace_back(caption);
    if (position < announcedRows_) {
        beginInsertRows(QModelIndex(), position, position);
        rows_.insert(rows_.begin() + position, std::move(cells));
        ++announcedRows_;
        endInsertRows();
    } else {
        rows_.insert(rows_.begin() + position, std::move(cells));
        scheduleAnnouncement();
    }
    return position;
}

bool ListViewModel::deleteRow(int row)
{
    if (row < 0 || row >= rowTotal())
        return false;
    if (row < announcedRows_) {
        beginRemoveRows(QModelIndex(), row, row);
        rows_.erase(rows_.begin() + row);
        --announcedRows_;
        endRemoveRows();
    } else {
        rows_.erase(rows_.begin() + row);
    }
    return true;
}

void ListViewModel::deleteAllRows()
{
    announceTimer_.stop();
    beginResetModel();
    rows_.clear();
    rows_.shrink_to_fit();
    announcedRows_ = 0;
    endResetModel();
}

bool ListViewModel::setCellText(int row, int column, std::string_view text)
{
    if (row < 0 || row >= rowTotal() || column < 0 || column >= columnTotal())
        return false;
    std::vector<std::string>& cells = rows_[static_cast<std::size_t>(row)];
    if (cells.size() <= static_cast<std::size_t>(column)) {
        if (text.empty())
            return true;
        cells.resize(static_cast<std::size_t>(column) + 1);
    }
    cells[static_cast<std::size_t>(column)] = text;
    if (row < announcedRows_) {
        const QModelIndex cell = index(row, column);
        emit dataChanged(cell, cell, {Qt::DisplayRole});
    }
    return true;
}

std::string_view ListViewModel::cellText(int row, int column) const
{
    if (row < 0 || row >= rowTotal() || column < 0)
        return {};
    const std::vector<std::string>& cells = rows_[static_cast<std::size_t>(row)];
    return static_cast<std::size_t>(column) < cells.size() ? std::string_view(cells[static_cast<std::size_t>(column)])
                                                           : std::string_view();
}

void ListViewModel::scheduleAnnouncement()
{
    if (announceTimer_.isActive())
        return;
    // The first rows after a quiet spell show at the next event processing; while rows keep
    // coming they are announced at most once per interval.
    const auto elapsed = std::chrono::milliseconds(sinceAnnouncement_.elapsed());
    announceTimer_.start(std::max(std::chrono::milliseconds(0), kAnnounceInterval - elapsed));
}

void ListViewModel::announcePendingRows()
{
    announceTimer_.stop();
    sinceAnnouncement_.restart();
    if (announcedRows_ >= rowTotal())
        return;
    beginInsertRows(QModelIndex(), announcedRows_, rowTotal() - 1);
    announcedRows_ = rowTotal();
    endInsertRows();
}

int ListViewModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : announcedRows_;
}

int ListViewModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : columnTotal();
}

QVariant ListViewModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= announcedRows_ || index.column() >= columnTotal())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return toQt(cellText(index.row(), index.column()));
    case Qt::TextAlignmentRole:
        return alignmentRole(column(index.column()).alignment);
    default:
        return {};
    }
}

QVariant ListViewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnTotal())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return toQt(column(section).title);
    case Qt::TextAlignmentRole:
        return alignmentRole(column(section).alignment);
    default:
        return {};
    }
}

Qt::ItemFlags ListViewModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

}  // namespace quillora::runtime
