#pragma once

#include <QList>
#include <QObject>
#include <optional>

class QLabel;
class QStatusBar;

// The status bar's "CAPS", "NUM" and "SCRL" indicators. Each shows its label while its lock is on, an empty
// field while it is off, and its label greyed while the keyboard state cannot be known (no X display).
class LockIndicators : public QObject {
    Q_OBJECT
public:
    enum class Lock { Caps, Num, Scroll };
    static constexpr int LockCount = 3;

    explicit LockIndicators(QStatusBar *statusBar);

    // Reads the keyboard's indicator state again and redraws the indicators.
    void Refresh();
    // Shows a given state; nothing means unknown.
    void Show(Lock lock, std::optional<bool> on);
    QLabel *Indicator(Lock lock) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The lock's state from the X keyboard, nothing when it cannot be read.
    static std::optional<bool> ReadState(Lock lock);

    QList<QLabel *> Labels;
};
