#include <QTest>

#include "calc/DateRules.h"

using namespace pq;

Q_DECLARE_METATYPE(pq::DateCheck)

class TestDateRules : public QObject {
    Q_OBJECT

private slots:
    void cleanup();
    void validate_data();
    void validate();
    void dateFieldText_data();
    void dateFieldText();
    void todayText_data();
    void todayText();
    void todayUsesInjectedClock();
    void daysInMonth_data();
    void daysInMonth();
};

void TestDateRules::cleanup() {
    SetDateClock({});
}

void TestDateRules::validate_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<DateCheck>("result");
    QTest::addColumn<QString>("date");
    QTest::newRow("empty") << "" << DateCheck::Accepted << "No Date";
    QTest::newRow("first day") << "1980/01/01" << DateCheck::Accepted << "1980/01/01";
    QTest::newRow("last day") << "2079/12/31" << DateCheck::Accepted << "2079/12/31";
    QTest::newRow("before range") << "1979/12/31" << DateCheck::InvalidDate << "";
    QTest::newRow("after range") << "2080/01/01" << DateCheck::InvalidDate << "";
    QTest::newRow("leap 2000") << "2000/02/29" << DateCheck::Accepted << "2000/02/29";
    QTest::newRow("leap 2024") << "2024/02/29" << DateCheck::Accepted << "2024/02/29";
    QTest::newRow("not leap 2023") << "2023/02/29" << DateCheck::InvalidDate << "";
    QTest::newRow("february 28") << "2023/02/28" << DateCheck::Accepted << "2023/02/28";
    QTest::newRow("april 31") << "2024/04/31" << DateCheck::InvalidDate << "";
    QTest::newRow("month 13") << "2024/13/01" << DateCheck::InvalidDate << "";
    QTest::newRow("month 0") << "2024/00/10" << DateCheck::InvalidDate << "";
    QTest::newRow("day 0") << "2024/01/00" << DateCheck::InvalidDate << "";
    QTest::newRow("zeros") << "0000/00/00" << DateCheck::InvalidDate << "";
    QTest::newRow("nine characters") << "2024/2/29" << DateCheck::ImproperDateFormat << "";
    QTest::newRow("dashes") << "2024-02-29" << DateCheck::ImproperDateFormat << "";
    QTest::newRow("two-digit year") << "24/02/29" << DateCheck::ImproperDateFormat << "";
    QTest::newRow("leading blank") << " 2024/02/29" << DateCheck::ImproperDateFormat << "";
    QTest::newRow("trailing blank") << "2024/02/29 " << DateCheck::ImproperDateFormat << "";
    QTest::newRow("blanks") << "          " << DateCheck::ImproperDateFormat << "";
    QTest::newRow("No Date typed") << "No Date" << DateCheck::ImproperDateFormat << "";
    QTest::newRow("sign in a group") << "2024/+2/29" << DateCheck::ImproperDateFormat << "";
}

void TestDateRules::validate() {
    QFETCH(QString, field);
    QFETCH(DateCheck, result);
    QFETCH(QString, date);
    const DateValidation validation = ValidateDateText(field.toStdString());
    QCOMPARE(validation.Result, result);
    QCOMPARE(QString::fromStdString(validation.DateText), date);
}

void TestDateRules::dateFieldText_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("field");
    QTest::newRow("no date") << "No Date"
                             << "";
    QTest::newRow("date") << "1998/03/02"
                          << "1998/03/02";
    QTest::newRow("out of range kept") << "1975/01/01"
                                       << "1975/01/01";
    QTest::newRow("old form kept") << "98/03/02"
                                   << "98/03/02";
}

void TestDateRules::dateFieldText() {
    QFETCH(QString, entry);
    QFETCH(QString, field);
    QCOMPARE(QString::fromStdString(DateFieldText(entry.toStdString())), field);
}

void TestDateRules::todayText_data() {
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::addColumn<QString>("text");
    QTest::newRow("2026") << 2026 << 3 << 5 << "2026/03/05";
    QTest::newRow("1999") << 1999 << 12 << 31 << "1999/12/31";
    QTest::newRow("1980") << 1980 << 1 << 1 << "1980/01/01";
    QTest::newRow("2000") << 2000 << 2 << 29 << "2000/02/29";
    QTest::newRow("2079") << 2079 << 12 << 31 << "2079/12/31";
    QTest::newRow("2080 wraps to 1980") << 2080 << 6 << 15 << "1980/06/15";
}

void TestDateRules::todayText() {
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, day);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(TodayDateText(CivilDate{year, month, day})), text);
}

void TestDateRules::todayUsesInjectedClock() {
    SetDateClock([] { return CivilDate{2026, 3, 5}; });
    QCOMPARE(TodayDateText(), std::string("2026/03/05"));
    SetDateClock({});
    const CivilDate now = SystemLocalDate();
    QCOMPARE(TodayDateText(), TodayDateText(now));
}

void TestDateRules::daysInMonth_data() {
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("days");
    QTest::newRow("january") << 2023 << 1 << 31;
    QTest::newRow("february common") << 2023 << 2 << 28;
    QTest::newRow("february leap") << 2024 << 2 << 29;
    QTest::newRow("february 2000") << 2000 << 2 << 29;
    QTest::newRow("april") << 2023 << 4 << 30;
    QTest::newRow("november") << 2023 << 11 << 30;
    QTest::newRow("december") << 2023 << 12 << 31;
    QTest::newRow("month 0") << 2023 << 0 << 0;
    QTest::newRow("month 13") << 2023 << 13 << 0;
}

void TestDateRules::daysInMonth() {
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, days);
    QCOMPARE(DaysInMonth(year, month), days);
}

QTEST_APPLESS_MAIN(TestDateRules)
#include "tst_DateRules.moc"
