#pragma once

#include <QDialog>

#include <functional>
#include <vector>

#include "import/ImportReview.h"

class ImportShoeCheck;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The review before an import: one line per activity found (date, sport, distance, time, moving and elapsed time,
// file, remark) with a check box (runs ticked; other sports, duplicates, rows too long for the log and rows with a
// remark not, each with its reason), Select All and Select None, the unit of the distances, which time goes into the
// rows, the files that could not be read with the reasons, and a button that says how many runs it imports. An
// activity whose clock was not set takes a date typed into its Date (double-click it). A resizable window laid out
// with layouts. With the log's shoes, it says which shoes the ticked runs would take over their limits.
class ImportReviewDialog : public QDialog {
    Q_OBJECT

public:
    enum Column {
        DateColumn,
        SportColumn,
        DistanceColumn,
        TimeColumn,
        MovingColumn,
        ElapsedColumn,
        FileColumn,
        RemarkColumn,
        ColumnCount
    };

    // shoes: the log's shoes, which must outlive the dialog; nullptr to say nothing of shoes.
    ImportReviewDialog(pq::ImportReview &review, QWidget *parent = nullptr, const ImportShoeCheck *shoes = nullptr);

    // The rows of the ticked lines, in the order shown.
    std::vector<pq::LogEntry> TickedEntries() const;

    QTreeWidget *Activities() const { return List; }
    QComboBox *UnitChoice() const { return Unit; }
    QComboBox *TimeChoice() const { return Time; }
    QListWidget *UnreadableFiles() const { return Failures; }
    QLabel *Summary() const { return Counts; }
    QLabel *ShoeWarning() const { return OverLimit; }
    QPushButton *AcceptButton() const { return ImportButton; }

private:
    void Fill();
    void OnUnitChanged(int index);
    // Ticks or unticks every line that can be imported.
    void TickAll(Qt::CheckState state);
    // Names the number of ticked runs on the accept button, which is off while there are none.
    void CountTicked();
    // Shows the review again after a change to it, keeping the user's ticks where the rows still allow them.
    void Refill(const std::function<void()> &change);
    void OnDateEdited(QTreeWidgetItem *item, int column);

    pq::ImportReview &Review;
    const ImportShoeCheck *Shoes;
    QTreeWidget *List = nullptr;
    QComboBox *Unit = nullptr;
    QComboBox *Time = nullptr;
    QListWidget *Failures = nullptr;
    QLabel *Counts = nullptr;
    QLabel *OverLimit = nullptr;
    QPushButton *ImportButton = nullptr;
};
