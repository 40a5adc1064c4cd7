#include "helpviewer/HelpMainWindow.h"
#include "helpviewer/HelpPopup.h"
#include "helpviewer/HelpTopicWindow.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QHelpEngine>
#include <QHelpIndexModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSet>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QString ViewerName = QStringLiteral("Pacequill Help");
// X key codes of F1 and Escape on a usual keyboard.
constexpr quint32 HeldF1 = 67;
constexpr quint32 OtherKey = 9;

QUrl Topic(const QString &page) {
    return QUrl(QStringLiteral("qthelp://org.pacequill.help/doc/") + page);
}

} // namespace

// The help viewer's windows as the user meets them: titles, the index tab, the index entries and the pop-up.
class tst_HelpWindows : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void titlesNameTheViewerOnce_data();
    void titlesNameTheViewerOnce();
    void indexTabPutsTheCursorInLookFor();
    void indexHasNoEntriesDifferingInCaseAlone();
    void popupWaitsForANewKey_data();
    void popupWaitsForANewKey();

private:
    QTemporaryDir copyDir;
    std::unique_ptr<QHelpEngine> engine;
    // One main window for the engine, as in the viewer: it takes the engine's contents and index widgets.
    std::unique_ptr<HelpMainWindow> main;
};

void tst_HelpWindows::initTestCase() {
    QVERIFY2(QFileInfo::exists(PACEQUILL_HELP_COLLECTION), "the help collection was not built");
    QApplication::setApplicationDisplayName(ViewerName);
    // The engine is opened on a copy: the index and search data are written beside the collection.
    QVERIFY(copyDir.isValid());
    const QString source = QFileInfo(PACEQUILL_HELP_COLLECTION).absolutePath();
    for (const QString name : {"pacequill.qhc", "pacequill.qch"})
        QVERIFY(QFile::copy(source + '/' + name, copyDir.filePath(name)));
    engine = std::make_unique<QHelpEngine>(copyDir.filePath("pacequill.qhc"));
    engine->setUsesFilterEngine(true);
    QVERIFY(engine->setupData());
    main = std::make_unique<HelpMainWindow>(*engine, Topic(QStringLiteral("index.html")));
}

void tst_HelpWindows::titlesNameTheViewerOnce_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("title");
    QTest::newRow("a topic") << "using-help.html" << QStringLiteral("Using Help \u2014 Pacequill Help");
    QTest::newRow("the contents page, titled like the viewer") << "index.html" << ViewerName;
    QTest::newRow("a context topic") << "ctx-24332.html" << QString();
}

void tst_HelpWindows::titlesNameTheViewerOnce() {
    QFETCH(QString, page);
    QFETCH(QString, title);

    main->ShowTopic(Topic(page));
    HelpTopicWindow secondary(*engine);
    secondary.ShowTopic(Topic(page));
    for (const QWidget *window : {static_cast<QWidget *>(main.get()), static_cast<QWidget *>(&secondary)}) {
        // The desktop adds the viewer's name to a title that does not end with it.
        QVERIFY2(window->windowTitle().endsWith(ViewerName), qPrintable(window->windowTitle()));
        QCOMPARE(window->windowTitle().count(ViewerName), 1);
        if (!title.isEmpty())
            QCOMPARE(window->windowTitle(), title);
    }
}

void tst_HelpWindows::indexTabPutsTheCursorInLookFor() {
    main->ShowContents();
    QVERIFY(QTest::qWaitForWindowActive(main.get()));
    auto *tabs = main->findChild<QTabWidget *>();
    QVERIFY(tabs);
    auto *lookFor = tabs->widget(1)->findChild<QLineEdit *>();
    QVERIFY(lookFor);
    lookFor->setText(QStringLiteral("pace"));
    tabs->setCurrentIndex(1);
    QCOMPARE(QApplication::focusWidget(), lookFor);
    QCOMPARE(lookFor->selectedText(), QStringLiteral("pace"));
}

void tst_HelpWindows::indexHasNoEntriesDifferingInCaseAlone() {
    QHelpIndexModel *index = engine->indexModel();
    QSignalSpy created(index, &QHelpIndexModel::indexCreated);
    index->createIndex(QString());
    QVERIFY(created.wait());
    QVERIFY(index->rowCount() > 0);
    QSet<QString> seen;
    for (int row = 0; row < index->rowCount(); ++row) {
        const QString entry = index->data(index->index(row), Qt::DisplayRole).toString();
        QVERIFY2(!seen.contains(entry.toLower()), qPrintable(entry));
        seen.insert(entry.toLower());
    }
}

void tst_HelpWindows::popupWaitsForANewKey_data() {
    QTest::addColumn<bool>("repeated");
    QTest::addColumn<quint32>("code");
    QTest::addColumn<bool>("letGo"); // the held key was released before the press
    QTest::addColumn<bool>("staysOpen");
    QTest::newRow("a held key's repeat") << true << HeldF1 << false << true;
    QTest::newRow("a key held since the pop-up opened, taken for a new press") << false << HeldF1 << false << true;
    QTest::newRow("a new press after the held key was let go") << false << HeldF1 << true << false;
    QTest::newRow("a new press of another key") << false << OtherKey << false << false;
}

void tst_HelpWindows::popupWaitsForANewKey() {
    QFETCH(bool, repeated);
    QFETCH(quint32, code);
    QFETCH(bool, letGo);
    QFETCH(bool, staysOpen);

    QSet<quint32> held{HeldF1};
    HelpPopup popup(*engine, [&held] { return held; });
    popup.ShowTopic(Topic(QStringLiteral("ctx-24332.html")), QPoint(100, 100));
    QVERIFY(QTest::qWaitForWindowExposed(&popup));
    // A release that the display reports between repeats, while the key is still down.
    QKeyEvent repeatRelease(QEvent::KeyRelease, Qt::Key_F1, Qt::NoModifier, HeldF1, 0, 0);
    QApplication::sendEvent(&popup, &repeatRelease);
    if (letGo) {
        held.clear();
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_F1, Qt::NoModifier, HeldF1, 0, 0);
        QApplication::sendEvent(&popup, &release);
    }
    QKeyEvent press(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier, code, 0, 0, QString(), repeated);
    QApplication::sendEvent(&popup, &press);
    QCOMPARE(popup.isVisible(), staysOpen);
}

QTEST_MAIN(tst_HelpWindows)
#include "tst_HelpWindows.moc"
