#include <QtTest>

#include "calc/EntryForm.h"

using namespace pq;

// Rows that reach a log without the entry editor are held to the editor's forms; what the editor writes passes.
class tst_EntryForm : public QObject {
    Q_OBJECT

private slots:
    void fields_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("reason"); // the start of the reason; empty when accepted

        const QByteArray improper = "not a date of the form yyyy/mm/dd";
        const QByteArray invalid = "not a day of the calendar";
        QTest::newRow("date") << int(DateColumn) << QByteArray("2024/02/29") << QByteArray();
        QTest::newRow("first day") << int(DateColumn) << QByteArray("1980/01/01") << QByteArray();
        QTest::newRow("No Date") << int(DateColumn) << QByteArray("No Date") << QByteArray();
        QTest::newRow("dashes") << int(DateColumn) << QByteArray("2024-03-01") << improper;
        QTest::newRow("one-digit month") << int(DateColumn) << QByteArray("2024/3/05") << improper;
        QTest::newRow("no date in lower case") << int(DateColumn) << QByteArray("no date") << improper;
        QTest::newRow("February 30") << int(DateColumn) << QByteArray("2024/02/30") << invalid;
        QTest::newRow("not a leap year") << int(DateColumn) << QByteArray("2023/02/29") << invalid;
        QTest::newRow("before 1980") << int(DateColumn) << QByteArray("1979/12/31") << invalid;
        QTest::newRow("empty date") << int(DateColumn) << QByteArray() << QByteArray("empty");

        const QByteArray number = "the distance before the blank is not a number";
        const QByteArray unit = "the unit after the number is not one of";
        QTest::newRow("miles") << int(DistanceColumn) << QByteArray("13.1 Miles") << QByteArray();
        QTest::newRow("kilometers") << int(DistanceColumn) << QByteArray("10 Kilometers") << QByteArray();
        QTest::newRow("marathons") << int(DistanceColumn) << QByteArray("1 Marathons") << QByteArray();
        QTest::newRow("leading point") << int(DistanceColumn) << QByteArray(".5 Miles") << QByteArray();
        QTest::newRow("trailing point") << int(DistanceColumn) << QByteArray("5. Miles") << QByteArray();
        QTest::newRow("bare number") << int(DistanceColumn) << QByteArray("5") << QByteArray("a number, a blank");
        QTest::newRow("misspelt unit") << int(DistanceColumn) << QByteArray("5 Mlies") << unit;
        QTest::newRow("unit in lower case") << int(DistanceColumn) << QByteArray("5 miles") << unit;
        QTest::newRow("editor label") << int(DistanceColumn) << QByteArray("5 Mile(s)") << unit;
        QTest::newRow("two blanks") << int(DistanceColumn) << QByteArray("5  Miles") << unit;
        QTest::newRow("comma") << int(DistanceColumn) << QByteArray("5,5 Miles") << number;
        QTest::newRow("two points") << int(DistanceColumn) << QByteArray("5.5.1 Miles") << number;
        QTest::newRow("negative") << int(DistanceColumn) << QByteArray("-5 Miles") << number;
        QTest::newRow("point alone") << int(DistanceColumn) << QByteArray(". Miles") << number;
        QTest::newRow("leading blank") << int(DistanceColumn) << QByteArray(" 5 Miles") << number;

        const QByteArray time = "not a time of the form hh:mm:ss";
        QTest::newRow("time") << int(TimeColumn) << QByteArray("00:45:30") << QByteArray();
        QTest::newRow("calculated seconds") << int(TimeColumn) << QByteArray("03:29:36.00") << QByteArray();
        QTest::newRow("half second") << int(TimeColumn) << QByteArray("00:00:00.5") << QByteArray();
        QTest::newRow("three-digit hours") << int(TimeColumn) << QByteArray("100:05:00") << QByteArray();
        QTest::newRow("one-digit hours") << int(TimeColumn) << QByteArray("1:30:00") << time;
        QTest::newRow("minutes and seconds") << int(TimeColumn) << QByteArray("45:30") << time;
        QTest::newRow("four parts") << int(TimeColumn) << QByteArray("00:45:30:00") << time;
        QTest::newRow("point without decimals") << int(TimeColumn) << QByteArray("00:45:30.") << time;
        QTest::newRow("letters") << int(TimeColumn) << QByteArray("00:4x:30") << time;
        QTest::newRow("words") << int(TimeColumn) << QByteArray("45 minutes") << time;
    }
    void fields() {
        QFETCH(int, column);
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, reason);
        LogEntry entry{"1998/03/02", "3.1 Miles", "00:25:00", "None"};
        const auto field = static_cast<LogColumn>(column);
        (field == DateColumn ? entry.Date : field == DistanceColumn ? entry.Distance : entry.Time) = text.toStdString();
        const std::optional<EntryFault> fault = CheckEntryForm(entry);
        if (reason.isEmpty()) {
            QVERIFY2(!fault, fault ? fault->Reason.c_str() : "");
            return;
        }
        QVERIFY(fault);
        QCOMPARE(fault->Column, field);
        QVERIFY2(QByteArray::fromStdString(fault->Reason).startsWith(reason), fault->Reason.c_str());
    }

    void firstFaultInColumnOrder() {
        const std::optional<EntryFault> fault = CheckEntryForm({"1998/03/02", "5 miles", "5 min", "x"});
        QVERIFY(fault);
        QCOMPARE(fault->Column, DistanceColumn);
    }

    void notesTakeAnyText() { QVERIFY(!CheckEntryForm({"No Date", "0 Miles", "00:00:00", "\t\xA0\xA0 anything"})); }
};

QTEST_APPLESS_MAIN(tst_EntryForm)
#include "tst_EntryForm.moc"
