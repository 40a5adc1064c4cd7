#include <QComboBox>
#include <QTabWidget>
#include <QtTest>

#include <string>

#include "calc/DateRules.h"
#include "insight/ChartsWindow.h"
#include "insight/InsightSource.h"
#include "insight/ReportFormats.h"
#include "insight/TrainingLoadChart.h"
#include "insight/WeeklyChart.h"
#include "log/LogTableModel.h"
#include "support/RunLogs.h"

namespace {

// Today, the clock's date: the last day of five weeks from 2024/01/01.
constexpr pq::CivilDate Today{2024, 2, 4};
constexpr int Weeks = 5;
constexpr int DaysPerWeek = 7;

// Four weeks of half an hour a day at the usual effort (150 a day), then a week of an hour at "rpe:9" (540 a day)
// tagged "#block", and a run with no time.
void Fill(LogTableModel &model) {
    const int first = Day("2024/01/01");
    for (int day = first; day < first + Weeks * DaysPerWeek; ++day) {
        const bool block = day >= first + (Weeks - 1) * DaysPerWeek;
        model.AppendRow(pq::DayText(day) + (block ? "\t6 Miles\t01:00:00\t#block rpe:9" : "\t3 Miles\t00:30:00\t"));
    }
    model.AppendRow("2024/01/02\t3 Miles\t\t");
}

} // namespace

class tst_TrainingLoadChart : public QObject {
    Q_OBJECT

private slots:
    void init() {
        pq::SetDateClock([] { return Today; });
    }
    void cleanup() { pq::SetDateClock({}); }

    // Bars, lines and bands stand where the series' values put them on their axes.
    void geometryFollowsTheSeries() {
        LogTableModel model;
        Fill(model);
        InsightSource source(model.List(), model);
        ChartsWindow window(source);
        QCOMPARE(window.Tabs()->tabText(3).remove('&'), QStringLiteral("Training load"));
        const TrainingLoadChart *chart = window.Load();
        const std::vector<pq::LoadDay> &days = chart->Days();
        QCOMPARE(days.size(), std::size_t(Weeks * DaysPerWeek));
        QCOMPARE(days.front().DayNumber, Day("2024/01/01"));
        QCOMPARE(days.back().Load, 540.0);
        QCOMPARE(QString::fromStdString(pq::RatioText(days.back().Ratio)), QStringLiteral("2.18"));

        const QSizeF size(700, 400);
        const QRectF upper = chart->LoadPlot(size);
        const QRectF lower = chart->RatioPlot(size);
        QVERIFY(upper.bottom() < lower.top());
        const double span = chart->LoadTop() - chart->LoadBottom();
        QVERIFY(chart->LoadBottom() < 0); // the form goes below zero in the block week
        const qreal zero = upper.bottom() - upper.height() * (0 - chart->LoadBottom()) / span;
        for (std::size_t i = 0; i < days.size(); ++i) {
            const QRectF bar = chart->BarRect(i, size);
            QVERIFY(qAbs(bar.height() - upper.height() * days[i].Load / span) < 1e-6);
            QVERIFY(qAbs(bar.bottom() - zero) < 1e-6);
            QVERIFY(upper.contains(bar.center()));
            if (i > 0)
                QVERIFY(bar.left() > chart->BarRect(i - 1, size).right());
            const QPointF fitness = chart->PointAt(TrainingLoadChart::Curve::Fitness, i, size);
            QVERIFY(qAbs(fitness.x() - bar.center().x()) < 1e-6);
            QVERIFY(qAbs(zero - fitness.y() - upper.height() * days[i].Fitness / span) < 1e-6);
            const QPointF form = chart->PointAt(TrainingLoadChart::Curve::Form, i, size);
            QVERIFY(qAbs(zero - form.y() - upper.height() * days[i].Form / span) < 1e-6);
            if (days[i].Ratio) {
                const QPointF ratio = chart->PointAt(TrainingLoadChart::Curve::Ratio, i, size);
                const QRectF band = chart->ZoneBand(pq::ZoneOf(*days[i].Ratio), size);
                QVERIFY(ratio.y() >= band.top() - 1e-6 && ratio.y() <= band.bottom() + 1e-6);
            }
        }
        QCOMPARE(chart->ZoneBand(pq::LoadZone::Low, size).bottom(), lower.bottom());
        QCOMPARE(chart->ZoneBand(pq::LoadZone::High, size).top(), lower.top());
        QCOMPARE(chart->ZoneBand(pq::LoadZone::Steady, size).bottom(), chart->ZoneBand(pq::LoadZone::Low, size).top());
    }

    void tooltipSummaryAndRange() {
        LogTableModel model;
        Fill(model);
        InsightSource source(model.List(), model);
        ChartsWindow window(source);
        TrainingLoadChart *chart = window.Load();
        chart->resize(700, 400);
        const QString tip = chart->ToolTipAt(chart->BarRect(chart->Days().size() - 1, chart->size()).center());
        QVERIFY2(tip.startsWith("2024/02/04\nLoad: 540.0\n") && tip.contains("ACWR: 2.18 (high)"), qPrintable(tip));
        QVERIFY(chart->ToolTipAt(QPointF(1, 1)).isEmpty());
        QVERIFY2(chart->accessibleDescription().contains("35 days from 2024/01/01 to 2024/02/04") &&
                     chart->accessibleDescription().contains(
                         QString::fromStdString(pq::LoadSummaryText(chart->Days().back()))),
                 qPrintable(chart->accessibleDescription()));

        // The weeks list and the tag filter choose the days as for the other charts.
        source.SetTag("block");
        QCOMPARE(chart->Days().size(), std::size_t(DaysPerWeek));
        source.SetTag(std::nullopt);
        window.findChild<QComboBox *>("Weeks")->setCurrentIndex(0);
        QCOMPARE(chart->Days().size(), std::size_t(Weeks * DaysPerWeek));
        model.ClearRows();
        QTRY_VERIFY(chart->Days().empty());
        QVERIFY(chart->accessibleDescription().startsWith("No runs"));
    }

    // The block week ends in the "high" zone: its bar gets the mark, the steady weeks do not.
    void weeklyMark() {
        LogTableModel model;
        Fill(model);
        InsightSource source(model.List(), model);
        ChartsWindow window(source);
        const WeeklyChart *weekly = window.Weekly();
        QCOMPARE(weekly->Bars().size(), std::size_t(Weeks));
        for (std::size_t i = 0; i < weekly->Bars().size(); ++i)
            QCOMPARE(weekly->LoadWarning(i), i == Weeks - 1);
        const QSizeF size(600, 300);
        QVERIFY(weekly->LoadMarkRect(Weeks - 1, size).bottom() < weekly->BarRect(Weeks - 1, size).top());
        QVERIFY(weekly->ToolTipAt(weekly->BarRect(Weeks - 1, weekly->size()).center()).contains("ACWR above 1.3"));
    }
};

QTEST_MAIN(tst_TrainingLoadChart)
#include "tst_TrainingLoadChart.moc"
