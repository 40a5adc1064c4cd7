#pragma once

#include <QAbstractTableModel>

#include <string_view>

#include "log/LogList.h"
#include "log/RowChanges.h"

namespace pq {
class TLwComparator;
}

// The log list as a Qt table: one row per entry, the columns Date, Distance, Time and Notes, texts decoded from
// Windows-1252 when a cell is painted. Every change to the rows goes through this model so the view hears of it.
class LogTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit LogTableModel(QObject *parent = nullptr);

    const pq::LogList &List() const { return Rows; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Splits a row text and adds the row at the end; returns its index.
    int AppendRow(std::string_view rowText);
    void RemoveRow(int row);
    void ClearRows();
    // Takes all rows of another list (a freshly loaded log) in one reset.
    void ReplaceRows(pq::LogList &&rows);
    void Select(int row);
    void ClearSelection();
    // Reorders the rows; the list's selection and the view's index of the selected row follow their row.
    void SortRows(const pq::TLwComparator &comparator);

    // The rows as they are now (or as they are after a ReplaceRows or ClearRows) become the base, and the rows
    // added and removed from then on are kept track of until ForgetBase.
    void MarkBase();
    void ForgetBase();
    // The rows of the base, rebuilt: the rows now, less those added since, plus those removed since.
    pq::LogList BaseRows() const { return Changes.Base(Rows); }

private:
    pq::LogList Rows;
    pq::RowChanges Changes;
    bool Tracking = false; // edits go to Changes
};
