#include "helpviewer/HelpPopup.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QTextDocument>

#include <algorithm>

namespace {
constexpr int PopupWidth = 360;
constexpr int PopupMaxHeight = 400;
constexpr int PointerOffset = 12; // keeps the pointer's hot spot off the text
} // namespace

HelpPopup::HelpPopup(QHelpEngineCore &engine) : HelpBrowser(engine) {
    setWindowFlags(Qt::Popup | Qt::FramelessWindowHint);
    setObjectName(QStringLiteral("popup"));
    setOpenLinks(false);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::Box);
}

void HelpPopup::ShowTopic(const QUrl &topic, const QPoint &pointer) {
    setSource(topic);
    document()->setTextWidth(PopupWidth - 2 * frameWidth());
    const int height = std::min(PopupMaxHeight, static_cast<int>(document()->size().height()) + 2 * frameWidth());
    resize(PopupWidth, height);

    // Beside the pointer, but moved back onto the screen when the pointer is near an edge.
    QRect area(pointer + QPoint(PointerOffset, PointerOffset), size());
    if (const QScreen *screen = QGuiApplication::screenAt(pointer)) {
        const QRect available = screen->availableGeometry();
        if (area.right() > available.right())
            area.moveRight(pointer.x() - PointerOffset);
        if (area.bottom() > available.bottom())
            area.moveBottom(pointer.y() - PointerOffset);
        area.moveTopLeft(QPoint(std::max(area.left(), available.left()), std::max(area.top(), available.top())));
    }
    move(area.topLeft());
    show();
    raise();
}

void HelpPopup::mousePressEvent(QMouseEvent *event) {
    event->accept();
    close();
}

void HelpPopup::keyPressEvent(QKeyEvent *event) {
    event->accept();
    // A key held since before the pop-up opened (F1, held while clicking a command) repeats; only a new press
    // closes it.
    if (!event->isAutoRepeat())
        close();
}
