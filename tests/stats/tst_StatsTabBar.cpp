#include <QTabBar>
#include <QtTest>

#include "frame/HelpClient.h"
#include "stats/TPacequillStats.h"

namespace {

// Help requests are not part of this test; the dialog only needs somewhere to send them.
class NoHelp : public HelpClient {
public:
    bool Request(QWidget *, const QString &, Command, quint32) override { return true; }
};

} // namespace

class TestStatsTabBar : public QObject {
    Q_OBJECT

private slots:
    // The tabs are the only way to the other lists with the mouse: the bar must be high enough to show them, and
    // the page below must start where the bar ends.
    void tabsAreShown() {
        NoHelp help;
        TPacequillStats dialog(nullptr, &help);
        const QTabBar *tabs = dialog.findChild<QTabBar *>(QString::number(TPacequillStats::TabControlId));
        QVERIFY(tabs);
        QCOMPARE(tabs->count(), 4);
        QVERIFY(tabs->height() > 0);
        QCOMPARE(tabs->height(), tabs->sizeHint().height());
        QVERIFY(tabs->tabRect(0).height() <= tabs->height());
    }
};

QTEST_MAIN(TestStatsTabBar)
#include "tst_StatsTabBar.moc"
