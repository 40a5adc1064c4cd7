#pragma once

#include <QApplication>
#include <QEvent>
#include <QObject>

// Notes the first paint of a widget after it is armed (installed as the widget's event filter).
class PaintWatch : public QObject {
public:
    bool Painted = false;

    void WaitForPaint() {
        while (!Painted)
            QApplication::processEvents();
        Painted = false;
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Paint)
            Painted = true;
        return false;
    }
};
