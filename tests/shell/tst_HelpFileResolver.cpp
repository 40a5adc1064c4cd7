#include "shell/HelpFileResolver.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class tst_HelpFileResolver : public QObject {
    Q_OBJECT
private slots:
    void namesAndWindows_data();
    void namesAndWindows();
    void searchOrder_data();
    void searchOrder();
};

void tst_HelpFileResolver::namesAndWindows_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("collection");
    QTest::addColumn<QString>("window");

    QTest::newRow("plain") << "pacequill.hlp"
                           << "pacequill.qhc"
                           << "";
    QTest::newRow("current directory") << ".\\pacequill.hlp"
                                       << "pacequill.qhc"
                                       << "";
    QTest::newRow("secondary window") << "pacequill.hlp>pqhw"
                                      << "pacequill.qhc"
                                      << "pqhw";
    QTest::newRow("upper-case extension") << "PACEQUILL.HLP"
                                          << "PACEQUILL.qhc"
                                          << "";
    QTest::newRow("unix current directory") << "./pacequill.hlp"
                                            << "pacequill.qhc"
                                            << "";
    QTest::newRow("no extension") << "pacequill"
                                  << "pacequill.qhc"
                                  << "";
    QTest::newRow("empty") << ""
                           << ""
                           << "";
    QTest::newRow("window only") << ">pqhw"
                                 << ""
                                 << "pqhw";
}

void tst_HelpFileResolver::namesAndWindows() {
    QFETCH(QString, text);
    QFETCH(QString, collection);
    QFETCH(QString, window);
    QCOMPARE(HelpFileResolver::CollectionFileName(text), collection);
    QCOMPARE(HelpFileResolver::WindowName(text), window);
}

void tst_HelpFileResolver::searchOrder_data() {
    // Three candidate directories; the flags say which of them hold a collection.
    QTest::addColumn<QList<bool>>("present");
    QTest::addColumn<int>("expected"); // index of the directory that must win, -1 for none

    QTest::newRow("first of all") << QList<bool>{true, true, true} << 0;
    QTest::newRow("second when first lacks it") << QList<bool>{false, true, true} << 1;
    QTest::newRow("last") << QList<bool>{false, false, true} << 2;
    QTest::newRow("nowhere") << QList<bool>{false, false, false} << -1;
}

void tst_HelpFileResolver::searchOrder() {
    QFETCH(QList<bool>, present);
    QFETCH(int, expected);

    QTemporaryDir root;
    QVERIFY(root.isValid());
    QStringList dirs;
    for (qsizetype i = 0; i < present.size(); ++i) {
        const QString dir = root.filePath(QString::number(i));
        QVERIFY(QDir().mkpath(dir));
        if (present[i]) {
            QFile file(QDir(dir).filePath("pacequill.qhc"));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        dirs << dir;
    }

    const HelpFileResolver resolver(dirs);
    for (const QString &text :
         {QStringLiteral("pacequill.hlp"), QStringLiteral(".\\pacequill.hlp"), QStringLiteral("pacequill.hlp>pqhw")}) {
        const HelpFileResolver::Target target = resolver.Resolve(text);
        const QString wanted = expected < 0 ? QString() : QDir(dirs[expected]).absoluteFilePath("pacequill.qhc");
        QCOMPARE(target.collection, wanted);
        QCOMPARE(target.window, HelpFileResolver::WindowName(text));
    }
}

QTEST_MAIN(tst_HelpFileResolver)
#include "tst_HelpFileResolver.moc"
