#include "frame/CommandIds.h"
#include "shell/HelpFileResolver.h"

#include <QFile>
#include <QFileInfo>
#include <QHelpEngineCore>
#include <QHelpLink>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// Every context number the program can hand the help viewer must lead to a topic in the built collection.
class tst_HelpCollection : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void contextHasTopic_data();
    void contextHasTopic();
    void fixedTopics_data();
    void fixedTopics();
    void helpFileTextsResolveToTheCollection();

private:
    QTemporaryDir copyDir;
    std::unique_ptr<QHelpEngineCore> engine;
};

void tst_HelpCollection::initTestCase() {
    QVERIFY2(QFileInfo::exists(PACEQUILL_HELP_COLLECTION), "the help collection was not built");
    // The engine is opened on a copy so that the test never writes into the build tree's collection.
    QVERIFY(copyDir.isValid());
    const QString source = QFileInfo(PACEQUILL_HELP_COLLECTION).absolutePath();
    for (const QString name : {"pacequill.qhc", "pacequill.qch"})
        QVERIFY(QFile::copy(source + '/' + name, copyDir.filePath(name)));
    engine = std::make_unique<QHelpEngineCore>(copyDir.filePath("pacequill.qhc"));
    engine->setUsesFilterEngine(true);
    QVERIFY(engine->setupData());
    QCOMPARE(engine->registeredDocumentations(), QStringList{"org.pacequill.help"});
}

void tst_HelpCollection::contextHasTopic_data() {
    QTest::addColumn<quint32>("context");
    // Commands of the menus, the toolbar, the list's context menu and the accelerators: their pop-ups in context help.
    for (const int command : {Cmd::FileNew,
                              Cmd::FileOpen,
                              Cmd::FileSave,
                              Cmd::FileSaveAs,
                              Cmd::ImportActivities,
                              Cmd::Exit,
                              Cmd::AddEntry,
                              Cmd::DuplicateEntry,
                              Cmd::ModifyEntry,
                              Cmd::DeleteEntry,
                              Cmd::ListAddEntry,
                              Cmd::ListDuplicateEntry,
                              Cmd::ListModifyEntry,
                              Cmd::ListDeleteEntry,
                              Cmd::StatsWeekly,
                              Cmd::StatsMonthly,
                              Cmd::StatsYearly,
                              Cmd::StatsFromThru,
                              Cmd::StatsCharts,
                              Cmd::StatsRecords,
                              Cmd::HelpTopics,
                              Cmd::HelpOnHelp,
                              Cmd::About,
                              Cmd::AccelAltBackspace,
                              Cmd::AccelShiftDelete,
                              Cmd::AccelCtrlInsert,
                              Cmd::AccelShiftInsert,
                              Cmd::AccelCtrlDelete,
                              Cmd::AccelF3})
        QTest::addRow("command %d", command) << quint32(command);
    // The Help buttons of the entry editor and the statistics dialog.
    QTest::newRow("entry editor") << 30001u;
    QTest::newRow("statistics") << 40001u;
    // The controls the two dialogs register for context help; each context equals the control id.
    for (const quint32 control : {904u, 905u, 906u, 907u, 109u, 602u, 502u, 603u, 604u, 605u,
                                  606u, 607u, 503u, 504u, 609u, 610u, 611u, 608u, 191u, 192u})
        QTest::addRow("editor control %u", control) << control;
    for (const quint32 control : {1101u, 908u, 131u, 110u, 101u, 129u, 130u, 111u, 103u, 104u,
                                  105u,  112u, 106u, 107u, 108u, 113u, 114u, 115u, 116u, 117u})
        QTest::addRow("statistics control %u", control) << control;
}

void tst_HelpCollection::contextHasTopic() {
    QFETCH(quint32, context);
    const QList<QHelpLink> links = engine->documentsForIdentifier(QStringLiteral("ctx-%1").arg(context));
    QCOMPARE(links.size(), 1);
    const QByteArray page = engine->fileData(links.first().url);
    QVERIFY2(page.contains("<h1>") && page.contains("<p>"), "the topic has no heading or no text");
    QVERIFY(!links.first().title.isEmpty());
}

void tst_HelpCollection::fixedTopics_data() {
    QTest::addColumn<QString>("identifier");
    QTest::newRow("contents") << "contents";
    QTest::newRow("help on help") << "help-on-help";
    QTest::newRow("getting started") << "getting-started";
    QTest::newRow("file format") << "file-format";
    QTest::newRow("shortcuts") << "shortcuts";
}

void tst_HelpCollection::fixedTopics() {
    QFETCH(QString, identifier);
    const QList<QHelpLink> links = engine->documentsForIdentifier(identifier);
    QCOMPARE(links.size(), 1);
    QVERIFY(!engine->fileData(links.first().url).isEmpty());
}

void tst_HelpCollection::helpFileTextsResolveToTheCollection() {
    const HelpFileResolver resolver({QFileInfo(PACEQUILL_HELP_COLLECTION).absolutePath()});
    for (const QString text : {"pacequill.hlp", ".\\pacequill.hlp", "pacequill.hlp>pqhw"})
        QCOMPARE(resolver.Resolve(text).collection, QFileInfo(PACEQUILL_HELP_COLLECTION).absoluteFilePath());
}

QTEST_MAIN(tst_HelpCollection)
#include "tst_HelpCollection.moc"
