#pragma once

#include <QWidget>

#include <vector>

#include "insight/CountedRuns.h"
#include "insight/LogProfile.h"
#include "insight/MarkTotals.h"
#include "insight/ShoeRegistry.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QTableView;
class QTableWidget;
class ShoeRunsModel;

namespace pq {
class LogList;
}

// The Records window's Shoes page: every shoe named in the notes with its runs, distance, first and last run; a
// shoe past its distance limit is marked. With a profile beside the log the page shows its shoe registry: each
// shoe's limit (its own, else the page's) and what is left of it, retired shoes after the others, and the profile's
// shoes without runs with their start; Shoe Settings... asks for one shoe's settings to be edited. Double-clicking
// a shoe lists its runs below and selects its last run in the log list; double-clicking one of those runs selects
// that run there.
class ShoesPage : public QWidget {
    Q_OBJECT

public:
    static constexpr double DefaultLimitMiles = 500;

    explicit ShoesPage(QWidget *parent = nullptr);

    // Shows the shoes of the runs the filter takes, with the profile's settings. The list must outlive the page's
    // contents unchanged, until the next Show.
    void Show(const pq::LogList &list, const pq::RowFilter &filter = {}, const pq::LogProfile &profile = {});
    // Whether Shoe Settings... can write a profile (the log has a file).
    void SetSettingsWritable(bool writable);

    // The limit in miles; the page shows it in its unit.
    double LimitMiles() const { return Limit; }
    void SetLimitMiles(double miles);
    bool InKilometers() const;
    void SetKilometers(bool kilometers);

    // The shoes as shown, each with its distance (its start included); and as the registry has them.
    const std::vector<pq::MarkTotal> &Shoes() const { return Totals; }
    const std::vector<pq::ShoeRow> &Registry() const { return Rows; }
    // The global limit in the unit shown.
    pq::ProfileDistance ShownLimit() const;

    QTableWidget *ShoeTable() const { return Table; }
    QPushButton *SettingsButton() const { return Settings; }
    QTableView *RunTable() const { return Runs; }
    // Lists a shoe's runs (by its place in Shoes()) and selects its last one, here and in the log list.
    void OpenShoe(int index);

signals:
    // Asks for a row of the log to be selected in the log list.
    void RunChosen(int row);
    // Asks for the settings of a shoe (by its place in Registry()) to be edited.
    void SettingsRequested(int index);

private:
    void Collect();
    void ApplyLimit();
    void Fill();
    void UpdateSettingsButton();
    void OnUnitPicked();
    void OnLimitEdited(double value);

    QComboBox *Unit = nullptr;
    QDoubleSpinBox *LimitBox = nullptr;
    QTableWidget *Table = nullptr;
    QLabel *RunsLabel = nullptr;
    QTableView *Runs = nullptr;
    ShoeRunsModel *RunsModel = nullptr;
    QPushButton *Settings = nullptr;

    const pq::LogList *List = nullptr;
    pq::RowFilter Filter;
    pq::LogProfile Profile;
    bool Writable = false;
    std::vector<pq::ShoeRow> Rows;
    std::vector<pq::MarkTotal> Totals;
    double Limit = DefaultLimitMiles;
};
