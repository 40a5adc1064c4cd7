#include <QLabel>
#include <QtEndian>
#include <QtTest>

#include "shell/TPacequillAboutDlg.h"
#include "shell/TProjectRCVersion.h"
#include "shell/VersionBlock.h"

namespace {

using Node = VersionBlock::Node;

enum class Damage { None, NoBlock, ReadFails, NoTranslation, Truncated };

struct Strings {
    QString Name;
    QString Version;
    QString Copyright;
};

Node Text(const QString &key, const QString &value) {
    return Node{key, {}, value, {}};
}

// A block with one string table named tableName and the given translation entry; empty strings are left out.
QByteArray MakeBlock(const Strings &strings, const QString &tableName, quint32 translationEntry, bool withTranslation) {
    Node table{tableName, {}, std::nullopt, {}};
    const std::pair<const char *, QString> keys[] = {
        {"ProductName", strings.Name}, {"ProductVersion", strings.Version}, {"LegalCopyright", strings.Copyright}};
    for (const auto &[key, value] : keys) {
        if (!value.isEmpty())
            table.Children.append(Text(QString::fromLatin1(key), value));
    }
    Node root{
        "VS_VERSION_INFO", QByteArray(52, '\0'), std::nullopt, {Node{"StringFileInfo", {}, std::nullopt, {table}}}};
    if (withTranslation) {
        QByteArray entry(4, '\0');
        qToLittleEndian<quint32>(translationEntry, entry.data());
        root.Children.append(Node{"VarFileInfo", {}, std::nullopt, {Node{"Translation", entry, std::nullopt, {}}}});
    }
    return VersionBlock::Build(root);
}

TProjectRCVersion::Module MakeModule(const QByteArray &block, Damage damage) {
    const QByteArray bytes = damage == Damage::Truncated ? block.left(block.size() / 2) : block;
    return {[bytes, damage] { return damage == Damage::NoBlock ? qsizetype(0) : bytes.size(); },
            [bytes, damage](QByteArray &out) {
                if (damage == Damage::ReadFails)
                    return false;
                out = bytes;
                return true;
            }};
}

const Strings Shipped{"Pacequill", "3.1", "Copyright (c) The Pacequill authors"};
constexpr quint32 UsEnglish1252 = 0x04E40409; // language in the low half, code page in the high half
// "Mmm dd yyyy": the year this test, and with it the program it tests, was built.
const QString BuildYear = QString::fromLatin1(__DATE__).right(4);

} // namespace

class TestAboutBox : public QObject {
    Q_OBJECT

private slots:
    void lines_data();
    void lines();
    void translationIsLanguageFirst();
    void programBlock();
    void twiceInARow();
    void layout();
};

void TestAboutBox::lines_data() {
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<int>("damage");
    QTest::addColumn<QString>("versionLine");
    QTest::addColumn<QString>("copyrightLine");

    const QByteArray full = MakeBlock(Shipped, "040904E4", UsEnglish1252, true);
    QTest::newRow("whole block") << full << int(Damage::None) << "Pacequill Version 3.1" << Shipped.Copyright;
    QTest::newRow("lower-case table name") << MakeBlock(Shipped, "040904e4", UsEnglish1252, true) << int(Damage::None)
                                           << "Pacequill Version 3.1" << Shipped.Copyright;
    QTest::newRow("no block") << full << int(Damage::NoBlock) << "Version"
                              << "";
    QTest::newRow("read fails") << full << int(Damage::ReadFails) << "Version"
                                << "";
    QTest::newRow("damaged block") << full << int(Damage::Truncated) << "Version"
                                   << "";
    QTest::newRow("no translation") << MakeBlock(Shipped, "040904E4", UsEnglish1252, false) << int(Damage::None)
                                    << "Version"
                                    << "";
    QTest::newRow("other translation") << MakeBlock(Shipped, "040904E4", 0x04B00407, true) << int(Damage::None)
                                       << "Version"
                                       << "";
    QTest::newRow("no product name") << MakeBlock({"", "3.1", "(c)"}, "040904E4", UsEnglish1252, true)
                                     << int(Damage::None) << "Version"
                                     << "(c)";
    QTest::newRow("no product version") << MakeBlock({"Pacequill", "", "(c)"}, "040904E4", UsEnglish1252, true)
                                        << int(Damage::None) << "Version"
                                        << "(c)";
    QTest::newRow("no copyright") << MakeBlock({"Pacequill", "3.1", ""}, "040904E4", UsEnglish1252, true)
                                  << int(Damage::None) << "Pacequill Version 3.1"
                                  << "";
    QTest::newRow("& shown as it stands")
        << MakeBlock({"P&Q", "3.1", "A & B"}, "040904E4", UsEnglish1252, true) << int(Damage::None) << "P&Q Version 3.1"
        << "A & B";
    const QString longName(300, u'x');
    QTest::newRow("long lines cut at 255") << MakeBlock({longName, "3.1", longName}, "040904E4", UsEnglish1252, true)
                                           << int(Damage::None) << longName.left(255) << longName.left(255);
}

void TestAboutBox::lines() {
    QFETCH(QByteArray, block);
    QFETCH(int, damage);
    QFETCH(QString, versionLine);
    QFETCH(QString, copyrightLine);

    TPacequillAboutDlg about(nullptr, MakeModule(block, Damage(damage)));
    QCOMPARE(about.findChild<QLabel *>("22001")->text(), versionLine);
    QCOMPARE(about.findChild<QLabel *>("22002")->text(), copyrightLine);
}

void TestAboutBox::translationIsLanguageFirst() {
    const TProjectRCVersion version(MakeModule(MakeBlock(Shipped, "040904E4", UsEnglish1252, true), Damage::None));
    QVERIFY(version.HasData());
    QCOMPARE(version.GetTranslation(), 0x040904E4u);
    QCOMPARE(version.LookupString("ProductName"), std::optional<QString>("Pacequill"));
    QCOMPARE(version.LookupString("Comments"), std::nullopt);
}

void TestAboutBox::programBlock() {
    const TProjectRCVersion version;
    if (!version.HasData())
        QSKIP("built without the version block");
    QCOMPARE(version.GetTranslation(), 0x040904E4u);
    QCOMPARE(version.LookupString("ProductName"), std::optional<QString>("Pacequill"));
    QCOMPARE(version.LookupString("ProductVersion"), std::optional<QString>("3.1"));
    QCOMPARE(version.LookupString("FileVersion"), std::optional<QString>("3.1"));
    // The notice runs to the year the program was built.
    const QString copyright = version.LookupString("LegalCopyright").value_or(QString());
    QVERIFY2(copyright.startsWith(u'\u00A9') && copyright.contains(QStringLiteral("-%1 ").arg(BuildYear)),
             qPrintable(copyright));
    // The fixed part: file version 3.1.0.0, an application.
    const QByteArray block = [] {
        QByteArray bytes;
        TProjectRCVersion::ProgramModule().ReadVersionInfo(bytes);
        return bytes;
    }();
    const std::optional<VersionBlock::Value> fixed = VersionBlock::Query(block, u"\\");
    QVERIFY(fixed && fixed->Bytes.size() == 52);
    QCOMPARE(qFromLittleEndian<quint32>(fixed->Bytes.constData() + 8), 0x00030001u);
    QCOMPARE(qFromLittleEndian<quint32>(fixed->Bytes.constData() + 12), 0u);
}

void TestAboutBox::twiceInARow() {
    const bool shipped = TProjectRCVersion().HasData();
    for (int showing = 0; showing < 2; ++showing) {
        TPacequillAboutDlg about(nullptr);
        QCOMPARE(about.findChild<QLabel *>("22001")->text(), shipped ? "Pacequill Version 3.1" : "Version");
    }
}

void TestAboutBox::layout() {
    TPacequillAboutDlg about(nullptr, MakeModule({}, Damage::NoBlock));
    QCOMPARE(about.windowTitle(), "About Pacequill");
    QCOMPARE(about.findChild<QLabel *>("-1")->text(), "A Logbook for Runners");
    QVERIFY(!about.findChild<QLabel *>("101")->pixmap().isNull());
    QVERIFY(about.findChild<QWidget *>("1"));
}

QTEST_MAIN(TestAboutBox)
#include "tst_AboutBox.moc"
