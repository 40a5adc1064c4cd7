#include <QTest>

#include <cmath>
#include <limits>

#include "calc/RunArithmetic.h"

using namespace pq;

Q_DECLARE_METATYPE(pq::CalcMode)
Q_DECLARE_METATYPE(pq::DistanceUnit)
Q_DECLARE_METATYPE(pq::PaceUnit)

namespace {

CalcInput Input(CalcMode mode, DistanceUnit unit, PaceUnit pace, const char *distance, const char *hours,
                const char *minutes, const char *seconds, const char *paceMinutes, const char *paceSeconds) {
    return {mode, unit, pace, distance, hours, minutes, seconds, paceMinutes, paceSeconds};
}

QString Text(const std::string &text) {
    return QString::fromStdString(text);
}

} // namespace

class TestRunArithmetic : public QObject {
    Q_OBJECT

private slots:
    void parseNumber_data();
    void parseNumber();
    void formatHundredths_data();
    void formatHundredths();
    void distanceMode_data();
    void distanceMode();
    void timeMode_data();
    void timeMode();
    void paceMode_data();
    void paceMode();
    void missingInput_data();
    void missingInput();
    void fieldsAreCutAt31Characters();
    void messages();
    void recognizeUnit_data();
    void recognizeUnit();
};

void TestRunArithmetic::parseNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("time text") << "7:30" << 7.0;
    QTest::newRow("comma") << "1,5" << 1.0;
    QTest::newRow("leading point") << ".5" << 0.5;
    QTest::newRow("trailing point") << "5." << 5.0;
    QTest::newRow("second point stops") << "1.2.3" << 1.2;
    QTest::newRow("white space and plus") << " \t+3.25x" << 3.25;
    QTest::newRow("minus") << "-60" << -60.0;
    QTest::newRow("exponent") << "1.5e2" << 150.0;
    QTest::newRow("signed exponent") << "25E-1" << 2.5;
    QTest::newRow("exponent without digits") << "3e" << 3.0;
    QTest::newRow("exponent sign without digits") << "3e+x" << 3.0;
    QTest::newRow("sign only") << "-" << 0.0;
    QTest::newRow("point only") << "." << 0.0;
    QTest::newRow("hex is not read") << "0x1A" << 0.0;
    QTest::newRow("inf is not read") << "inf" << 0.0;
    QTest::newRow("nan is not read") << "nan" << 0.0;
    QTest::newRow("letters") << "abc" << 0.0;
    QTest::newRow("underflow") << "1e-400" << 0.0;
    QTest::newRow("zero mantissa, big exponent") << "0.000e999" << 0.0;
}

void TestRunArithmetic::parseNumber() {
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(ParseNumber(text.toStdString()), value);
}

void TestRunArithmetic::formatHundredths_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole") << 5.0 << "5.00";
    QTest::newRow("half") << 7.5 << "7.50";
    QTest::newRow("small") << 0.05 << "0.05";
    QTest::newRow("rounded down") << 12.07008 << "12.07";
    QTest::newRow("zero") << 0.0 << "0.00";
    QTest::newRow("exact half to even down") << 0.125 << "0.12";
    QTest::newRow("exact half to even up") << 0.375 << "0.38";
    // 1.005 is stored as slightly less than 1.005, so it is not a half.
    QTest::newRow("below half") << 1.005 << "1.00";
    // Products that land on .5 in double although the stored value is not a half.
    QTest::newRow("product half, value above") << 0.005 << "0.01";
    QTest::newRow("product half, value below") << 0.015 << "0.01";
    QTest::newRow("product half, value above, even below") << 0.025 << "0.03";
    QTest::newRow("stored below half") << 2.675 << "2.67";
    QTest::newRow("no carry display") << 59.996 << "60.00";
    QTest::newRow("negative") << -3.0 << "-3.00";
    QTest::newRow("negative fraction") << -0.05 << "-0.05";
    QTest::newRow("negative rounding to zero") << -0.001 << "0.00";
    QTest::newRow("largest whole part") << 2147483647.0 << "2147483647.00";
    QTest::newRow("whole part beyond 32 bits") << 2147483648.0 << "";
    QTest::newRow("rounds beyond 32 bits") << 2147483647.999 << "";
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << "";
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << "";
}

void TestRunArithmetic::formatHundredths() {
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(Text(FormatHundredths(value)), text);
}

void TestRunArithmetic::distanceMode_data() {
    QTest::addColumn<DistanceUnit>("unit");
    QTest::addColumn<QString>("distance");
    QTest::newRow("miles") << DistanceUnit::Miles << "7.50";
    QTest::newRow("kilometers") << DistanceUnit::Kilometers << "12.07";
    QTest::newRow("marathons") << DistanceUnit::Marathons << "0.29";
}

void TestRunArithmetic::distanceMode() {
    QFETCH(DistanceUnit, unit);
    QFETCH(QString, distance);
    const CalcResult result =
        Calculate(Input(CalcMode::Distance, unit, PaceUnit::PerMile, "", "1", "0", "0", "8", "0"));
    QVERIFY(!result.MissingInput);
    QCOMPARE(Text(result.Distance), distance);
    QCOMPARE(Text(result.Mph), QStringLiteral("7.50"));
    QCOMPARE(Text(result.Kph), QStringLiteral("12.07"));
}

void TestRunArithmetic::timeMode_data() {
    QTest::addColumn<DistanceUnit>("unit");
    QTest::addColumn<PaceUnit>("pace");
    QTest::addColumn<QString>("distance");
    QTest::addColumn<QString>("paceMinutes");
    QTest::addColumn<QString>("paceSeconds");
    QTest::addColumn<QString>("hours");
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<QString>("seconds");
    QTest::addColumn<QString>("mph");
    QTest::addColumn<QString>("kph");
    QTest::newRow("26.2 miles") << DistanceUnit::Miles << PaceUnit::PerMile << "26.2"
                                << "8"
                                << "0"
                                << "3"
                                << "29"
                                << "36.00"
                                << "7.50"
                                << "12.07";
    QTest::newRow("one marathon") << DistanceUnit::Marathons << PaceUnit::PerMile << "1"
                                  << "8"
                                  << "0"
                                  << "3"
                                  << "29"
                                  << "45.00"
                                  << "7.50"
                                  << "12.07";
    QTest::newRow("10 km") << DistanceUnit::Kilometers << PaceUnit::PerKilometer << "10"
                           << "5"
                           << "0"
                           << ""
                           << "50"
                           << "0.00"
                           << "7.46"
                           << "12.00";
    QTest::newRow("under a minute") << DistanceUnit::Miles << PaceUnit::PerMile << "0.1"
                                    << "7"
                                    << "30"
                                    << ""
                                    << ""
                                    << "45.00"
                                    << "8.00"
                                    << "12.87";
    QTest::newRow("zero minutes after hours") << DistanceUnit::Miles << PaceUnit::PerMile << "1"
                                              << "60"
                                              << "30"
                                              << "1"
                                              << "0"
                                              << "30.00"
                                              << "0.99"
                                              << "1.60";
}

void TestRunArithmetic::timeMode() {
    QFETCH(DistanceUnit, unit);
    QFETCH(PaceUnit, pace);
    QFETCH(QString, distance);
    QFETCH(QString, paceMinutes);
    QFETCH(QString, paceSeconds);
    const CalcResult result = Calculate({CalcMode::Time, unit, pace, distance.toStdString(), "", "", "",
                                         paceMinutes.toStdString(), paceSeconds.toStdString()});
    QVERIFY(!result.MissingInput);
    QTEST(Text(result.Hours), "hours");
    QTEST(Text(result.Minutes), "minutes");
    QTEST(Text(result.Seconds), "seconds");
    QTEST(Text(result.Mph), "mph");
    QTEST(Text(result.Kph), "kph");
}

void TestRunArithmetic::paceMode_data() {
    QTest::addColumn<DistanceUnit>("unit");
    QTest::addColumn<PaceUnit>("pace");
    QTest::addColumn<QString>("distance");
    QTest::addColumn<QString>("hours");
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<QString>("seconds");
    QTest::addColumn<QString>("paceMinutes");
    QTest::addColumn<QString>("paceSeconds");
    QTest::addColumn<QString>("mph");
    QTest::addColumn<QString>("kph");
    QTest::newRow("10 km per mile") << DistanceUnit::Kilometers << PaceUnit::PerMile << "10"
                                    << ""
                                    << "50"
                                    << ""
                                    << "8"
                                    << "2.80"
                                    << "7.46"
                                    << "12.00";
    QTest::newRow("10 km per km") << DistanceUnit::Kilometers << PaceUnit::PerKilometer << "10"
                                  << ""
                                  << "50"
                                  << ""
                                  << "5"
                                  << "0.00"
                                  << "7.46"
                                  << "12.00";
    QTest::newRow("marathon") << DistanceUnit::Marathons << PaceUnit::PerMile << "1"
                              << "3"
                              << "30"
                              << ""
                              << "8"
                              << "0.57"
                              << "7.49"
                              << "12.06";
    QTest::newRow("no carry") << DistanceUnit::Miles << PaceUnit::PerMile << "1"
                              << ""
                              << "7"
                              << "59.996"
                              << "7"
                              << "60.00"
                              << "7.50"
                              << "12.07";
    QTest::newRow("not carried into hours") << DistanceUnit::Miles << PaceUnit::PerMile << "1"
                                            << "1"
                                            << "15"
                                            << ""
                                            << "75"
                                            << "0.00"
                                            << "0.80"
                                            << "1.29";
    QTest::newRow("under a minute") << DistanceUnit::Miles << PaceUnit::PerMile << "2"
                                    << ""
                                    << "1"
                                    << "30"
                                    << ""
                                    << "45.00"
                                    << "80.00"
                                    << "128.75";
}

void TestRunArithmetic::paceMode() {
    QFETCH(DistanceUnit, unit);
    QFETCH(PaceUnit, pace);
    QFETCH(QString, distance);
    QFETCH(QString, hours);
    QFETCH(QString, minutes);
    QFETCH(QString, seconds);
    const CalcResult result = Calculate({CalcMode::Pace, unit, pace, distance.toStdString(), hours.toStdString(),
                                         minutes.toStdString(), seconds.toStdString(), "", ""});
    QVERIFY(!result.MissingInput);
    QTEST(Text(result.PaceMinutes), "paceMinutes");
    QTEST(Text(result.PaceSeconds), "paceSeconds");
    QTEST(Text(result.Mph), "mph");
    QTEST(Text(result.Kph), "kph");
}

void TestRunArithmetic::missingInput_data() {
    QTest::addColumn<CalcMode>("mode");
    QTest::addColumn<QString>("distance");
    QTest::addColumn<QString>("hours");
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<QString>("seconds");
    QTest::addColumn<QString>("paceMinutes");
    QTest::addColumn<QString>("paceSeconds");
    QTest::newRow("distance: no time") << CalcMode::Distance << ""
                                       << "0"
                                       << ""
                                       << "0"
                                       << "8"
                                       << "0";
    QTest::newRow("distance: no pace") << CalcMode::Distance << ""
                                       << "1"
                                       << ""
                                       << ""
                                       << "0"
                                       << "0.0";
    QTest::newRow("distance: sum cancels") << CalcMode::Distance << ""
                                           << "1"
                                           << "-1"
                                           << ""
                                           << "8"
                                           << "0";
    QTest::newRow("distance: zero time behind sum") << CalcMode::Distance << ""
                                                    << "1"
                                                    << "-60"
                                                    << ""
                                                    << "8"
                                                    << "0";
    QTest::newRow("distance: negative pace") << CalcMode::Distance << ""
                                             << "1"
                                             << ""
                                             << ""
                                             << "-8"
                                             << "0";
    QTest::newRow("distance: beyond 32 bits") << CalcMode::Distance << ""
                                              << "1e12"
                                              << ""
                                              << ""
                                              << "0"
                                              << "1";
    QTest::newRow("distance: infinite time") << CalcMode::Distance << ""
                                             << "1e999"
                                             << ""
                                             << ""
                                             << "8"
                                             << "0";
    QTest::newRow("distance: infinities cancel") << CalcMode::Distance << ""
                                                 << "1e999"
                                                 << "-1e999"
                                                 << ""
                                                 << "8"
                                                 << "0";
    QTest::newRow("time: text distance") << CalcMode::Time << "abc"
                                         << ""
                                         << ""
                                         << ""
                                         << "8"
                                         << "0";
    QTest::newRow("time: no pace") << CalcMode::Time << "5"
                                   << ""
                                   << ""
                                   << ""
                                   << ""
                                   << "00";
    QTest::newRow("time: negative distance") << CalcMode::Time << "-5"
                                             << ""
                                             << ""
                                             << ""
                                             << "8"
                                             << "0";
    QTest::newRow("time: zero pace behind sum") << CalcMode::Time << "5"
                                                << ""
                                                << ""
                                                << ""
                                                << "1"
                                                << "-60";
    QTest::newRow("time: hours beyond 32 bits") << CalcMode::Time << "1e9"
                                                << ""
                                                << ""
                                                << ""
                                                << "1e9"
                                                << "0";
    QTest::newRow("pace: text distance") << CalcMode::Pace << "abc"
                                         << "1"
                                         << ""
                                         << ""
                                         << ""
                                         << "";
    QTest::newRow("pace: no time") << CalcMode::Pace << "5"
                                   << "0"
                                   << ""
                                   << "0"
                                   << ""
                                   << "";
    QTest::newRow("pace: minutes beyond 32 bits") << CalcMode::Pace << "1e-9"
                                                  << "1"
                                                  << ""
                                                  << ""
                                                  << ""
                                                  << "";
    QTest::newRow("pace: speed beyond 32 bits") << CalcMode::Pace << "1e300"
                                                << "1"
                                                << ""
                                                << ""
                                                << ""
                                                << "";
}

void TestRunArithmetic::missingInput() {
    QFETCH(CalcMode, mode);
    QFETCH(QString, distance);
    QFETCH(QString, hours);
    QFETCH(QString, minutes);
    QFETCH(QString, seconds);
    QFETCH(QString, paceMinutes);
    QFETCH(QString, paceSeconds);
    const CalcResult result =
        Calculate({mode, DistanceUnit::Miles, PaceUnit::PerMile, distance.toStdString(), hours.toStdString(),
                   minutes.toStdString(), seconds.toStdString(), paceMinutes.toStdString(), paceSeconds.toStdString()});
    QVERIFY(result.MissingInput);
    QVERIFY(result.Distance.empty() && result.Hours.empty() && result.Minutes.empty() && result.Seconds.empty());
    QVERIFY(result.PaceMinutes.empty() && result.PaceSeconds.empty() && result.Mph.empty() && result.Kph.empty());
}

void TestRunArithmetic::fieldsAreCutAt31Characters() {
    // A 5 at the 31st character is read; one character later it is cut off.
    const CalcResult kept = Calculate(Input(CalcMode::Time, DistanceUnit::Miles, PaceUnit::PerMile, "1", "", "", "",
                                            "8", (std::string(30, '0') + "5").c_str()));
    QCOMPARE(Text(kept.Seconds), QStringLiteral("5.00"));
    const CalcResult cut = Calculate(Input(CalcMode::Time, DistanceUnit::Miles, PaceUnit::PerMile, "1", "", "", "", "8",
                                           (std::string(31, '0') + "5").c_str()));
    QCOMPARE(Text(cut.Minutes), QStringLiteral("8"));
    QCOMPARE(Text(cut.Seconds), QStringLiteral("0.00"));
    const CalcResult cutDistance = Calculate(Input(CalcMode::Time, DistanceUnit::Miles, PaceUnit::PerMile,
                                                   ("0." + std::string(29, '0') + "5").c_str(), "", "", "", "8", "0"));
    QVERIFY(cutDistance.MissingInput);
}

void TestRunArithmetic::messages() {
    QCOMPARE(MissingInputMessage(CalcMode::Distance),
             std::string_view("You must supply a TIME and a PACE in order to calculate a DISTANCE."));
    QCOMPARE(MissingInputMessage(CalcMode::Time),
             std::string_view("You must supply a DISTANCE and a PACE in order to calculate a TIME."));
    QCOMPARE(MissingInputMessage(CalcMode::Pace),
             std::string_view("You must supply a DISTANCE and a TIME in order to calculate a PACE."));
    QCOMPARE(MissingInputCaption(CalcMode::Distance), std::string_view("Distance Calculation Error"));
    QCOMPARE(MissingInputCaption(CalcMode::Time), std::string_view("Time Calculation Error"));
    QCOMPARE(MissingInputCaption(CalcMode::Pace), std::string_view("Pace Calculation Error"));
}

void TestRunArithmetic::recognizeUnit_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("recognized");
    QTest::addColumn<DistanceUnit>("unit");
    QTest::newRow("Miles") << "Miles" << true << DistanceUnit::Miles;
    QTest::newRow("Mile(s)") << "Mile(s)" << true << DistanceUnit::Miles;
    QTest::newRow("Kilometers") << "Kilometers" << true << DistanceUnit::Kilometers;
    QTest::newRow("Marathons") << "Marathons" << true << DistanceUnit::Marathons;
    QTest::newRow("Mile wins over Kilo") << "KiloMile" << true << DistanceUnit::Miles;
    QTest::newRow("lower case") << "miles" << false << DistanceUnit::Miles;
    QTest::newRow("cut word") << "Kil" << false << DistanceUnit::Miles;
}

void TestRunArithmetic::recognizeUnit() {
    QFETCH(QString, text);
    QFETCH(bool, recognized);
    QFETCH(DistanceUnit, unit);
    DistanceUnit found = DistanceUnit::Miles;
    QCOMPARE(RecognizeUnit(text.toStdString(), found), recognized);
    QCOMPARE(found, unit);
}

QTEST_APPLESS_MAIN(TestRunArithmetic)
#include "tst_RunArithmetic.moc"
