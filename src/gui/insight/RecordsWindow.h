#pragma once

#include <QWidget>

#include <functional>
#include <optional>

#include "insight/PersonalRecords.h"

class GoalsPage;
class InsightSource;
class QComboBox;
class QLabel;
class QTableWidget;
class QTabWidget;
class ShoesPage;
class TagFilterBox;

// The Records window: the best times at the standard distances, the longest run and the biggest week, month and
// year, each with its date, distance, time and pace per mile and per kilometer; and the times Riegel's formula
// predicts for each standard distance from the nearest best effort of the last 365 days, naming that base.
// Double-clicking a record selects its row in the log list (for a period, its last run). A Shoes page lists the shoes
// named in the notes and the log's profile, whose settings it edits; a Goals page shows the profile's goals. A tag
// filter takes only the runs with one tag, for every record and shoe (a goal has its own). It follows the log and
// its profile as they change: the records at once (from the records before, for rows added at the end), the shoes
// and goals when their page is shown or asked for.
class RecordsWindow : public QWidget {
    Q_OBJECT

public:
    using RowSelector = std::function<void(int row)>;
    enum Column { RecordColumn, DateColumn, DistanceColumn, TimeColumn, PaceMileColumn, PaceKilometerColumn };

    RecordsWindow(InsightSource &source, RowSelector selectRow, QWidget *parent = nullptr);

    QTableWidget *RecordsTable() const { return Records; }
    QTableWidget *PredictionsTable() const { return Predictions; }
    QLabel *PredictionsCaption() const { return PredictionsLabel; }
    TagFilterBox *Tags() const { return TagChoice; }
    // The pages, each brought up to date first.
    ShoesPage *Shoes() const;
    GoalsPage *Goals() const;
    QTabWidget *Pages() const { return PageTabs; }

private:
    void Refresh();
    void ShowRecords();
    // Shows the shoes or the goals again when they are out of date.
    void BringUpToDate(const QWidget *page) const;
    void OpenAtFullSize();
    void SelectRecordRow(int tableRow);
    // Shows the page's choices that act on it.
    void UpdateChoices();
    void EditShoeSettings(int index);

    InsightSource &Source;
    RowSelector SelectRow;
    QComboBox *WeekStart = nullptr;
    TagFilterBox *TagChoice = nullptr;
    QTabWidget *PageTabs = nullptr;
    ShoesPage *ShoesView = nullptr;
    GoalsPage *GoalsView = nullptr;
    QTableWidget *Records = nullptr;
    QLabel *PredictionsLabel = nullptr;
    QTableWidget *Predictions = nullptr;
    // The records shown, and the day and week start they were computed for.
    std::optional<pq::PersonalRecords> Shown;
    int ShownToday = 0;
    int ShownWeekStart = 0;
    mutable bool ShoesStale = true;
    mutable bool GoalsStale = true;
};
