#pragma once

#include "helpviewer/HelpBrowser.h"

// A context topic in a small frameless window beside the pointer. It closes on the next click, inside or outside,
// or on the next key pressed (not a held key's repeats), like a tooltip that waits to be read.
class HelpPopup : public HelpBrowser {
    Q_OBJECT
public:
    explicit HelpPopup(QHelpEngineCore &engine);

    void ShowTopic(const QUrl &topic, const QPoint &pointer);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};
