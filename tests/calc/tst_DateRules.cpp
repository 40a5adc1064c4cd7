#include <QTest>

#include "calc/DateRules.h"

using namespace pq;

Q_DECLARE_METATYPE(pq::DateCheck)

class TestDateRules : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { SetDateClock({}); }
    void validate_data();
    void validate();
    void dateFieldText();
    void todayText();
};

void TestDateRules::validate_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<DateCheck>("result");
    const auto ok = DateCheck::Accepted;
    const auto invalid = DateCheck::InvalidDate;
    const auto improper = DateCheck::ImproperDateFormat;
    const std::pair<const char *, DateCheck> cases[] = {
        {"1980/01/01", ok},        {"2079/12/31", ok},        {"1979/12/31", invalid},  {"2080/01/01", invalid},
        {"2000/02/29", ok},        {"2024/02/29", ok},        {"2023/02/29", invalid},  {"2023/02/28", ok},
        {"2024/04/31", invalid},   {"2024/13/01", invalid},   {"2024/00/10", invalid},  {"2024/01/00", invalid},
        {"0000/00/00", invalid},   {"2024/2/29", improper},   {"2024-02-29", improper}, {"24/02/29", improper},
        {" 2024/02/29", improper}, {"2024/02/29 ", improper}, {"          ", improper}, {"No Date", improper},
        {"2024/+2/29", improper}};
    for (const auto &[field, result] : cases) {
        QTest::newRow(field) << QString::fromLatin1(field) << result;
    }
}

void TestDateRules::validate() {
    QFETCH(QString, field);
    QFETCH(DateCheck, result);
    const DateValidation validation = ValidateDateText(field.toStdString());
    QCOMPARE(validation.Result, result);
    // An accepted date is taken over exactly as typed.
    QCOMPARE(QString::fromStdString(validation.DateText), result == DateCheck::Accepted ? field : QString());
    // The rows that count in the records and charts have exactly the dates accepted here.
    CivilDate date;
    QCOMPARE(ReadDateText(field.toStdString(), date), result == DateCheck::Accepted);
}

void TestDateRules::dateFieldText() {
    const DateValidation empty = ValidateDateText("");
    QCOMPARE(empty.Result, DateCheck::Accepted);
    QCOMPARE(empty.DateText, std::string("No Date"));
    QCOMPARE(DateFieldText("No Date"), std::string());
    QCOMPARE(DateFieldText("1975/01/01"), std::string("1975/01/01"));
}

void TestDateRules::todayText() {
    QCOMPARE(TodayDateText({2026, 3, 5}), std::string("2026/03/05"));
    QCOMPARE(TodayDateText({1999, 12, 31}), std::string("1999/12/31"));
    QCOMPARE(TodayDateText({2079, 1, 1}), std::string("2079/01/01"));
    QCOMPARE(TodayDateText({2080, 6, 15}), std::string("1980/06/15"));
    SetDateClock([] { return CivilDate{2026, 3, 5}; });
    QCOMPARE(TodayDateText(), std::string("2026/03/05"));
    SetDateClock({});
    QCOMPARE(TodayDateText(), TodayDateText(SystemLocalDate()));
}

QTEST_APPLESS_MAIN(TestDateRules)
#include "tst_DateRules.moc"
