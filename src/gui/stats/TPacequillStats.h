#pragma once

#include <QDialog>

#include <array>
#include <functional>
#include <vector>

#include "stats/PeriodTotals.h"
#include "stats/TPacequillSSArray.h"

namespace pq {
class LiveSnapshot;
}

class HelpClient;
class QComboBox;
class QLineEdit;
class QTabBar;
class QTreeWidget;

// The statistics dialog: weekly, monthly and yearly totals of the log's snapshot on three tabs, and on the fourth
// the distance run between two chosen dates. Each list is filled the first time its tab is shown; the From/Thru
// totals are computed when that tab is first shown and afterwards only by Calculate.
class TPacequillStats : public QDialog {
    Q_OBJECT

public:
    static constexpr int TemplateId = 10;

    // The tab the opening command asks for.
    enum RequestedTab { WeeklyTab = 1, MonthlyTab = 2, YearlyTab = 3, FromThruTab = 4 };

    // Control ids of the template.
    static constexpr int TabControlId = 1101;
    static constexpr int WeeklyListId = 110;
    static constexpr int MonthlyListId = 129;
    static constexpr int YearlyListId = 130;
    static constexpr int WeekStartLabelId = 102;
    static constexpr int WeekStartListId = 101;
    static constexpr int FromMonthId = 103;
    static constexpr int FromDayId = 104;
    static constexpr int FromYearId = 105;
    static constexpr int ThruMonthId = 106;
    static constexpr int ThruDayId = 107;
    static constexpr int ThruYearId = 108;
    static constexpr int MilesResultId = 114;
    static constexpr int KilometersResultId = 115;
    static constexpr int MarathonsResultId = 116;
    static constexpr int CalculateId = 117;
    static constexpr int SeparatorId = 314;
    static constexpr int CloseId = 908;
    static constexpr int HelpId = 131;

    // The help topic of the Help button, in the secondary help window.
    static constexpr quint32 HelpContext = 40001;
    static const QString HelpFile;

    // help: where the Help button's request goes; nullptr for the application's help client.
    explicit TPacequillStats(QWidget *parent, HelpClient *help = nullptr);
    ~TPacequillStats() override;

    // The snapshot of the log as it is whenever the dialog computes totals.
    using LiveSource = std::function<const pq::LiveSnapshot &()>;

    void SetSnapshot(pq::TPacequillSSArray snapshot) { Snapshot = std::move(snapshot); }
    void SetSnapshot(LiveSource source) { Live = std::move(source); }
    void SetRequestedTab(int tab) { RequestedTabNumber = tab; }
    void SetWeekStart(int weekStart) { WeekStart = weekStart; }

    // Fills the controls and shows the requested tab; runs once, when the dialog is first shown.
    void InitDialog();

    bool IsWeeklyPending() const { return WeeklyPending; }
    bool IsMonthlyPending() const { return MonthlyPending; }
    bool IsYearlyPending() const { return YearlyPending; }
    bool IsFirstShowPending() const { return FirstShow; }
    bool IsStale() const { return Stale; }
    int GetWeekStart() const { return WeekStart; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    // One side of the From/Thru range: its three lists and their stored indexes.
    struct DateSide {
        QComboBox *Month = nullptr;
        QComboBox *Day = nullptr;
        QComboBox *Year = nullptr;
        int MonthIndex = 0;
        int DayIndex = 0;
        int YearIndex = 0;
    };

    void SetupWindow();
    void ShowAndHideControls();
    void OnTabChanged(int index);
    void SelectTab(int tabIndex);

    void WeeklyRefresh();
    void MonthlyRefresh();
    void YearlyRefresh();
    void FillList(QTreeWidget *list, const std::vector<pq::PeriodRow> &rows);
    void FromThruFirstShow();
    void RangeCalculation();
    void OnWeekStartChanged(int index);
    void OnDateChanged(DateSide &side, QComboBox *changed, int index);
    void ClearResults();
    void ShowHelp();

    // Computes from the snapshot given, reporting each row whose unit is not recognised once the computation is
    // done, so that no message box runs while a snapshot is read.
    template <class Result> Result Compute(const std::function<Result(const pq::UnitReporter &)> &fromSnapshot);
    std::vector<pq::PeriodRow> Weekly();
    std::vector<pq::PeriodRow> Monthly();
    std::vector<pq::PeriodRow> Yearly();
    pq::RangeResult Range(const pq::CalendarDate &from, const pq::CalendarDate &thru);
    void ShowRunningTotalsError();

    HelpClient *Help;
    pq::TPacequillSSArray Snapshot;
    LiveSource Live;
    int RequestedTabNumber = WeeklyTab;
    int WeekStart = 0;
    int LastWeekStart = 0;
    bool WeeklyPending = false;
    bool MonthlyPending = false;
    bool YearlyPending = false;
    bool FirstShow = false;
    bool Stale = false;
    bool Initialised = false;

    DateSide From;
    DateSide Thru;
    QTabBar *Tabs = nullptr;
    QTreeWidget *WeeklyList = nullptr;
    QTreeWidget *MonthlyList = nullptr;
    QTreeWidget *YearlyList = nullptr;
    QComboBox *WeekStartList = nullptr;
    std::array<QLineEdit *, 3> Results{};
};
