#include <QTest>

#include <limits>

#include "calc/RunArithmetic.h"

using namespace pq;

Q_DECLARE_METATYPE(pq::CalcMode)
Q_DECLARE_METATYPE(pq::DistanceUnit)
Q_DECLARE_METATYPE(pq::PaceUnit)

class TestRunArithmetic : public QObject {
    Q_OBJECT

private slots:
    void parseNumber_data();
    void parseNumber();
    void formatHundredths_data();
    void formatHundredths();
    void calculate_data();
    void calculate();
    void fieldsAreCutAt31Characters();
    void messages();
};

void TestRunArithmetic::parseNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    const std::pair<const char *, double> cases[] = {{"", 0},
                                                     {"7:30", 7},
                                                     {"1,5", 1},
                                                     {".5", 0.5},
                                                     {"5.", 5},
                                                     {"1.2.3", 1.2},
                                                     {" \t+3.25x", 3.25},
                                                     {"-60", -60},
                                                     {"1.5e2", 150},
                                                     {"25E-1", 2.5},
                                                     {"3e", 3},
                                                     {"3e+x", 3},
                                                     {"-", 0},
                                                     {".", 0},
                                                     {"0x1A", 0},
                                                     {"inf", 0},
                                                     {"nan", 0},
                                                     {"abc", 0},
                                                     {"1e-400", 0},
                                                     {"0.000e999", 0},
                                                     {"-1e999", -std::numeric_limits<double>::infinity()}};
    for (const auto &[text, value] : cases) {
        QTest::newRow(text) << QString::fromLatin1(text) << value;
    }
}

void TestRunArithmetic::parseNumber() {
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(ParseNumber(text.toStdString()), value);
}

void TestRunArithmetic::formatHundredths_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    // 0.005, 0.015 and 0.025 give a product of exactly .5 in double although the stored value is not a half;
    // 1.005 and 2.675 are stored just below a half; 0.125 and 0.375 are exact halves.
    const std::pair<double, const char *> cases[] = {{5, "5.00"},
                                                     {7.5, "7.50"},
                                                     {0.05, "0.05"},
                                                     {12.07008, "12.07"},
                                                     {0, "0.00"},
                                                     {0.125, "0.12"},
                                                     {0.375, "0.38"},
                                                     {1.005, "1.00"},
                                                     {0.005, "0.01"},
                                                     {0.015, "0.01"},
                                                     {0.025, "0.03"},
                                                     {2.675, "2.67"},
                                                     {59.996, "60.00"},
                                                     {-3, "-3.00"},
                                                     {-0.05, "-0.05"},
                                                     {-0.001, "0.00"},
                                                     {2147483647.0, "2147483647.00"},
                                                     {2147483648.0, ""},
                                                     {2147483647.999, ""},
                                                     {std::numeric_limits<double>::infinity(), ""},
                                                     {std::numeric_limits<double>::quiet_NaN(), ""}};
    for (const auto &[value, text] : cases) {
        QTest::newRow(qPrintable(QString::number(value, 'g', 17))) << value << QString::fromLatin1(text);
    }
}

void TestRunArithmetic::formatHundredths() {
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(FormatHundredths(value)), text);
}

// Inputs: distance|hours|minutes|seconds|pace minutes|pace seconds. Results: the same six texts, then MPH|KPH,
// or "missing".
void TestRunArithmetic::calculate_data() {
    QTest::addColumn<CalcMode>("mode");
    QTest::addColumn<DistanceUnit>("unit");
    QTest::addColumn<PaceUnit>("pace");
    QTest::addColumn<QString>("inputs");
    QTest::addColumn<QString>("results");
    const auto D = CalcMode::Distance;
    const auto T = CalcMode::Time;
    const auto P = CalcMode::Pace;
    const auto mi = DistanceUnit::Miles;
    const auto km = DistanceUnit::Kilometers;
    const auto ma = DistanceUnit::Marathons;
    const auto perMi = PaceUnit::PerMile;
    const auto perKm = PaceUnit::PerKilometer;
    QTest::newRow("distance in miles") << D << mi << perMi << "|1|0|0|8|0"
                                       << "7.50||||||7.50|12.07";
    QTest::newRow("distance in km") << D << km << perMi << "|1|0|0|8|0"
                                    << "12.07||||||7.50|12.07";
    QTest::newRow("distance in marathons") << D << ma << perMi << "|1|0|0|8|0"
                                           << "0.29||||||7.50|12.07";
    QTest::newRow("time 26.2 miles") << T << mi << perMi << "26.2||||8|0"
                                     << "|3|29|36.00|||7.50|12.07";
    QTest::newRow("time marathon") << T << ma << perMi << "1||||8|0"
                                   << "|3|29|45.00|||7.50|12.07";
    QTest::newRow("time 10 km") << T << km << perKm << "10||||5|0"
                                << "||50|0.00|||7.46|12.00";
    QTest::newRow("time under a minute") << T << mi << perMi << "0.1||||7|30"
                                         << "|||45.00|||8.00|12.87";
    QTest::newRow("time zero minutes shown") << T << mi << perMi << "1||||60|30"
                                             << "|1|0|30.00|||0.99|1.60";
    QTest::newRow("pace 10 km per mile") << P << km << perMi << "10||50|||"
                                         << "||||8|2.80|7.46|12.00";
    QTest::newRow("pace 10 km per km") << P << km << perKm << "10||50|||"
                                       << "||||5|0.00|7.46|12.00";
    QTest::newRow("pace marathon") << P << ma << perMi << "1|3|30||||"
                                   << "||||8|0.57|7.49|12.06";
    QTest::newRow("pace no carry") << P << mi << perMi << "1||7|59.996||"
                                   << "||||7|60.00|7.50|12.07";
    QTest::newRow("pace not into hours") << P << mi << perMi << "1|1|15|||"
                                         << "||||75|0.00|0.80|1.29";
    QTest::newRow("pace under a minute") << P << mi << perMi << "2||1|30||"
                                         << "|||||45.00|80.00|128.75";
    // Missing input, and the cases without a defined result that are treated as missing input.
    const std::pair<CalcMode, const char *> missing[] = {
        {D, "|0||0|8|0"},   {D, "|1|||0|0.0"},   {D, "|1|-1||8|0"},         {D, "|1|-60||8|0"}, {D, "|1|||-8|0"},
        {D, "|1e12|||0|1"}, {D, "|1e999|||8|0"}, {D, "|1e999|-1e999||8|0"}, {T, "abc||||8|0"},  {T, "5|||||00"},
        {T, "-5||||8|0"},   {T, "5||||1|-60"},   {T, "1e9||||1e9|0"},       {P, "abc|1||||"},   {P, "5|0||0||"},
        {P, "1e-9|1||||"},  {P, "1e300|1||||"}};
    for (const auto &[mode, inputs] : missing) {
        QTest::newRow(qPrintable(QStringLiteral("missing %1 %2").arg(int(mode)).arg(inputs)))
            << mode << mi << perMi << inputs << "missing";
    }
}

void TestRunArithmetic::calculate() {
    QFETCH(CalcMode, mode);
    QFETCH(DistanceUnit, unit);
    QFETCH(PaceUnit, pace);
    QFETCH(QString, inputs);
    QFETCH(QString, results);
    const QStringList in = inputs.split(QLatin1Char('|'));
    const CalcResult result =
        Calculate({mode, unit, pace, in[0].toStdString(), in[1].toStdString(), in[2].toStdString(), in[3].toStdString(),
                   in[4].toStdString(), in[5].toStdString()});
    const QString texts = result.MissingInput
                              ? QStringLiteral("missing")
                              : QString::fromStdString(result.Distance + '|' + result.Hours + '|' + result.Minutes +
                                                       '|' + result.Seconds + '|' + result.PaceMinutes + '|' +
                                                       result.PaceSeconds + '|' + result.Mph + '|' + result.Kph);
    QCOMPARE(texts, results);
    if (result.MissingInput) {
        QVERIFY(result.Distance.empty() && result.Seconds.empty() && result.PaceSeconds.empty());
        QVERIFY(result.Mph.empty() && result.Kph.empty());
    }
}

void TestRunArithmetic::fieldsAreCutAt31Characters() {
    // A 5 as the 31st character of the pace seconds is read; one character later it is cut off.
    CalcInput input{CalcMode::Time, DistanceUnit::Miles, PaceUnit::PerMile, "1", "", "", "", "8", ""};
    input.PaceSeconds = std::string(30, '0') + "5";
    QCOMPARE(Calculate(input).Seconds, std::string("5.00"));
    input.PaceSeconds = std::string(31, '0') + "5";
    QCOMPARE(Calculate(input).Seconds, std::string("0.00"));
}

void TestRunArithmetic::messages() {
    QCOMPARE(MissingInputMessage(CalcMode::Distance),
             std::string_view("You must supply a TIME and a PACE in order to calculate a DISTANCE."));
    QCOMPARE(MissingInputMessage(CalcMode::Time),
             std::string_view("You must supply a DISTANCE and a PACE in order to calculate a TIME."));
    QCOMPARE(MissingInputMessage(CalcMode::Pace),
             std::string_view("You must supply a DISTANCE and a TIME in order to calculate a PACE."));
    QCOMPARE(MissingInputCaption(CalcMode::Pace), std::string_view("Pace Calculation Error"));
}

QTEST_APPLESS_MAIN(TestRunArithmetic)
#include "tst_RunArithmetic.moc"
