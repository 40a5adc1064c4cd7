// Draws Pacequill's bitmaps, icons and help cursor into resources/. Run from the repository root after changing
// a drawing:  cmake --build <build> --target draw-resources && QT_QPA_PLATFORM=offscreen <build>/src/gui/draw-resources
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cstdio>
#include <functional>

namespace {

// The 16 colours of the classic VGA palette: the bitmaps are 16-colour pictures.
const QList<QRgb> Vga16{0xff000000, 0xff800000, 0xff008000, 0xff808000, 0xff000080, 0xff800080, 0xff008080, 0xffc0c0c0,
                        0xff808080, 0xffff0000, 0xff00ff00, 0xffffff00, 0xff0000ff, 0xffff00ff, 0xff00ffff, 0xffffffff};
const QColor Black = QColor::fromRgb(0xff000000), Green = QColor::fromRgb(0xff008000),
             Olive = QColor::fromRgb(0xff808000), Navy = QColor::fromRgb(0xff000080),
             Teal = QColor::fromRgb(0xff008080), Silver = QColor::fromRgb(0xffc0c0c0),
             Grey = QColor::fromRgb(0xff808080), Red = QColor::fromRgb(0xffff0000),
             Yellow = QColor::fromRgb(0xffffff00), Blue = QColor::fromRgb(0xff0000ff),
             Aqua = QColor::fromRgb(0xff00ffff), White = QColor::fromRgb(0xffffffff);

constexpr int ButtonSize = 20;

QString OutputDir;

using Drawing = std::function<void(QPainter &)>;

QImage Draw(int width, int height, const Drawing &drawing, bool transparent) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(transparent ? Qt::transparent : Silver);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    drawing(painter);
    return image;
}

// Maps every pixel to the nearest VGA colour; fully transparent pixels stay transparent.
QImage To16Colours(const QImage &source) {
    QList<QRgb> table = Vga16;
    table.append(qRgba(0, 0, 0, 0));
    const int transparentIndex = static_cast<int>(table.size()) - 1;
    QImage result(source.size(), QImage::Format_Indexed8);
    result.setColorTable(table);
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            const QRgb pixel = source.pixel(x, y);
            if (qAlpha(pixel) < 128) {
                result.setPixel(x, y, transparentIndex);
                continue;
            }
            int best = 0;
            int bestDistance = INT_MAX;
            for (int i = 0; i < Vga16.size(); ++i) {
                const int dr = qRed(pixel) - qRed(Vga16[i]);
                const int dg = qGreen(pixel) - qGreen(Vga16[i]);
                const int db = qBlue(pixel) - qBlue(Vga16[i]);
                const int distance = dr * dr + dg * dg + db * db;
                if (distance < bestDistance) {
                    bestDistance = distance;
                    best = i;
                }
            }
            result.setPixel(x, y, best);
        }
    }
    return result;
}

void Save(const QImage &image, const QString &name) {
    const QString path = OutputDir + QLatin1Char('/') + name;
    if (!image.save(path))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

void Page(QPainter &p, QRect r) {
    const int fold = 4;
    QPolygon page{{r.left(), r.top()},
                  {r.right() - fold, r.top()},
                  {r.right(), r.top() + fold},
                  {r.right(), r.bottom()},
                  {r.left(), r.bottom()}};
    p.setPen(Black);
    p.setBrush(White);
    p.drawPolygon(page);
    p.drawLine(r.right() - fold, r.top(), r.right() - fold, r.top() + fold);
    p.drawLine(r.right() - fold, r.top() + fold, r.right(), r.top() + fold);
}

void Lines(QPainter &p, QRect r) {
    p.setPen(Grey);
    for (int y = r.top() + 6; y < r.bottom() - 1; y += 3)
        p.drawLine(r.left() + 2, y, r.right() - 3, y);
}

void Pencil(QPainter &p, QPoint tip) {
    p.setPen(Black);
    p.setBrush(Yellow);
    QPolygon body{tip, tip + QPoint(2, -5), tip + QPoint(9, -12), tip + QPoint(12, -9), tip + QPoint(5, -2)};
    p.drawPolygon(body);
    p.setBrush(Red);
    p.drawPolygon(QPolygon{tip + QPoint(9, -12), tip + QPoint(10, -13), tip + QPoint(13, -10), tip + QPoint(12, -9)});
}

void Floppy(QPainter &p, QRect r) {
    p.setPen(Black);
    p.setBrush(Navy);
    p.drawRect(r);
    p.setBrush(White);
    p.drawRect(r.left() + 3, r.top(), r.width() - 7, r.height() / 2 - 1);
    p.setBrush(Silver);
    p.drawRect(r.left() + 4, r.bottom() - 5, r.width() - 9, 5);
    p.fillRect(r.left() + 5, r.bottom() - 4, 2, 3, Navy);
}

void Calendar(QPainter &p, const QString &mark, QColor markColour) {
    const QRect r(2, 3, 15, 15);
    p.setPen(Black);
    p.setBrush(White);
    p.drawRect(r);
    p.fillRect(r.left() + 1, r.top() + 1, r.width() - 1, 3, Red);
    p.fillRect(5, 1, 2, 4, Black);
    p.fillRect(13, 1, 2, 4, Black);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(9);
    font.setBold(true);
    p.setFont(font);
    p.setPen(markColour);
    p.drawText(QRect(r.left(), r.top() + 5, r.width() + 1, 11), Qt::AlignCenter, mark);
}

// The stopwatch of the program's icon and logo, in a square of side s.
void Stopwatch(QPainter &p, int s) {
    const double u = s / 32.0;
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(Black, qMax(1.0, u)));
    p.setBrush(Silver);
    p.drawRect(QRectF(13 * u, 1 * u, 6 * u, 4 * u));
    p.drawRect(QRectF(24 * u, 5 * u, 4 * u, 3 * u));
    p.setBrush(Navy);
    p.drawEllipse(QRectF(3 * u, 5 * u, 26 * u, 26 * u));
    p.setBrush(White);
    p.drawEllipse(QRectF(6 * u, 8 * u, 20 * u, 20 * u));
    p.setPen(QPen(Red, qMax(1.0, 2 * u)));
    p.drawLine(QPointF(16 * u, 18 * u), QPointF(22 * u, 12 * u));
    p.setPen(QPen(Black, qMax(1.0, 2 * u)));
    p.drawLine(QPointF(16 * u, 18 * u), QPointF(16 * u, 10 * u));
    if (s >= 32) {
        p.setPen(QPen(Black, u));
        for (int tick = 0; tick < 12; ++tick) {
            p.save();
            p.translate(16 * u, 18 * u);
            p.rotate(tick * 30);
            p.drawLine(QPointF(0, -9 * u), QPointF(0, -8 * u));
            p.restore();
        }
    }
}

void Runner(QPainter &p, QPointF at, double scale, QColor colour) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(colour, 3 * scale, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(colour);
    p.drawEllipse(at + QPointF(8, -40) * scale, 4 * scale, 4 * scale);
    QPainterPath body;
    body.moveTo(at + QPointF(6, -34) * scale);
    body.lineTo(at + QPointF(0, -18) * scale);
    p.setBrush(Qt::NoBrush);
    p.drawPath(body);
    p.drawPolyline(QPolygonF{at + QPointF(-10, -28) * scale, at + QPointF(-2, -31) * scale,
                             at + QPointF(5, -31) * scale, at + QPointF(10, -24) * scale,
                             at + QPointF(16, -26) * scale});
    p.drawPolyline(QPolygonF{at + QPointF(0, -18) * scale, at + QPointF(10, -10) * scale, at + QPointF(8, 0) * scale});
    p.drawPolyline(
        QPolygonF{at + QPointF(0, -18) * scale, at + QPointF(-6, -8) * scale, at + QPointF(-16, -6) * scale});
}

QImage Splash() {
    return Draw(
        300, 162,
        [](QPainter &p) {
            p.fillRect(0, 0, 300, 162, Navy);
            p.setPen(Qt::NoPen);
            p.setBrush(Yellow);
            p.drawEllipse(QPoint(250, 40), 18, 18);
            p.setBrush(Green);
            p.drawEllipse(QRect(-60, 100, 260, 120));
            p.setBrush(Teal);
            p.drawEllipse(QRect(150, 110, 240, 110));
            // The road the runner is on.
            p.setBrush(Grey);
            p.drawPolygon(QPolygon{{0, 162}, {300, 162}, {300, 140}, {0, 150}});
            p.setPen(QPen(White, 2, Qt::DashLine));
            p.drawLine(0, 156, 300, 151);
            Runner(p, QPointF(235, 140), 1.1, White);
            p.setRenderHint(QPainter::Antialiasing, false);
            QFont title(QStringLiteral("DejaVu Serif"));
            title.setPixelSize(38);
            title.setBold(true);
            title.setItalic(true);
            p.setFont(title);
            p.setPen(White);
            p.drawText(QRect(14, 16, 220, 46), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Pacequill"));
            QFont small(QStringLiteral("DejaVu Sans"));
            small.setPixelSize(13);
            p.setFont(small);
            p.setPen(Yellow);
            p.drawText(QRect(18, 62, 220, 18), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("version 3.1"));
            p.setPen(Aqua);
            p.drawText(QRect(18, 80, 220, 18), Qt::AlignLeft | Qt::AlignVCenter,
                       QStringLiteral("A logbook for runners"));
        },
        false);
}

// The About box's logo: the stopwatch beside the name, on a strip of road. Drawn at 174 x 48 and, for high-density
// screens, at twice that, each in at most 256 colours.
constexpr QSize LogoSize(174, 48);

QImage Logo(int scale) {
    QImage image = Draw(
        LogoSize.width() * scale, LogoSize.height() * scale,
        [scale](QPainter &p) {
            p.scale(scale, scale);
            p.save();
            p.translate(2, 3);
            Stopwatch(p, 42);
            p.restore();
            p.setRenderHint(QPainter::Antialiasing, true);
            QFont title(QStringLiteral("DejaVu Serif"));
            title.setPixelSize(23);
            title.setBold(true);
            title.setItalic(true);
            p.setFont(title);
            p.setPen(Navy);
            p.drawText(QRect(48, 0, 126, 38), Qt::AlignCenter, QStringLiteral("Pacequill"));
            p.setPen(Qt::NoPen);
            p.setBrush(Grey);
            p.drawRoundedRect(QRectF(50, 39, 122, 7), 3, 3);
            p.setPen(QPen(White, 1, Qt::DashLine));
            p.drawLine(QPointF(54, 42.5), QPointF(168, 42.5));
        },
        true);
    return image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
}

void DrawButtons() {
    const QRect page(4, 1, 12, 17);
    const QList<std::pair<int, Drawing>> buttons{
        {24331, [page](QPainter &p) { Page(p, page); }},
        {24332,
         [](QPainter &p) {
             p.setPen(Black);
             p.setBrush(Olive);
             p.drawPolygon(QPolygon{{1, 5}, {7, 5}, {9, 7}, {16, 7}, {16, 17}, {1, 17}});
             p.setBrush(Yellow);
             p.drawPolygon(QPolygon{{1, 17}, {4, 10}, {19, 10}, {16, 17}});
         }},
        {24333, [](QPainter &p) { Floppy(p, QRect(2, 2, 15, 15)); }},
        {24334,
         [](QPainter &p) {
             Floppy(p, QRect(1, 3, 13, 13));
             Pencil(p, QPoint(6, 18));
         }},
        {24341,
         [page](QPainter &p) {
             Page(p, page.adjusted(-3, 0, -3, 0));
             Lines(p, page.adjusted(-3, 0, -3, 0));
             p.fillRect(11, 11, 8, 2, Green);
             p.fillRect(14, 8, 2, 8, Green);
         }},
        {24342,
         [](QPainter &p) {
             Page(p, QRect(2, 1, 11, 14));
             Lines(p, QRect(2, 1, 11, 14));
             Page(p, QRect(7, 5, 11, 14));
             Lines(p, QRect(7, 5, 11, 14));
         }},
        {24343,
         [page](QPainter &p) {
             Page(p, page.adjusted(-3, 0, -3, 0));
             Lines(p, page.adjusted(-3, 0, -3, 0));
             Pencil(p, QPoint(6, 17));
         }},
        {24344,
         [page](QPainter &p) {
             Page(p, page.adjusted(-3, 0, -3, 0));
             Lines(p, page.adjusted(-3, 0, -3, 0));
             p.setPen(QPen(Red, 2));
             p.drawLine(10, 9, 17, 16);
             p.drawLine(17, 9, 10, 16);
         }},
        {24371, [](QPainter &p) { Calendar(p, QStringLiteral("7"), Navy); }},
        {24372, [](QPainter &p) { Calendar(p, QStringLiteral("31"), Navy); }},
        {24373, [](QPainter &p) { Calendar(p, QStringLiteral("Y"), Green); }},
        {24374,
         [](QPainter &p) {
             Calendar(p, QString(), Navy);
             p.setPen(QPen(Blue, 2));
             p.drawLine(5, 12, 13, 12);
             p.setPen(Blue);
             p.setBrush(Blue);
             p.drawPolygon(QPolygon{{12, 9}, {15, 12}, {12, 15}});
         }},
        {2001,
         [](QPainter &p) {
             p.setRenderHint(QPainter::Antialiasing, true);
             p.setPen(Black);
             p.setBrush(Blue);
             p.drawEllipse(QRectF(1.5, 1.5, 17, 17));
             QFont font(QStringLiteral("DejaVu Sans"));
             font.setPixelSize(14);
             font.setBold(true);
             p.setFont(font);
             p.setPen(White);
             p.drawText(QRect(1, 1, 18, 18), Qt::AlignCenter, QStringLiteral("?"));
         }},
    };
    for (const auto &[command, drawing] : buttons)
        Save(To16Colours(Draw(ButtonSize, ButtonSize, drawing, true)), QStringLiteral("bitmaps/%1.png").arg(command));
}

// The context-help cursor: a black arrow outlined in white with a question mark, black, white and
// transparent only.
QImage HelpCursor() {
    QImage image = Draw(
        32, 32,
        [](QPainter &p) {
            const QPolygon arrow{{0, 0}, {0, 16}, {4, 12}, {7, 19}, {9, 18}, {6, 11}, {11, 11}};
            p.setPen(White);
            p.setBrush(Black);
            p.drawPolygon(arrow);
            QFont font(QStringLiteral("DejaVu Sans"));
            font.setPixelSize(16);
            font.setBold(true);
            p.setFont(font);
            for (const QPoint offset : {QPoint(-1, 0), QPoint(1, 0), QPoint(0, -1), QPoint(0, 1)}) {
                p.setPen(White);
                p.drawText(QRect(13, 2, 14, 18).translated(offset), Qt::AlignCenter, QStringLiteral("?"));
            }
            p.setPen(Black);
            p.drawText(QRect(13, 2, 14, 18), Qt::AlignCenter, QStringLiteral("?"));
        },
        true);
    QImage mono(image.size(), QImage::Format_Indexed8);
    mono.setColorTable({0xff000000, 0xffffffff, qRgba(0, 0, 0, 0)});
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            mono.setPixel(x, y, qAlpha(pixel) < 128 ? 2 : (qGray(pixel) < 128 ? 0 : 1));
        }
    }
    return mono;
}

} // namespace

int main(int argc, char *argv[]) {
    QGuiApplication app(argc, argv);
    OutputDir = QDir::current().filePath(QStringLiteral("resources"));
    Save(To16Colours(Splash()), QStringLiteral("bitmaps/12345.png"));
    DrawButtons();
    for (const int size : {16, 32})
        Save(To16Colours(Draw(
                 size, size, [size](QPainter &p) { Stopwatch(p, size); }, true)),
             QStringLiteral("icons/1001-%1.png").arg(size));
    Save(Logo(1), QStringLiteral("bitmaps/1101.png"));
    Save(Logo(2), QStringLiteral("bitmaps/1101@2x.png"));
    Save(HelpCursor(), QStringLiteral("cursors/24000.png"));
    return 0;
}
