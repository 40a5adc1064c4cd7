#pragma once

#include <QWidget>

#include <vector>

#include "insight/GoalProgress.h"
#include "insight/LogProfile.h"

class QLabel;
class QTableWidget;

// The Records window's Goals page: one line per goal of the log's profile, in the file's order, with a progress bar
// and its numbers (the period, the target, what is done, the percent, the projection at the rate so far and the
// distance needed per week for the rest), each distance in the goal's unit. A line's tooltip says the projection
// in words.
class GoalsPage : public QWidget {
    Q_OBJECT

public:
    enum Column {
        PeriodColumn,
        ProgressColumn,
        TargetColumn,
        DoneColumn,
        PercentColumn,
        ProjectedColumn,
        NeededColumn,
        ColumnCount
    };

    explicit GoalsPage(QWidget *parent = nullptr);

    // Shows the goals' progress; goals are the profile's, in the order of their progress.
    void Show(const std::vector<pq::Goal> &goals, const std::vector<pq::GoalProgress> &progress);

    QTableWidget *GoalTable() const { return Table; }
    // What the page says above the goals: how to add one when there are none.
    QLabel *Caption() const { return Note; }

private:
    QLabel *Note = nullptr;
    QTableWidget *Table = nullptr;
};
