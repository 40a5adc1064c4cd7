#include <QtTest>

#include <QFile>
#include <QTableWidget>
#include <QTemporaryDir>

#include "calc/DateRules.h"
#include "frame/CommandIds.h"
#include "insight/GoalsPage.h"
#include "insight/InsightWindows.h"
#include "insight/RecordsWindow.h"
#include "insight/ShoesPage.h"
#include "log/TPacequillDlgClient.h"
#include "shell/DocumentModules.h"
#include "support/ScriptedPrompts.h"

namespace {

const QByteArray Log = "Pacequill version 3.1 log file format\r\n"
                       "\xA1"
                       "2024/01/10\t10 Miles\t01:20:00\t@Pegasus\r\n"
                       "\xA1"
                       "2024/01/20\t20 Kilometers\t01:40:00\t@kinvara\r\n"
                       "\xA1"
                       "2024/01/31\t5 Miles\t00:40:00\t#trail @Pegasus\r\n";

const QByteArray Profile = "goal month 50 mi\n"
                           "goal year 500 km tag trail\n"
                           "shoe @Pegasus limit 10 mi start 2 mi\n"
                           "shoe @Kinvara retired 2024/01/25\n"
                           "shoe @Ghost start 100 km\n"
                           "shoe @Spare default default\n";

void Write(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

QStringList Rows(const QTableWidget *table) {
    QStringList rows;
    for (int row = 0; row < table->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < table->columnCount(); ++column)
            cells << (table->item(row, column) ? table->item(row, column)->text() : QString());
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

} // namespace

// The profile read with the log: its goals and shoes in the Records window, its bad line reported once, and the
// window kept current when the profile changes on disk.
class TestProfileWindows : public QObject {
    Q_OBJECT

private slots:
    void init() {
        pq::SetDateClock([] { return pq::CivilDate{2024, 2, 1}; });
    }
    void cleanup() { pq::SetDateClock({}); }

    void goalsAndShoesFollowTheProfile() {
        QTemporaryDir folder;
        const QString log = folder.filePath("runs.pquil");
        Write(log, Log);
        Write(log + ".profile", Profile);
        ScriptedPrompts prompts;
        TPacequillDlgClient client;
        AttachFeatureModules(client);
        QVERIFY(client.LoadLog(log));
        QCOMPARE(prompts.Messages.size(), 1);
        // The reason is the reader's; the message names the file and the line.
        QVERIFY2(prompts.Messages[0].Text.startsWith("Some lines of runs.pquil.profile could not be read and are left "
                                                     "out; the rest of the profile counts.\n\nline 6: "),
                 qPrintable(prompts.Messages[0].Text));

        QVERIFY(client.Handle(Cmd::StatsRecords));
        RecordsWindow *records = client.findChild<InsightWindows *>()->Records();
        QCOMPARE(
            Rows(records->Goals()->GoalTable()),
            (QStringList{"2024/02||50.00 Miles|0.00 Miles|0%|0.00 Miles|12.07 Miles",
                         "2024 (#trail)||500.00 Kilometers|8.05 Kilometers|2%|92.03 Kilometers|10.28 Kilometers"}));
        QCOMPARE(Rows(records->Shoes()->ShoeTable()),
                 (QStringList{"@Ghost|0|62.14|||500.00|437.86|",
                              "@Pegasus|2|17.00|2024/01/10|2024/01/31|10.00|-7.00|past the limit",
                              "@kinvara|1|12.43|2024/01/20|2024/01/20|500.00|487.57|retired"}));

        Write(log + ".profile", "goal week 10 mi\n");
        client.CheckDisk();
        QCOMPARE(Rows(records->Goals()->GoalTable()),
                 QStringList{"Week of 2024/01/29||10.00 Miles|5.00 Miles|50%|8.75 Miles|8.75 Miles"});
        QCOMPARE(prompts.Messages.size(), 1);
    }
};

QTEST_MAIN(TestProfileWindows)
#include "tst_ProfileWindows.moc"
