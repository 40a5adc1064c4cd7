#include "insight/WindowPlacement.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace WindowPlacement {

QRect CentredInside(QSize size, const QMargins &frame, const QRect &over, const QRect &available) {
    QRect outer(QPoint(), (size.grownBy(frame)).boundedTo(available.size()));
    outer.moveCenter(over.center());
    outer.moveLeft(std::clamp(outer.left(), available.left(), available.right() + 1 - outer.width()));
    outer.moveTop(std::clamp(outer.top(), available.top(), available.bottom() + 1 - outer.height()));
    return outer.marginsRemoved(frame);
}

void PlaceOver(QWidget *window, const QWidget *over) {
    const QScreen *screen = over->screen();
    if (!screen)
        return;
    // The new window is not framed yet; it will get a frame like the one the window under it has.
    const QRect outer = over->frameGeometry();
    const QRect inner = over->geometry();
    const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                         outer.bottom() - inner.bottom());
    window->setGeometry(CentredInside(window->size(), frame, outer, screen->availableGeometry()));
}

} // namespace WindowPlacement
