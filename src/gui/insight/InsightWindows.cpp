#include "insight/InsightWindows.h"

#include "calc/DateRules.h"
#include "frame/CommandIds.h"
#include "insight/ChartsWindow.h"
#include "insight/InsightSource.h"
#include "insight/RecordsWindow.h"
#include "log/LogEntry.h"
#include "log/LogList.h"
#include "log/TPacequillDlgClient.h"

namespace {

void ShowInFront(QWidget *window) {
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

InsightWindows::InsightWindows(TPacequillDlgClient &client) : QObject(&client), Client(client) {
    const auto hasDatedRow = [this] { return HasDatedRow(); };
    Client.AddResponse(
        Cmd::StatsCharts, [this] { OpenCharts(); }, hasDatedRow);
    Client.AddResponse(
        Cmd::StatsRecords, [this] { OpenRecords(); }, hasDatedRow);
}

// The windows go before the counted runs they show.
InsightWindows::~InsightWindows() {
    delete ChartsView;
    delete RecordsView;
}

ChartsWindow *InsightWindows::Charts() const {
    return ChartsView;
}

RecordsWindow *InsightWindows::Records() const {
    return RecordsView;
}

InsightSource &InsightWindows::Source() {
    if (!Counted)
        Counted = std::make_unique<InsightSource>(Client.List(), Client.Rows());
    return *Counted;
}

bool InsightWindows::HasDatedRow() const {
    const pq::LogList &list = Client.List();
    pq::CivilDate date;
    for (int row = 0; row < list.RowCount(); ++row) {
        if (pq::ReadDateText(list.Text(row, pq::DateColumn), date))
            return true;
    }
    return false;
}

void InsightWindows::OpenCharts() {
    if (!ChartsView) {
        ChartsView = new ChartsWindow(Source(), &Client);
        ChartsView->setAttribute(Qt::WA_DeleteOnClose);
    }
    ShowInFront(ChartsView);
}

void InsightWindows::OpenRecords() {
    if (!RecordsView) {
        RecordsView = new RecordsWindow(
            Source(), [this](int row) { Client.ShowAndSelect(row); }, &Client);
        RecordsView->setAttribute(Qt::WA_DeleteOnClose);
    }
    ShowInFront(RecordsView);
}
