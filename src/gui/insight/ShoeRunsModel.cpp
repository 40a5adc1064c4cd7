#include "insight/ShoeRunsModel.h"

#include "log/CodePage1252.h"
#include "log/LogEntry.h"
#include "log/LogList.h"

namespace {

const char *const Headers[pq::ColumnCount] = {"Date", "Distance", "Time", "Notes"};

} // namespace

ShoeRunsModel::ShoeRunsModel(QObject *parent) : QAbstractTableModel(parent) {}

void ShoeRunsModel::SetRows(const pq::LogList *list, std::vector<int> rows) {
    beginResetModel();
    List = rows.empty() ? nullptr : list;
    Rows = List ? std::move(rows) : std::vector<int>();
    endResetModel();
}

int ShoeRunsModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : static_cast<int>(Rows.size());
}

int ShoeRunsModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : pq::ColumnCount;
}

QVariant ShoeRunsModel::data(const QModelIndex &index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || List == nullptr) {
        return {};
    }
    QString text = QString::fromStdU16String(pq::Decode1252(List->Text(LogRow(index.row()), index.column())));
    // A stored line break shows as a blank on one line.
    text.replace(QChar(static_cast<unsigned char>(pq::StoredLineBreak)), QLatin1Char(' '));
    return text;
}

QVariant ShoeRunsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= pq::ColumnCount) {
        return {};
    }
    return QString::fromLatin1(Headers[section]);
}
