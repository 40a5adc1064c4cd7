#pragma once

#include <QSet>

#include <functional>

#include "helpviewer/HelpBrowser.h"

// A context topic in a small frameless window beside the pointer. It closes on the next click, inside or outside,
// or on the next key pressed (not the repeats of a key held since before it opened), like a tooltip that waits to be
// read.
class HelpPopup : public HelpBrowser {
    Q_OBJECT
public:
    // The key codes held down at this moment (HeldKeyProbe::HeldKeyCodes); tests give their own.
    using HeldKeys = std::function<QSet<quint32>()>;

    explicit HelpPopup(QHelpEngineCore &engine, HeldKeys heldKeys = {});

    void ShowTopic(const QUrl &topic, const QPoint &pointer);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    HeldKeys ProbeHeld;
    // Keys that were down when the pop-up opened and have not been let go since: their presses are repeats, even
    // where the display reports the first repeat as a new press (the pop-up never saw the key go down).
    QSet<quint32> HeldSinceOpen;
};
