#include <QTemporaryDir>
#include <QtTest>

#include "shell/ClassesRootStore.h"
#include "shell/TPacequillApp.h"

namespace {
const QString IconKey = QStringLiteral("Pacequill.Application\\DefaultIcon");
}

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void unregisterOption_data();
    void unregisterOption();
    void rawCommandLineJoinsArgumentsWithBlanks();
    void processCommandLineRegistersOrUnregisters();

private:
    QTemporaryDir ConfigDir;
};

void TestCommandLine::initTestCase() {
    QVERIFY(ConfigDir.isValid());
    qputenv("PACEQUILL_CONFIG_DIR", ConfigDir.path().toUtf8());
}

void TestCommandLine::unregisterOption_data() {
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<bool>("unregisters");

    QTest::newRow("empty") << "" << false;
    QTest::newRow("log path") << "run log.pquil" << false;
    QTest::newRow("whole word") << "-unregister" << true;
    QTest::newRow("slash prefix, upper case abbreviation") << "/UNREG" << true;
    QTest::newRow("one letter") << "-u" << true;
    QTest::newRow("mixed case") << "\t/unREGister" << true;
    QTest::newRow("no prefix is a name") << "unregister" << false;
    QTest::newRow("longer word") << "-unregistered" << false;
    QTest::newRow("dash, blank, word") << "- unregister" << true;
    QTest::newRow("dash, blanks and tabs, abbreviation") << "-  \t unr" << true;
    QTest::newRow("lone dash at the end") << "log.pquil -" << true;
    QTest::newRow("dash before equals") << "-=x" << true;
    QTest::newRow("dash before slash") << "-/x" << true;
    QTest::newRow("value is not an option") << "=unregister" << false;
    QTest::newRow("option ends at equals") << "-unregister=yes" << true;
    QTest::newRow("other option first") << "-v -unreg" << true;
    QTest::newRow("other letters") << "-xunregister" << false;
    QTest::newRow("dash inside the word") << "-un-register" << false;
    QTest::newRow("name then option") << "log.pquil /U" << true;
    QTest::newRow("path segments are options") << "/home/runner/log.pquil" << false;
    QTest::newRow("path segment abbreviating the word") << "/home/u/log.pquil" << true;
}

void TestCommandLine::unregisterOption() {
    QFETCH(QString, commandLine);
    QFETCH(bool, unregisters);
    QCOMPARE(TPacequillApp::HasUnregisterOption(commandLine), unregisters);
}

void TestCommandLine::rawCommandLineJoinsArgumentsWithBlanks() {
    QByteArray program("pacequill"), first("my log.pquil"), second("-u");
    char *argv[] = {program.data(), first.data(), second.data()};
    QCOMPARE(TPacequillApp::RawCommandLine(3, argv), QStringLiteral("my log.pquil -u"));
    QCOMPARE(TPacequillApp::RawCommandLine(1, argv), QString());
}

void TestCommandLine::processCommandLineRegistersOrUnregisters() {
    const QString expected = QCoreApplication::applicationFilePath() + QStringLiteral(",1");

    TPacequillApp::ProcessCommandLine(QStringLiteral("unregister"));
    QCOMPARE(ClassesRootStore().DefaultValue(IconKey), expected);

    TPacequillApp::ProcessCommandLine(QStringLiteral("/UNREG"));
    QVERIFY(!ClassesRootStore().KeyExists(IconKey));
    QVERIFY(!ClassesRootStore().KeyExists(QStringLiteral("Pacequill.Application")));

    TPacequillApp::ProcessCommandLine(QString());
    QCOMPARE(ClassesRootStore().DefaultValue(IconKey), expected);
}

QTEST_MAIN(TestCommandLine)
#include "tst_CommandLine.moc"
