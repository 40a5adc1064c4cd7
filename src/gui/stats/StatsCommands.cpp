#include "stats/StatsCommands.h"

#include "frame/CommandIds.h"
#include "log/TPacequillDlgClient.h"
#include "stats/SnapshotKeeper.h"
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
    auto *keeper = new SnapshotKeeper(client.Rows(), &client);
    QObject::connect(&client, &TPacequillDlgClient::Closing, keeper, &SnapshotKeeper::Stop);
    for (const auto &[command, tab] : commands)
        client.AddResponse(command, [&client, keeper, tab = tab] { OpenStats(&client, *keeper, tab); });
}

void OpenStats(QWidget *parent, SnapshotKeeper &keeper, int requestedTab) {
    TPacequillStats dialog(parent);
    dialog.SetRequestedTab(requestedTab);
    dialog.SetSnapshot([&keeper]() -> const pq::LiveSnapshot & { return keeper.Current(); });
    dialog.SetWeekStart(OpeningWeekStart);
    dialog.exec();
}

} // namespace StatsCommands
