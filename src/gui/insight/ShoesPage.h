#pragma once

#include <QWidget>

#include <vector>

#include "insight/CountedRuns.h"
#include "insight/MarkTotals.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QTableView;
class QTableWidget;
class ShoeRunsModel;

namespace pq {
class LogList;
}

// The Records window's Shoes page: every shoe named in the notes with its runs, distance, first and last run; a
// shoe past the distance limit is marked. Double-clicking a shoe lists its runs below and selects its last run
// in the log list; double-clicking one of those runs selects that run there.
class ShoesPage : public QWidget {
    Q_OBJECT

public:
    static constexpr double DefaultLimitMiles = 500;

    explicit ShoesPage(QWidget *parent = nullptr);

    // Shows the shoes of the runs the filter takes. The list must outlive the page's contents unchanged, until
    // the next Show.
    void Show(const pq::LogList &list, const pq::RowFilter &filter = {});

    // The limit in miles; the page shows it in its unit.
    double LimitMiles() const { return Limit; }
    void SetLimitMiles(double miles);
    bool InKilometers() const;
    void SetKilometers(bool kilometers);

    // The shoes as shown, and whether each is past the limit.
    const std::vector<pq::MarkTotal> &Shoes() const { return Totals; }
    bool PastLimit(const pq::MarkTotal &shoe) const;

    QTableWidget *ShoeTable() const { return Table; }
    QTableView *RunTable() const { return Runs; }
    // Lists a shoe's runs (by its place in Shoes()) and selects its last one, here and in the log list.
    void OpenShoe(int index);

signals:
    // Asks for a row of the log to be selected in the log list.
    void RunChosen(int row);

private:
    void Fill();
    void OnUnitPicked();
    void OnLimitEdited(double value);

    QComboBox *Unit = nullptr;
    QDoubleSpinBox *LimitBox = nullptr;
    QTableWidget *Table = nullptr;
    QLabel *RunsLabel = nullptr;
    QTableView *Runs = nullptr;
    ShoeRunsModel *RunsModel = nullptr;

    const pq::LogList *List = nullptr;
    pq::RowFilter Filter;
    std::vector<pq::MarkTotal> Totals;
    double Limit = DefaultLimitMiles;
};
