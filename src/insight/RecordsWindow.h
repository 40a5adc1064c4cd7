#pragma once

#include <QWidget>

#include <functional>

class InsightSource;
class QComboBox;
class QLabel;
class QTableWidget;

// The Records window: the best times at the standard distances, the longest run and the biggest week, month and
// year, each with its date, distance, time and pace per mile and per kilometer; and the times Riegel's formula
// predicts from the best effort of the last 365 days. Double-clicking a record selects its row in the log list
// (for a period, its last run). It follows the log as it changes.
class RecordsWindow : public QWidget {
    Q_OBJECT

public:
    using RowSelector = std::function<void(int row)>;
    enum Column { RecordColumn, DateColumn, DistanceColumn, TimeColumn, PaceMileColumn, PaceKilometerColumn };

    RecordsWindow(InsightSource &source, RowSelector selectRow, QWidget *parent = nullptr);

    QTableWidget *RecordsTable() const { return Records; }
    QTableWidget *PredictionsTable() const { return Predictions; }
    QLabel *PredictionBase() const { return BaseLabel; }

private:
    void Refresh();
    void SelectRecordRow(int tableRow);

    InsightSource &Source;
    RowSelector SelectRow;
    QComboBox *WeekStart = nullptr;
    QTableWidget *Records = nullptr;
    QLabel *BaseLabel = nullptr;
    QTableWidget *Predictions = nullptr;
};
