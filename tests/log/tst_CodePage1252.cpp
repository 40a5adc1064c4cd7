#include <QtTest>

#include <string>

#include "log/CodePage1252.h"

using namespace pq;

class tst_CodePage1252 : public QObject {
    Q_OBJECT

private slots:
    void decodeByte_data() {
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("character");
        QTest::newRow("ascii") << 0x41 << 0x41;
        QTest::newRow("euro") << 0x80 << 0x20AC;
        QTest::newRow("undefined 0x81") << 0x81 << 0x81;
        QTest::newRow("undefined 0x8D") << 0x8D << 0x8D;
        QTest::newRow("undefined 0x90") << 0x90 << 0x90;
        QTest::newRow("undefined 0x9D") << 0x9D << 0x9D;
        QTest::newRow("Y diaeresis") << 0x9F << 0x0178;
        QTest::newRow("no-break space") << 0xA0 << 0xA0;
        QTest::newRow("y diaeresis") << 0xFF << 0xFF;
    }
    void decodeByte() {
        QFETCH(int, byte);
        QFETCH(int, character);
        QCOMPARE(int(DecodeByte1252(static_cast<unsigned char>(byte))), character);
        const std::optional<char> encoded = EncodeChar1252(static_cast<char32_t>(character));
        QVERIFY(encoded);
        QCOMPARE(int(static_cast<unsigned char>(*encoded)), byte);
    }

    void everyByteRoundTrips() {
        std::string all;
        for (int b = 0; b < 256; ++b) {
            all.push_back(static_cast<char>(b));
        }
        const Encoded1252 viaUtf16 = Encode1252(Decode1252(all));
        QVERIFY(viaUtf16.Ok);
        QVERIFY(viaUtf16.Bytes == all);
        const Encoded1252 viaUtf8 = EncodeUtf8To1252(Decode1252ToUtf8(all));
        QVERIFY(viaUtf8.Ok);
        QVERIFY(viaUtf8.Bytes == all);
        QCOMPARE(QString::fromStdString(Decode1252ToUtf8(all)), QString::fromStdU16String(Decode1252(all)));
    }

    void encodeRefuses_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<uint>("badCharacter");
        QTest::addColumn<int>("badPosition");
        QTest::newRow("C1 control with a defined byte") << QString(QChar(0x80)) << 0x80u << 0;
        QTest::newRow("latin extended") << QStringLiteral("ab\u0101c") << 0x101u << 2;
        QTest::newRow("after a euro sign") << QStringLiteral("\u20AC\u0101") << 0x101u << 1;
        QTest::newRow("emoji as one character") << QStringLiteral("a\U0001F600b") << 0x1F600u << 1;
        QTest::newRow("lone high surrogate") << QString(QChar(0xD800)) + "a" << 0xD800u << 0;
        QTest::newRow("lone low surrogate") << "a" + QString(QChar(0xDC00)) << 0xDC00u << 1;
        QTest::newRow("replacement character") << QStringLiteral("x\uFFFD") << 0xFFFDu << 1;
    }
    void encodeRefuses() {
        QFETCH(QString, text);
        QFETCH(uint, badCharacter);
        QFETCH(int, badPosition);
        const Encoded1252 result = Encode1252(text.toStdU16String());
        QVERIFY(!result.Ok);
        QCOMPARE(uint(result.BadCharacter), badCharacter);
        QCOMPARE(result.BadPosition, std::size_t(badPosition));
        const Encoded1252 viaUtf8 = EncodeUtf8To1252(text.toStdString());
        if (badCharacter < 0xD800 || badCharacter >= 0xE000) {
            QVERIFY(!viaUtf8.Ok);
            QCOMPARE(uint(viaUtf8.BadCharacter), badCharacter);
            QCOMPARE(viaUtf8.BadPosition, std::size_t(badPosition));
        }
    }

    void surrogatePairPosition() {
        const Encoded1252 result = Encode1252(u"\U0001F600\U0001F600\u0101");
        QCOMPARE(uint(result.BadCharacter), 0x1F600u);
        QCOMPARE(result.BadPosition, std::size_t(0));
        const Encoded1252 later = Encode1252(u"\u00E9\u20AC\U0001F600");
        QCOMPARE(later.BadPosition, std::size_t(2));
    }

    void malformedUtf8_data() {
        QTest::addColumn<QByteArray>("utf8");
        QTest::addColumn<int>("badPosition");
        QTest::newRow("stray continuation") << QByteArray("ab\x80") << 2;
        QTest::newRow("bad continuation") << QByteArray("\xC3(") << 0;
        QTest::newRow("overlong slash") << QByteArray("\xC0\xAF") << 0;
        QTest::newRow("encoded surrogate") << QByteArray("x\xED\xA0\x80") << 1;
        QTest::newRow("beyond U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << 0;
        QTest::newRow("invalid lead") << QByteArray("\xFF") << 0;
    }
    void malformedUtf8() {
        QFETCH(QByteArray, utf8);
        QFETCH(int, badPosition);
        const Encoded1252 result = EncodeUtf8To1252(utf8.toStdString());
        QVERIFY(!result.Ok);
        QCOMPARE(uint(result.BadCharacter), 0xFFFDu);
        QCOMPARE(result.BadPosition, std::size_t(badPosition));
    }

    void encodesTypedText() {
        const Encoded1252 result = EncodeUtf8To1252("Caf\xC3\xA9 \xE2\x82\xAC"
                                                    "5 \xE2\x80\x94 ok");
        QVERIFY(result.Ok);
        QVERIFY(result.Bytes == "Caf\xE9 \x80"
                                "5 \x97 ok");
        QVERIFY(Decode1252ToUtf8("\x80\xE9\x9D") == "\xE2\x82\xAC\xC3\xA9\xC2\x9D");
    }
};

QTEST_APPLESS_MAIN(tst_CodePage1252)
#include "tst_CodePage1252.moc"
