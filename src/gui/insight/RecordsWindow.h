#pragma once

#include <QWidget>

#include <functional>

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
// its profile as they change.
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
    ShoesPage *Shoes() const { return ShoesView; }
    GoalsPage *Goals() const { return GoalsView; }
    QTabWidget *Pages() const { return PageTabs; }

private:
    void Refresh();
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
};
