#include "shell/SplashWindow.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTimer>

SplashWindow::SplashWindow(const QPixmap &picture)
    : QSplashScreen(picture, Qt::WindowStaysOnTopHint | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus) {
    // A click on the splash must not move the keyboard focus to it: once it is gone, the window manager would
    // leave the focus nowhere and the main window would not hear the keyboard until the user clicked it.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setCursor(Qt::ArrowCursor);
}

void SplashWindow::Start() {
    qApp->installEventFilter(this);
    show();
    repaint();
    QTimer::singleShot(TimeoutMs, this, &SplashWindow::Finish);
}

void SplashWindow::Finish() {
    hide();
    // The filter stays until the release that belongs to a closing press has been taken.
    if (!SwallowRelease)
        deleteLater();
}

bool SplashWindow::eventFilter(QObject *watched, QEvent *event) {
    if (!watched->isWidgetType())
        return false;
    // Asked only in the mouse cases below: every other event reaches this filter too.
    const auto leftButton = [event] { return static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton; };
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (isVisible() && leftButton()) {
            // The splash goes at the release of this press: hidden during the press, its window would lose the
            // release, and the window system would go on treating the button as held.
            SwallowRelease = true;
            return true;
        }
        if (SwallowRelease) {
            // The time-out hid the splash during the closing press and its release was lost; this press starts the
            // user's next click, which must work as usual.
            SwallowRelease = false;
            deleteLater();
        }
        return false;
    case QEvent::MouseButtonRelease:
        if (SwallowRelease && leftButton()) {
            SwallowRelease = false;
            Finish();
            return true;
        }
        return false;
    case QEvent::Show:
        // Stay above windows shown later, also where no window manager keeps the splash on top.
        if (isVisible() && watched != this && static_cast<QWidget *>(watched)->isWindow())
            raise();
        return false;
    default:
        return false;
    }
}

void SplashWindow::mousePressEvent(QMouseEvent *event) {
    // Only the left button closes the splash (the filter sees it first); other buttons do nothing.
    event->accept();
}
