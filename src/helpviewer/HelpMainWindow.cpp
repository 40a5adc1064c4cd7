#include "helpviewer/HelpMainWindow.h"

#include "helpviewer/HelpBrowser.h"

#include <QDockWidget>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpIndexWidget>
#include <QHelpLink>
#include <QHelpSearchEngine>
#include <QHelpSearchQueryWidget>
#include <QHelpSearchResultWidget>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include <utility>

namespace {
constexpr QSize InitialSize(820, 600);
constexpr int ContentsTab = 0;
constexpr int IndexTab = 1;
} // namespace

HelpMainWindow::HelpMainWindow(QHelpEngine &helpEngine, QUrl homeTopic)
    : engine(helpEngine), home(std::move(homeTopic)), browser(new HelpBrowser(helpEngine, this)),
      tabs(new QTabWidget(this)) {
    setObjectName(QStringLiteral("main"));
    setWindowTitle(browser->WindowTitle());
    setCentralWidget(browser);

    QHelpContentWidget *contents = engine.contentWidget();
    connect(contents, &QHelpContentWidget::linkActivated, browser,
            [this](const QUrl &link) { browser->setSource(link); });
    connect(engine.contentModel(), &QHelpContentModel::contentsCreated, contents,
            [contents] { contents->expandAll(); });
    tabs->addTab(contents, tr("&Contents"));
    tabs->addTab(BuildIndexTab(), tr("&Index"));
    tabs->addTab(BuildSearchTab(), tr("&Find"));
    // The index is used by typing: its tab puts the cursor in "Look for", with what was typed before selected.
    connect(tabs, &QTabWidget::currentChanged, this, [this](int tab) {
        if (tab == IndexTab) {
            indexFilter->setFocus(Qt::TabFocusReason);
            indexFilter->selectAll();
        }
    });

    auto *dock = new QDockWidget(tr("Help Topics"), this);
    dock->setObjectName(QStringLiteral("topics"));
    dock->setFeatures(QDockWidget::DockWidgetMovable);
    dock->setWidget(tabs);
    addDockWidget(Qt::LeftDockWidgetArea, dock);

    QToolBar *bar = addToolBar(tr("Navigation"));
    bar->setMovable(false);
    bar->addAction(tr("&Back"), browser, &QTextBrowser::backward);
    bar->addAction(tr("&Forward"), browser, &QTextBrowser::forward);
    bar->addAction(tr("&Home"), this, [this] { browser->setSource(home); });

    connect(browser, &QTextBrowser::sourceChanged, this, [this] { setWindowTitle(browser->WindowTitle()); });
    resize(InitialSize);
}

QWidget *HelpMainWindow::BuildIndexTab() {
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    indexFilter = new QLineEdit(page);
    indexFilter->setPlaceholderText(tr("Type the first letters of a word"));
    auto *label = new QLabel(tr("&Look for:"), page);
    label->setBuddy(indexFilter);
    QHelpIndexWidget *index = engine.indexWidget();
    layout->addWidget(label);
    layout->addWidget(indexFilter);
    layout->addWidget(index);
    connect(indexFilter, &QLineEdit::textChanged, index, [index](const QString &text) { index->filterIndices(text); });
    connect(indexFilter, &QLineEdit::returnPressed, index, &QHelpIndexWidget::activateCurrentItem);
    connect(index, &QHelpIndexWidget::documentActivated, browser,
            [this](const QHelpLink &document) { browser->setSource(document.url); });
    connect(index, &QHelpIndexWidget::documentsActivated, browser, [this](const QList<QHelpLink> &documents) {
        if (!documents.isEmpty())
            browser->setSource(documents.first().url);
    });
    return page;
}

QWidget *HelpMainWindow::BuildSearchTab() {
    QHelpSearchEngine *search = engine.searchEngine();
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(search->queryWidget());
    layout->addWidget(search->resultWidget());
    connect(search->queryWidget(), &QHelpSearchQueryWidget::search, search,
            [search] { search->search(search->queryWidget()->searchInput()); });
    connect(search->resultWidget(), &QHelpSearchResultWidget::requestShowLink, browser,
            [this](const QUrl &link) { browser->setSource(link); });
    return page;
}

void HelpMainWindow::ShowContents() {
    tabs->setCurrentIndex(ContentsTab);
    if (browser->source().isEmpty())
        browser->setSource(home);
    Present();
}

void HelpMainWindow::ShowTopic(const QUrl &topic) {
    browser->setSource(topic);
    Present();
}

QUrl HelpMainWindow::Topic() const {
    return browser->source();
}

void HelpMainWindow::Present() {
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
}
