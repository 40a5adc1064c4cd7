#include "helpviewer/HelpTopicWindow.h"

#include "helpviewer/HelpBrowser.h"

#include <QVBoxLayout>

namespace {
constexpr QSize InitialSize(460, 420);
}

HelpTopicWindow::HelpTopicWindow(QHelpEngineCore &engine) : browser(new HelpBrowser(engine, this)) {
    setObjectName(QStringLiteral("pqhw"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser);
    resize(InitialSize);
    connect(browser, &QTextBrowser::sourceChanged, this, [this] { setWindowTitle(browser->WindowTitle()); });
}

void HelpTopicWindow::ShowTopic(const QUrl &topic) {
    browser->setSource(topic);
    show();
    raise();
    activateWindow();
}

QUrl HelpTopicWindow::Topic() const {
    return browser->source();
}
