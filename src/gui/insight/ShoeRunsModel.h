#pragma once

#include <QAbstractTableModel>

#include <vector>

namespace pq {
class LogList;
}

// Some rows of the log, shown by index into it: the runs of one shoe. The log must outlive the model's rows
// unchanged; SetRows with no rows lets it go.
class ShoeRunsModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit ShoeRunsModel(QObject *parent = nullptr);

    void SetRows(const pq::LogList *list, std::vector<int> rows);
    // The log row shown at a row of the model.
    int LogRow(int row) const { return Rows[static_cast<std::size_t>(row)]; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    const pq::LogList *List = nullptr;
    std::vector<int> Rows;
};
