#include "helpviewer/HelpPopup.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QTextDocument>

#include <algorithm>

#include "helpwire/HeldKeyProbe.h"

namespace {
constexpr int PopupWidth = 360;
constexpr int PopupMaxHeight = 400;
constexpr int PointerOffset = 12; // keeps the pointer's hot spot off the text
} // namespace

HelpPopup::HelpPopup(QHelpEngineCore &engine, HeldKeys heldKeys)
    : HelpBrowser(engine), ProbeHeld(heldKeys ? std::move(heldKeys) : HeldKeys(HeldKeyProbe::HeldKeyCodes)) {
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
    HeldSinceOpen = ProbeHeld();
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
    if (!event->isAutoRepeat() && !HeldSinceOpen.contains(event->nativeScanCode()))
        close();
}

void HelpPopup::keyReleaseEvent(QKeyEvent *event) {
    event->accept();
    // A repeat may come as a release and a press; the key is let go only when the display no longer holds it.
    if (HeldSinceOpen.contains(event->nativeScanCode()) && !ProbeHeld().contains(event->nativeScanCode()))
        HeldSinceOpen.remove(event->nativeScanCode());
}
