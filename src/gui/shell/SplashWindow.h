#pragma once

#include <QSplashScreen>

// The start-up picture: frameless, on top of every window, centred, gone after 3000 ms or at the first left
// button press anywhere in the program. That press does nothing else. It deletes itself once it is done.
class SplashWindow : public QSplashScreen {
    Q_OBJECT
public:
    static constexpr int TimeoutMs = 3000;

    explicit SplashWindow(const QPixmap &picture);

    // Shows and paints the picture at once and starts the time-out.
    void Start();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void Finish();

    // The release of the press that closed the splash is swallowed too.
    bool SwallowRelease = false;
};
