#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QtTest>

#include <cmath>
#include <vector>

#include "insight/ChartView.h"

namespace {

// Long jagged lines, as the charts stroke them, and a text.
class LinesChart : public ChartView {
public:
    void Draw(QPainter &painter, const QSizeF &size) const override {
        QPolygonF line;
        for (int i = 0; i < 900; ++i)
            line << QPointF(10 + 0.7 * i, size.height() / 2 + 90 * std::sin(i * 2.7));
        StrokeLines(painter, {{{line}, QPen(QColor(0, 0, 200, 150), 1.5)}}, size);
        painter.drawText(QPointF(20, 20), QStringLiteral("Year over year"));
    }
    QString ToolTipAt(const QPointF &) const override { return {}; }
    QString Summary() const override { return {}; }
};

// A line across a chart that jumps up and down at about a point per pixel or glides, cut in parts one after
// another, or as many such lines a little apart, to be stroked in turn.
std::vector<QPolygonF> TestLines(int points, bool jumping, int parts, bool inTurn) {
    std::vector<QPolygonF> lines(static_cast<std::size_t>(parts));
    for (int i = 0; i < points; ++i) {
        const double y =
            jumping ? 150 + 130 * std::sin(i * 2.7) * std::cos(i * 0.013) : 150 + 100 * std::sin(i * 0.004);
        if (!inTurn)
            lines[std::size_t(i * parts / points)] << QPointF(20 + 600.0 * i / points, y);
        for (int part = 0; inTurn && part < parts; ++part)
            lines[std::size_t(part)] << QPointF(20 + 600.0 * i / points, y + 7 * part);
    }
    return lines;
}

// Each stroke drawn whole, in turn.
void StrokeWhole(QPainter &painter, const std::vector<ChartView::Stroke> &strokes) {
    for (const ChartView::Stroke &stroke : strokes) {
        QPainterPath path;
        for (const QPolygonF &line : stroke.Lines)
            path.addPolygon(line);
        painter.strokePath(path, stroke.Pen);
    }
}

} // namespace

class tst_ChartView : public QObject {
    Q_OBJECT

private slots:
    // Lines stroked strip by strip have the pixels of one stroke of them, and the area under a line filled strip by
    // strip those of one fill: lines that jump up and down at about a point per pixel (a daily ratio over years)
    // or glide, whole or in parts, dashed or not, at any device pixel ratio, drawn whole or in an exposed part;
    // translucent lines stroked in turn have the pixels of each stroked whole over the ones before.
    void stripsDrawAsAWhole_data() {
        QTest::addColumn<qreal>("scale");
        QTest::addColumn<bool>("jumping");
        QTest::addColumn<int>("parts");
        QTest::addColumn<Qt::PenStyle>("style");
        QTest::addColumn<QRect>("exposed");
        QTest::addColumn<bool>("filled");
        QTest::addColumn<bool>("inTurn");
        QTest::newRow("jumping") << 1.0 << true << 1 << Qt::SolidLine << QRect() << false << false;
        QTest::newRow("in parts, twice the pixels") << 2.0 << true << 3 << Qt::SolidLine << QRect() << false << false;
        QTest::newRow("dashed, jumping") << 1.0 << true << 1 << Qt::DashLine << QRect() << false << false;
        QTest::newRow("dashed, gliding, a quarter more pixels")
            << 1.25 << false << 1 << Qt::DashLine << QRect() << false << false;
        QTest::newRow("an exposed part") << 1.0 << true << 1 << Qt::SolidLine << QRect(101, 0, 37, 300) << false
                                         << false;
        QTest::newRow("filled") << 1.0 << true << 1 << Qt::NoPen << QRect() << true << false;
        QTest::newRow("filled, twice the pixels, an exposed part")
            << 2.0 << true << 1 << Qt::NoPen << QRect(101, 0, 37, 300) << true << false;
        QTest::newRow("translucent, in turn") << 1.0 << true << 3 << Qt::SolidLine << QRect() << false << true;
    }

    void stripsDrawAsAWhole() {
        QFETCH(qreal, scale);
        QFETCH(bool, jumping);
        QFETCH(int, parts);
        QFETCH(Qt::PenStyle, style);
        QFETCH(QRect, exposed);
        QFETCH(bool, filled);
        QFETCH(bool, inTurn);
        const QSizeF size(640, 300);
        const int points = 700;
        const qreal baseline = 150;
        const std::vector<QPolygonF> lines = TestLines(points, jumping, parts, inTurn);
        const QPen pen(inTurn ? QColor(0, 0, 0, 128) : QColor(Qt::black), 2, style);
        std::vector<ChartView::Stroke> strokes;
        for (const QPolygonF &line : lines) {
            if (inTurn || strokes.empty())
                strokes.push_back({{}, pen});
            strokes.back().Lines.push_back(line);
        }
        QImage whole((size * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
        whole.setDevicePixelRatio(scale);
        whole.fill(Qt::white);
        QImage strips = whole;
        for (const bool inStrips : {false, true}) {
            QPainter painter(inStrips ? &strips : &whole);
            painter.setRenderHint(QPainter::Antialiasing);
            if (exposed.isValid())
                painter.setClipRect(exposed);
            const QColor shade(0, 0, 0, 90);
            if (inStrips && filled)
                ChartView::FillDownTo(painter, lines.front(), baseline, shade, size);
            else if (inStrips)
                ChartView::StrokeLines(painter, strokes, size);
            if (inStrips)
                continue;
            if (!filled) {
                StrokeWhole(painter, strokes);
                continue;
            }
            QPainterPath path;
            for (const QPolygonF &line : lines)
                path.addPolygon(line);
            path.lineTo(lines.front().back().x(), baseline);
            path.lineTo(lines.front().front().x(), baseline);
            path.closeSubpath();
            painter.fillPath(path, shade);
        }
        QCOMPARE(strips, whole);
    }

    // A chart on screen, drawn into an image first with its strips shared out, has the pixels of one drawn
    // directly in the window's format.
    void shownAsDrawnDirectly() {
        LinesChart chart;
        chart.resize(660, 240);
        const QImage shown = chart.grab().toImage();
        QImage direct(shown.size(), shown.format());
        QPainter painter(&direct);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setFont(chart.font());
        painter.fillRect(direct.rect(), chart.ChartColours().Background);
        chart.Draw(painter, chart.size());
        painter.end();
        QCOMPARE(shown, direct);
    }
};

QTEST_MAIN(tst_ChartView)
#include "tst_ChartView.moc"
