#pragma once

#include <QList>
#include <QWidget>

#include <array>
#include <optional>

#include "calc/RunArithmetic.h"
#include "insight/ChartSeries.h"

class ConsistencyChart;
class InsightSource;
class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QStackedWidget;
class QTabWidget;
class TagFilterBox;
class TrainingLoadChart;
class WeeklyChart;
class YearOverYearChart;

// The Charts window: weekly distance with its ramp warning, year over year, the consistency calendar and the
// training load, over the runs of the open log. It is modeless, follows the log as it changes, and saves the chart
// shown as a PNG or SVG image. A chart without runs gives way to a message that says so, with a button that shows
// all weeks; a choice that does nothing for the chart shown is off. The year over year draws the year goal of the
// log's profile. Only the chart shown follows the log and the choices at once; the others are brought up to date
// when they are shown or asked for.
class ChartsWindow : public QWidget {
    Q_OBJECT

public:
    // The choices of the weeks list: how many weeks the weekly and training load charts show (0 for all).
    static constexpr int WeekChoices[] = {12, 26, 52, 104, 0};
    static constexpr int DefaultWeekChoice = 1;

    ChartsWindow(InsightSource &source, QWidget *parent = nullptr);

    // The charts, each brought up to date first.
    WeeklyChart *Weekly() const;
    YearOverYearChart *YearOverYear() const;
    ConsistencyChart *Consistency() const;
    TrainingLoadChart *Load() const;
    QTabWidget *Tabs() const { return ChartTabs; }
    TagFilterBox *Tags() const { return TagChoice; }
    QScrollArea *WeeklyScrollArea() const { return WeeklyScroll; }
    // The message shown in place of the current chart when it has no runs, or an empty text.
    QString EmptyMessage() const;
    QPushButton *ShowAllWeeksButton() const { return ShowAllButton; }

    // Asks for a file and saves the chart on the current tab.
    void SaveImage();

private:
    // The tabs, in the order they are added.
    enum Tab { WeeklyTab, YearOverYearTab, ConsistencyTab, TrainingLoadTab, TabCount };

    // After the runs or a choice changed: the chart shown is drawn again, the year over year and consistency
    // charts when next shown.
    void Refresh();
    // Draws the chart of the tab again if it is out of date, with its message.
    void BringUpToDate(Tab tab) const;
    // The weekly and the training load charts, which take the same days of training load.
    void DrawWeeklyAndLoad() const;
    // Shows the chart of a tab with a message page, or its message.
    void ShowPage(Tab tab) const;
    // Brings the chart shown up to date, and turns the choices and the save button on where they do something.
    void UpdatePages();
    void ShowAllWeeks();
    // The year goal the year-over-year chart draws, in the unit, or nothing.
    std::optional<double> YearGoal(pq::DistanceUnit unit) const;

    InsightSource &Source;
    QComboBox *Weeks = nullptr;
    QComboBox *WeekStart = nullptr;
    QComboBox *Unit = nullptr;
    TagFilterBox *TagChoice = nullptr;
    QPushButton *SaveButton = nullptr;
    QTabWidget *ChartTabs = nullptr;
    QScrollArea *WeeklyScroll = nullptr;
    WeeklyChart *WeeklyView = nullptr;
    YearOverYearChart *YearsView = nullptr;
    ConsistencyChart *CalendarView = nullptr;
    TrainingLoadChart *LoadView = nullptr;
    // Per tab: the chart, or the message about its runs.
    QList<QStackedWidget *> Pages;
    QList<QLabel *> EmptyLabels;
    QPushButton *ShowAllButton = nullptr;
    // Per tab: whether its chart was drawn from older runs or choices.
    mutable std::array<bool, TabCount> Stale{};
    // Every week of the weekly chart, and the day and week start they were counted for; rows added at the end
    // change only their weeks.
    mutable std::vector<pq::WeekBar> AllWeeks;
    mutable int AllWeeksToday = 0;
    mutable int AllWeeksStart = -1;
};
