#pragma once

#include <QMainWindow>
#include <QUrl>

class HelpBrowser;
class QHelpEngine;
class QLineEdit;
class QTabWidget;

// The main help window: contents, index and full-text search beside the topic browser.
class HelpMainWindow : public QMainWindow {
    Q_OBJECT
public:
    HelpMainWindow(QHelpEngine &engine, QUrl home);

    // The Help Topics request: the contents tab, and the first topic when nothing is shown yet.
    void ShowContents();
    void ShowTopic(const QUrl &topic);
    QUrl Topic() const;

private:
    QWidget *BuildIndexTab();
    QWidget *BuildSearchTab();
    void Present();

    QHelpEngine &engine;
    QUrl home;
    HelpBrowser *browser;
    QTabWidget *tabs;
    QLineEdit *indexFilter = nullptr;
};
