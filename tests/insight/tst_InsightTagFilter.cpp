#include <QComboBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>

#include "calc/DateRules.h"
#include "insight/ChartsWindow.h"
#include "insight/ConsistencyChart.h"
#include "insight/InsightSource.h"
#include "insight/RecordsWindow.h"
#include "insight/ShoesPage.h"
#include "insight/TagFilterBox.h"
#include "insight/WeeklyChart.h"
#include "insight/YearOverYearChart.h"
#include "log/LogTableModel.h"

namespace {

// Tempo runs of 5 miles on Tuesdays, easy runs of 3 miles on Thursdays, one easy 5K race, in January 2024.
const char *const Rows[] = {
    "2024/01/02\t5 Miles\t00:40:00\tTempo #tempo @kinvara",
    "2024/01/04\t3 Miles\t00:27:00\t#easy @Pegasus",
    "2024/01/09\t5 Miles\t00:39:00\t#Tempo @kinvara",
    "2024/01/11\t3 Miles\t00:28:00\t#easy @pegasus",
    "2024/01/13\t5 Kilometers\t00:20:00\t#race #easy @Vaporfly",
    "2023/12/28\t10 Miles\t01:30:00\t#long @pegasus",
};

// The rows' list, once they are in the model.
const pq::LogList &Filled(LogTableModel &model) {
    for (const char *row : Rows)
        model.AppendRow(row);
    return model.List();
}

// Both windows over one source of the rows; the rows the Records window asks to select are kept.
struct OpenWindows {
    LogTableModel Model;
    InsightSource Source{Filled(Model), Model};
    QList<int> Selected;
    ChartsWindow Charts{Source};
    RecordsWindow Records{Source, [this](int row) { Selected << row; }};
};

double WeeklyMiles(const ChartsWindow &window) {
    double miles = 0;
    for (const pq::WeekBar &bar : window.Weekly()->Bars())
        miles += bar.Totals.Miles;
    return miles;
}

double YearMiles(const ChartsWindow &window, int year) {
    for (const pq::YearLine &line : window.YearOverYear()->Series().Years)
        if (line.Year == year && !line.Cumulative.empty())
            return line.Cumulative.back().Miles;
    return 0;
}

double CalendarMiles(const ChartsWindow &window) {
    double miles = 0;
    for (const pq::RunTotals &day : window.Consistency()->Calendar().Days)
        miles += day.Miles;
    return miles;
}

QStringList RecordLabels(const RecordsWindow &window) {
    QStringList labels;
    for (int row = 0; row < window.RecordsTable()->rowCount(); ++row)
        labels << window.RecordsTable()->item(row, RecordsWindow::RecordColumn)->text();
    return labels;
}

QStringList ShoeNames(const RecordsWindow &window) {
    QStringList names;
    for (const pq::MarkTotal &shoe : window.Shoes()->Shoes())
        names << QString::fromStdString(shoe.Name) + QLatin1Char(' ') + QString::number(shoe.Runs);
    return names;
}

} // namespace

// One tag filter, offered in both windows, that every chart, record and summary follows.
class tst_InsightTagFilter : public QObject {
    Q_OBJECT

private slots:
    void init() {
        pq::SetDateClock([] { return pq::CivilDate{2024, 1, 31}; });
    }
    void cleanup() { pq::SetDateClock({}); }

    void everyChartAndRecordFollows_data() {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("weeklyMiles");
        QTest::addColumn<QString>("miles2024");
        QTest::addColumn<QStringList>("records");
        QTest::addColumn<QStringList>("shoes");

        // 5K is 3.11 miles.
        QTest::newRow("All") << QString() << "29.11"
                             << "19.11"
                             << QStringList{"5K", "Longest Run", "Biggest Week", "Biggest Month", "Biggest Year"}
                             << QStringList{"kinvara 2", "Pegasus 3", "Vaporfly 1"};
        QTest::newRow("#tempo") << "TEMPO"
                                << "10.00"
                                << "10.00"
                                << QStringList{"Longest Run", "Biggest Week", "Biggest Month", "Biggest Year"}
                                << QStringList{"kinvara 2"};
        QTest::newRow("#easy") << "easy"
                               << "9.11"
                               << "9.11"
                               << QStringList{"5K", "Longest Run", "Biggest Week", "Biggest Month", "Biggest Year"}
                               << QStringList{"Pegasus 2", "Vaporfly 1"};
    }

    void everyChartAndRecordFollows() {
        QFETCH(QString, tag);
        QFETCH(QString, weeklyMiles);
        QFETCH(QString, miles2024);
        QFETCH(QStringList, records);
        QFETCH(QStringList, shoes);
        OpenWindows open;
        ChartsWindow &charts = open.Charts;
        RecordsWindow &recordsWindow = open.Records;
        charts.findChild<QComboBox *>("Weeks")->setCurrentIndex(4); // all weeks
        QCOMPARE(charts.Tags()->count(), 5);                        // All and four tags

        // Chosen in the Charts window, the tag holds in the Records window too.
        if (!tag.isEmpty())
            QVERIFY(charts.Tags()->ChooseTag(tag.toStdString()));
        QCOMPARE(recordsWindow.Tags()->currentText(), charts.Tags()->currentText());

        const auto text = [](double miles) { return QString::number(miles, 'f', 2); };
        QCOMPARE(text(WeeklyMiles(charts)), weeklyMiles);
        QCOMPARE(text(YearMiles(charts, 2024)), miles2024);
        QCOMPARE(text(CalendarMiles(charts)), weeklyMiles);
        QCOMPARE(RecordLabels(recordsWindow), records);
        QCOMPARE(ShoeNames(recordsWindow), shoes);
    }

    void chosenInRecordsBackToAll() {
        OpenWindows open;
        ChartsWindow &charts = open.Charts;
        RecordsWindow &recordsWindow = open.Records;
        const InsightSource &source = open.Source;
        QVERIFY(recordsWindow.Tags()->ChooseTag("long"));
        QCOMPARE(charts.Tags()->currentText(), QStringLiteral("#long"));
        QCOMPARE(RecordLabels(recordsWindow).first(), QStringLiteral("Longest Run"));
        recordsWindow.Tags()->setCurrentIndex(0);
        QCOMPARE(charts.Tags()->currentText(), TagFilterBox::AllText);
        QCOMPARE(source.Tag(), std::nullopt);
        QCOMPARE(source.Runs().size(), std::size(Rows));
    }

    // A tag that leaves the log leaves the filter too, and every run counts again.
    void tagRemovedFromTheLog() {
        OpenWindows open;
        RecordsWindow &recordsWindow = open.Records;
        InsightSource &source = open.Source;
        QVERIFY(recordsWindow.Tags()->ChooseTag("long"));
        QCOMPARE(source.Runs().size(), std::size_t(1));
        open.Model.RemoveRow(5);
        source.Recount();
        QCOMPARE(recordsWindow.Tags()->currentText(), TagFilterBox::AllText);
        QCOMPARE(source.Tag(), std::nullopt);
        QCOMPARE(source.Runs().size(), std::size(Rows) - 1);
    }

    void shoeDoubleClickSelectsItsLastRun() {
        OpenWindows open;
        open.Records.Pages()->setCurrentIndex(1);
        open.Records.Shoes()->OpenShoe(1); // Pegasus
        QCOMPARE(open.Selected, QList<int>{3});
    }
};

QTEST_MAIN(tst_InsightTagFilter)
#include "tst_InsightTagFilter.moc"
