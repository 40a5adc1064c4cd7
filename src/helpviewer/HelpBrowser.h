#pragma once

#include <QTextBrowser>

class QHelpEngineCore;

// A text browser that reads qthelp:// topics, their style sheet and pictures from the help collection.
class HelpBrowser : public QTextBrowser {
    Q_OBJECT
public:
    HelpBrowser(QHelpEngineCore &engine, QWidget *parent = nullptr);

    QVariant loadResource(int type, const QUrl &name) override;
    // The title of a window showing this browser: the topic's title, then the viewer's name, the way the desktop
    // writes titles (so it adds no name of its own); the name alone for a topic titled like the viewer.
    QString WindowTitle() const;

private:
    QHelpEngineCore &engine;
};
