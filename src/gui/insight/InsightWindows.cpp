#include "insight/InsightWindows.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include "calc/DateRules.h"
#include "frame/CommandIds.h"
#include "insight/ChartsWindow.h"
#include "insight/InsightSource.h"
#include "insight/RecordsWindow.h"
#include "insight/WindowPlacement.h"
#include "log/LogEntry.h"
#include "log/LogList.h"
#include "log/TPacequillDlgClient.h"

namespace {

// Qt tells screen readers that a plain widget is a filler, even when it is a window of its own; these are
// windows.
QAccessibleInterface *WindowRole(const QString &className, QObject *object) {
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget || (className != QLatin1String(ChartsWindow::staticMetaObject.className()) &&
                    className != QLatin1String(RecordsWindow::staticMetaObject.className())))
        return nullptr;
    return new QAccessibleWidget(widget, QAccessible::Window);
}

// A new window opens over the main window; one already open stays where the user put it.
void PlaceNew(QWidget *window, const QWidget *client) {
    WindowPlacement::PlaceOver(window, client->window());
}

void ShowInFront(QWidget *window) {
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

InsightWindows::InsightWindows(TPacequillDlgClient &client) : QObject(&client), Client(client) {
    [[maybe_unused]] static const bool roleInstalled = [] {
        QAccessible::installFactory(WindowRole);
        return true;
    }();
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
    if (!Counted) {
        Counted = std::make_unique<InsightSource>(Client.List(), Client.Rows());
        Counted->FollowProfile(Client.Profile());
    }
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
        PlaceNew(ChartsView, &Client);
    }
    ShowInFront(ChartsView);
}

void InsightWindows::OpenRecords() {
    if (!RecordsView) {
        RecordsView = new RecordsWindow(
            Source(), [this](int row) { Client.ShowAndSelect(row); }, &Client);
        RecordsView->setAttribute(Qt::WA_DeleteOnClose);
        PlaceNew(RecordsView, &Client);
    }
    ShowInFront(RecordsView);
}
