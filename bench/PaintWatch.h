#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QObject>

#include <utility>

// Notes the first paint of a widget after it is armed (installed as the widget's event filter).
class PaintWatch : public QObject {
public:
    bool Painted = false;
    // Longer than any step may take: a step that paints nothing ends the wait instead of hanging.
    static constexpr qint64 LimitMs = 60'000;

    // False when nothing was painted within the limit.
    bool WaitForPaint() {
        QElapsedTimer waited;
        waited.start();
        while (!Painted && waited.elapsed() < LimitMs)
            QApplication::processEvents();
        return std::exchange(Painted, false);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Paint)
            Painted = true;
        return false;
    }
};
