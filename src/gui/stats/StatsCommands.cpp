#include "stats/StatsCommands.h"

#include "frame/CommandIds.h"
#include "log/TPacequillDlgClient.h"
#include "stats/PeriodTotals.h"
#include "stats/TPacequillStats.h"

namespace StatsCommands {

namespace {

// The week starts on Monday at every opening; the choice is not remembered.
constexpr int OpeningWeekStart = 0;

} // namespace

void AddTo(TPacequillDlgClient &client) {
    const std::pair<int, int> commands[] = {{Cmd::StatsWeekly, TPacequillStats::WeeklyTab},
                                            {Cmd::StatsMonthly, TPacequillStats::MonthlyTab},
                                            {Cmd::StatsYearly, TPacequillStats::YearlyTab},
                                            {Cmd::StatsFromThru, TPacequillStats::FromThruTab}};
    for (const auto &[command, tab] : commands)
        client.AddResponse(command, [&client, tab = tab] { OpenStats(&client, client.List(), tab); });
}

void OpenStats(QWidget *parent, const pq::LogList &list, int requestedTab) {
    TPacequillStats dialog(parent);
    dialog.SetRequestedTab(requestedTab);
    dialog.SetSnapshot(pq::BuildSnapshot(list));
    dialog.SetWeekStart(OpeningWeekStart);
    dialog.exec();
}

} // namespace StatsCommands
