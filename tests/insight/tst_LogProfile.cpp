#include <QTest>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <string>

#include "insight/LogProfile.h"
#include "insight/ReportFormats.h"
#include "log/CodePage1252.h"
#include "log/ProfileFile.h"
#include "support/FileBytes.h"

using namespace pq;

namespace {

std::string DistanceText(const ProfileDistance &distance) {
    return FormatHundredths(distance.Value) + (distance.Unit == DistanceUnit::Miles ? " mi" : " km");
}

// One line per setting as read and per problem: shoes as the program writes their lines, goals and the week start
// in a short form, problems with their line numbers.
QStringList Describe(const LogProfile &profile) {
    QStringList lines;
    for (const ShoeSettings &shoe : profile.Shoes) {
        lines << QString::number(shoe.Line) + ": " + QString::fromStdString(ShoeLine(shoe));
    }
    for (const Goal &goal : profile.Goals) {
        const std::array<const char *, 4> periods = {"year", "month", "week", "stretch"};
        std::string text = periods[static_cast<std::size_t>(goal.Period)];
        text += ' ' + DistanceText(goal.Target);
        if (goal.Period == GoalPeriod::Stretch) {
            text += ' ' + DayText(goal.FirstDay) + '-' + DayText(goal.LastDay);
        }
        if (!goal.Tag.empty()) {
            text += " #" + Decode1252ToUtf8(goal.Tag);
        }
        lines << QString::number(goal.Line) + ": goal " + QString::fromStdString(text);
    }
    if (profile.WeekStart) {
        lines << "week-start " + QString::number(*profile.WeekStart);
    }
    for (const ProfileProblem &problem : profile.Problems) {
        lines << QString::fromStdString(ProblemText("p", problem));
    }
    return lines;
}

} // namespace

class TestLogProfile : public QObject {
    Q_OBJECT

private:
    QTemporaryDir Temp;

private slots:
    void read_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("read");

        QTest::newRow("empty") << QByteArray() << QStringList();
        QTest::newRow("comments, blanks and a byte-order mark")
            << QByteArray("\xEF\xBB\xBFshoe @a # used\n# shoe @b\n\n  \t\nshoe @c#d\r\n")
            << QStringList{"1: shoe @a",
                           "p: line 5: shoe: 'c#d' is no name (letters, digits, - and _ that a log can hold)"};
        QTest::newRow("shoe: every option in any order, words in any case")
            << QByteArray("SHOE @Pegasus default retired 2025/01/03 start 50.5 kilometers Limit 400 miles")
            << QStringList{"1: shoe @Pegasus limit 400 mi start 50.5 km retired 2025/01/03 default"};
        QTest::newRow("shoe name of the code page") << QByteArray("shoe @R\xC3\xA9"
                                                                  "cup limit 300 km")
                                                    << QStringList{"1: shoe @R\xC3\xA9"
                                                                   "cup limit 300 km"};
        QTest::newRow("goals of every kind, with tags")
            << QByteArray("goal year 2000 km\ngoal month 100 mi tag tempo\ngoal week 30 MI\n"
                          "goal 500 km from 2025/01/06 thru 2025/04/27 tag race\ngoal 1 mi from 2024/02/29 thru "
                          "2024/02/29")
            << QStringList{"1: goal year 2000.00 km", "2: goal month 100.00 mi #tempo", "3: goal week 30.00 mi",
                           "4: goal stretch 500.00 km 2025/01/06-2025/04/27 #race",
                           "5: goal stretch 1.00 mi 2024/02/29-2024/02/29"};
        QTest::newRow("week start anywhere, by a beginning of the name")
            << QByteArray("goal week 10 mi\nweek-start Sun") << QStringList{"1: goal week 10.00 mi", "week-start 6"};
        QTest::newRow("bad lines are reported, the rest counts")
            << QByteArray("shoes @a\nshoe\nshoe pegasus\nshoe @a.b\nshoe @\xE2\x9C\x93\nshoe @a limit\n"
                          "shoe @a limit 10\nshoe @a limit -1 mi\nshoe @a limit ten mi\nshoe @a start 5 furlongs\n"
                          "shoe @a retired 2025/02/29\nshoe @a limit 1 mi limit 2 mi\nshoe @a default default\n"
                          "shoe @ok default\nshoe @OK\nshoe @other default\nshoe @a frob\n")
            << QStringList{"14: shoe @ok default",
                           "p: line 1: unknown setting 'shoes' (shoe, goal or week-start)",
                           "p: line 2: shoe: a name is missing",
                           "p: line 3: shoe: 'pegasus' does not start with @",
                           "p: line 4: shoe: 'a.b' is no name (letters, digits, - and _ that a log can hold)",
                           "p: line 5: shoe: '\xE2\x9C\x93' is no name (letters, digits, - and _ that a log can hold)",
                           "p: line 6: limit: a distance N mi or N km is missing",
                           "p: line 7: limit: the unit after 10 is missing",
                           "p: line 8: limit: '-1' is no distance of 0 or more",
                           "p: line 9: limit: 'ten' is no distance of 0 or more",
                           "p: line 10: start: 'furlongs' is no unit (mi, km, miles or kilometers)",
                           "p: line 11: retired: '2025/02/29' is no date yyyy/mm/dd from 1980/01/01 to 2079/12/31",
                           "p: line 12: limit is given twice",
                           "p: line 13: default is given twice",
                           "p: line 15: shoe: @OK is set on line 14 already",
                           "p: line 16: shoe: a second default shoe (the default is @ok on line 14)",
                           "p: line 17: shoe: unknown option 'frob' (limit, start, retired or default)"};
        QTest::newRow("bad goals and week starts")
            << QByteArray("goal\ngoal year 0 km\ngoal daily 5 km\ngoal 5 km to 2025/01/01\n"
                          "goal 5 km from 2025/02/01 thru 2025/01/31\ngoal 5 km from 2025/01/01 until 2025/01/31\n"
                          "goal week 5 km tag\ngoal week 5 km tag a b\ngoal week 5 km label x\n"
                          "week-start someday\nweek-start t\nweek-start monday\nweek-start friday\n"
                          "week-start monday x\n")
            << QStringList{"week-start 0",
                           "p: line 1: goal: year, month, week or a distance is missing",
                           "p: line 2: goal: '0' is no distance above 0",
                           "p: line 3: goal: 'daily' is no distance above 0",
                           "p: line 4: goal: 'to' where from is expected",
                           "p: line 5: goal: thru 2025/01/31 is before from 2025/02/01",
                           "p: line 6: goal: 'until' where thru is expected",
                           "p: line 7: tag: a name is missing",
                           "p: line 8: goal: 'b' after the tag",
                           "p: line 9: goal: unknown option 'label' (tag)",
                           "p: line 10: week-start: 'someday' is no day (monday to sunday)",
                           "p: line 11: week-start: 't' is no day (monday to sunday)",
                           "p: line 13: week-start is set on line 12 already",
                           "p: line 14: week-start is set on line 12 already"};
    }
    void read() {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, read);
        QCOMPARE(Describe(ParseProfile(text.toStdString())), read);
    }

    // A shoe's settings written into a profile that holds the text before; every line not changed stays as it was.
    void save_data() {
        QTest::addColumn<QByteArray>("before"); // "-" for no profile
        QTest::addColumn<QString>("shoe");
        QTest::addColumn<QByteArray>("after");

        QTest::newRow("no profile yet") << QByteArray("-") << "shoe @Pegasus limit 400 km default"
                                        << QByteArray("shoe @Pegasus limit 400 km default\n");
        QTest::newRow("the shoe's line replaced, its comment and every other line kept")
            << QByteArray("# my shoes\r\nshoe @pegasus limit 300 mi   # bought used\r\n\r\ngoal year 1000 mi\r\n"
                          "shoe @pegasus start 1 mi\r\nbad line")
            << "shoe @Pegasus limit 400 km retired 2025/07/01"
            << QByteArray("# my shoes\r\nshoe @Pegasus limit 400 km retired 2025/07/01   # bought used\r\n\r\n"
                          "goal year 1000 mi\r\nshoe @pegasus start 1 mi\r\nbad line");
        QTest::newRow("a new shoe added after a last line without its end")
            << QByteArray("goal year 1000 mi") << "shoe @New start 12.5 mi"
            << QByteArray("goal year 1000 mi\nshoe @New start 12.5 mi\n");
        QTest::newRow("the byte-order mark before the shoe's line kept")
            << QByteArray("\xEF\xBB\xBFshoe @a\n") << "shoe @a limit 1 mi"
            << QByteArray("\xEF\xBB\xBFshoe @a limit 1 mi\n");
        QTest::newRow("made the default: taken off the other shoe's line")
            << QByteArray("shoe @Old\tdefault limit 1 mi # old\nshoe @New limit 2 mi\n") << "shoe @New default"
            << QByteArray("shoe @Old limit 1 mi # old\nshoe @New default\n");
    }
    void save() {
        QFETCH(QByteArray, before);
        QFETCH(QString, shoe);
        QFETCH(QByteArray, after);
        const QString log = Temp.filePath(QTest::currentDataTag());
        const QString profile = QString::fromStdString(ProfilePath(log.toStdString()));
        if (before != "-") {
            QFile file(profile);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(before);
        }
        const LogProfile parsed = ParseProfile(shoe.toStdString());
        QCOMPARE(parsed.Shoes.size(), std::size_t{1});
        std::string error;
        QVERIFY(SaveShoeSettings(log.toStdString(), parsed.Shoes.front(), error));
        QCOMPARE(FileBytes(profile), after);
        QCOMPARE(QDir(Temp.path()).entryList(QDir::Files | QDir::Hidden).filter(QTest::currentDataTag()).size(), 1);
    }

    void initTestCase() { QVERIFY(Temp.isValid()); }

    void unreadableProfileIsReportedAndKept() {
        const std::string log = Temp.filePath("folder.pquil").toStdString();
        QVERIFY(QDir().mkpath(QString::fromStdString(ProfilePath(log))));
        const LogProfile profile = ReadLogProfile(log);
        QVERIFY(profile.Exists);
        QVERIFY(!profile.Error.empty());
        std::string error;
        QVERIFY(!SaveShoeSettings(log, ParseProfile("shoe @a").Shoes.front(), error));
        QVERIFY(error.find(ProfilePath(log)) != std::string::npos);

        // Settings the reader could not read back are refused before anything is written.
        const std::string fresh = Temp.filePath("fresh.pquil").toStdString();
        ShoeSettings unreadable = ParseProfile("shoe @a").Shoes.front();
        unreadable.Limit = ProfileDistance{std::nan(""), DistanceUnit::Miles};
        QVERIFY(!SaveShoeSettings(fresh, unreadable, error));
        QVERIFY(!QFile::exists(QString::fromStdString(ProfilePath(fresh))));
    }
};

QTEST_APPLESS_MAIN(TestLogProfile)
#include "tst_LogProfile.moc"
