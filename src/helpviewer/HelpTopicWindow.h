#pragma once

#include <QWidget>

class HelpBrowser;
class QHelpEngineCore;

// The secondary help window "pqhw": one topic, no contents or index, beside the program's dialogs.
class HelpTopicWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpTopicWindow(QHelpEngineCore &engine);

    void ShowTopic(const QUrl &topic);
    QUrl Topic() const;

private:
    HelpBrowser *browser;
};
