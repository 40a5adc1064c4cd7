#include "log/LogTableModel.h"

#include <QString>

#include <array>

#include "log/CodePage1252.h"

namespace {

constexpr std::array<const char *, pq::ColumnCount> ColumnHeaders{"Date", "Distance", "Time", "Notes"};

QString DecodeCell(std::string_view bytes) {
    return QString::fromStdU16String(pq::Decode1252(bytes));
}

} // namespace

LogTableModel::LogTableModel(QObject *parent) : QAbstractTableModel(parent) {}

int LogTableModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : Rows.RowCount();
}

int LogTableModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : pq::ColumnCount;
}

QVariant LogTableModel::data(const QModelIndex &index, int role) const {
    if (role != Qt::DisplayRole || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    return DecodeCell(Rows.Text(index.row(), index.column()));
}

QVariant LogTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= pq::ColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromLatin1(ColumnHeaders[section]);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    return {};
}

int LogTableModel::AppendRow(std::string_view rowText) {
    const int row = Rows.RowCount();
    beginInsertRows({}, row, row);
    Rows.AppendRow(rowText);
    if (Tracking)
        Changes.Added(Rows, row);
    endInsertRows();
    return row;
}

void LogTableModel::RemoveRow(int row) {
    beginRemoveRows({}, row, row);
    if (Tracking && row >= 0 && row < Rows.RowCount())
        Changes.Removed(Rows, row);
    Rows.RemoveRow(row);
    endRemoveRows();
}

void LogTableModel::ClearRows() {
    beginResetModel();
    Rows.ClearRows();
    Changes.Clear();
    endResetModel();
}

void LogTableModel::ReplaceRows(pq::LogList &&rows) {
    beginResetModel();
    Rows = std::move(rows);
    Changes.Clear();
    endResetModel();
}

void LogTableModel::MarkBase() {
    Changes.Clear();
    Tracking = true;
}

void LogTableModel::ForgetBase() {
    Changes.Clear();
    Tracking = false;
}

void LogTableModel::Select(int row) {
    Rows.Select(row);
}

void LogTableModel::ClearSelection() {
    Rows.ClearSelection();
}

void LogTableModel::SortRows(const pq::TLwComparator &comparator) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const std::optional<int> selectedBefore = Rows.SelectedRow();
    Rows.Sort(comparator);
    const std::optional<int> selectedAfter = Rows.SelectedRow();
    // Only the selected row's new place is known; other remembered indexes (hover, anchors) are dropped.
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &index : before) {
        const bool isSelected = selectedBefore && selectedAfter && index.row() == *selectedBefore;
        after.append(isSelected ? createIndex(*selectedAfter, index.column()) : QModelIndex());
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
