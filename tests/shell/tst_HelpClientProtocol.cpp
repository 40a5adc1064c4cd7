#include "helpwire/HelpAnswer.h"
#include "helpwire/HelpRequest.h"

#include <QtTest>

class tst_HelpClientProtocol : public QObject {
    Q_OBJECT
private slots:
    void requestRoundTrip_data();
    void requestRoundTrip();
    void refusesForeignLines_data();
    void refusesForeignLines();
    void answerRoundTrip();
    void refusesForeignAnswers();
};

void tst_HelpClientProtocol::requestRoundTrip_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("collection");
    QTest::addColumn<quint32>("context");
    QTest::addColumn<QString>("window");

    using Kind = HelpRequest::Kind;
    QTest::newRow("topics") << int(Kind::Topics) << "/usr/share/pacequill/pacequill.qhc" << 0u << "";
    QTest::newRow("help on help") << int(Kind::HelpOnHelp) << "/a b/\"quoted\"/pacequill.qhc" << 0u << "";
    QTest::newRow("context in pqhw") << int(Kind::Context) << "/x/pacequill.qhc" << 30001u << "pqhw";
    QTest::newRow("pop-up") << int(Kind::Popup) << "/x/pacequill.qhc" << 24332u << "";
    QTest::newRow("largest context") << int(Kind::Popup) << "/x/pacequill.qhc" << 4294967295u << "";
    QTest::newRow("quit") << int(Kind::Quit) << "" << 0u << "";
    QTest::newRow("status") << int(Kind::Status) << "" << 0u << "";
    QTest::newRow("non-ASCII path") << int(Kind::Topics) << QString::fromUtf8("/home/zoë/läufe/pacequill.qhc") << 0u
                                    << "";
}

void tst_HelpClientProtocol::requestRoundTrip() {
    QFETCH(int, kind);
    QFETCH(QString, collection);
    QFETCH(quint32, context);
    QFETCH(QString, window);

    HelpRequest request;
    request.kind = static_cast<HelpRequest::Kind>(kind);
    request.collection = collection;
    request.context = context;
    request.window = window;

    const QByteArray line = request.Encode();
    QVERIFY(line.endsWith('\n'));
    QCOMPARE(line.count('\n'), 1); // one request is one line, whatever the path holds
    const std::optional<HelpRequest> decoded = HelpRequest::Decode(line);
    QVERIFY(decoded);
    QCOMPARE(int(decoded->kind), kind);
    QCOMPARE(decoded->collection, collection);
    QCOMPARE(decoded->context, context);
    QCOMPARE(decoded->window, window);
}

void tst_HelpClientProtocol::refusesForeignLines_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("not JSON") << QByteArray("topics pacequill.qhc\n");
    QTest::newRow("array") << QByteArray("[1,2]\n");
    QTest::newRow("no version") << QByteArray(R"({"cmd":"topics"})");
    QTest::newRow("other version") << QByteArray(R"({"v":2,"cmd":"topics"})");
    QTest::newRow("unknown command") << QByteArray(R"({"v":1,"cmd":"format-disk"})");
    QTest::newRow("negative context") << QByteArray(R"({"v":1,"cmd":"popup","context":-1})");
    QTest::newRow("context too large") << QByteArray(R"({"v":1,"cmd":"popup","context":4294967296})");
}

void tst_HelpClientProtocol::refusesForeignLines() {
    QFETCH(QByteArray, line);
    QVERIFY(!HelpRequest::Decode(line));
}

void tst_HelpClientProtocol::answerRoundTrip() {
    HelpAnswer answer;
    answer.accepted = false;
    answer.reason = "No help topic has the context number 7.";
    answer.windows = {{"main", "qthelp://org.pacequill.help/doc/index.html"}, {"popup", "qthelp://x/ctx-1.html"}};
    const std::optional<HelpAnswer> decoded = HelpAnswer::Decode(answer.Encode());
    QVERIFY(decoded);
    QCOMPARE(decoded->accepted, false);
    QCOMPARE(decoded->reason, answer.reason);
    QCOMPARE(decoded->windows, answer.windows);

    answer.accepted = true;
    QVERIFY(HelpAnswer::Decode(answer.Encode())->accepted);
}

void tst_HelpClientProtocol::refusesForeignAnswers() {
    QVERIFY(!HelpAnswer::Decode("yes\n"));
    QVERIFY(!HelpAnswer::Decode(R"({"v":2,"ok":true})"));
    QVERIFY(!HelpAnswer::Decode(R"({"v":1})"));        // an answer without a verdict is no answer
    QVERIFY(!HelpAnswer::Decode(R"({"v":1,"ok":1})")); // nor is a number standing in for one
}

QTEST_MAIN(tst_HelpClientProtocol)
#include "tst_HelpClientProtocol.moc"
