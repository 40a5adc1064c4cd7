#pragma once

#include <QTextBrowser>

class QHelpEngineCore;

// A text browser that reads qthelp:// topics, their style sheet and pictures from the help collection.
class HelpBrowser : public QTextBrowser {
    Q_OBJECT
public:
    HelpBrowser(QHelpEngineCore &engine, QWidget *parent = nullptr);

    QVariant loadResource(int type, const QUrl &name) override;

private:
    QHelpEngineCore &engine;
};
