#include <QtTest>

#include <cstdint>
#include <string>
#include <vector>

#include "log/TextPool.h"

using namespace pq;

class tst_TextPool : public QObject {
    Q_OBJECT

private slots:
    // Numbers follow first appearance; a text seen again gets its number back.
    void numbersInOrderOfFirstSight_data() {
        QTest::addColumn<QByteArrayList>("texts");
        QTest::addColumn<QList<int>>("numbers");
        QTest::newRow("none") << QByteArrayList{} << QList<int>{};
        QTest::newRow("repeats") << QByteArrayList{"b", "a", "b", "b", "a"} << QList<int>{0, 1, 0, 0, 1};
        QTest::newRow("empty text and prefixes")
            << QByteArrayList{"", "None", "Non", "", "None "} << QList<int>{0, 1, 2, 0, 3};
        QTest::newRow("bytes beyond a word")
            << QByteArrayList{"2024/01/01x", "2024/01/01y", "2024/01/01x"} << QList<int>{0, 1, 0};
        QTest::newRow("NUL and high bytes")
            << QByteArrayList{QByteArray("a\0b", 3), QByteArray("a\0c", 3), "\xFF", QByteArray("a\0b", 3)}
            << QList<int>{0, 1, 2, 0};
    }
    void numbersInOrderOfFirstSight() {
        QFETCH(QByteArrayList, texts);
        QFETCH(QList<int>, numbers);
        TextPool numbering;
        QList<int> got;
        for (const QByteArray &text : texts) {
            got << static_cast<int>(numbering.Intern({text.constData(), static_cast<std::size_t>(text.size())}));
        }
        QCOMPARE(got, numbers);
    }

    // Past many regrowths of the table every text still finds its number.
    void keepsNumbersAsItGrows() {
        constexpr int count = 5000;
        std::vector<std::string> texts;
        texts.reserve(count);
        for (int i = 0; i < count; ++i) {
            texts.push_back(std::to_string(i * 7919));
        }
        TextPool numbering;
        for (int pass = 0; pass < 2; ++pass) {
            for (std::size_t i = 0; i < texts.size(); ++i) {
                QCOMPARE(numbering.Intern(texts[i]), static_cast<std::uint32_t>(i));
            }
        }
        QCOMPARE(numbering.Size(), texts.size());
        QCOMPARE(numbering.Text(42), std::string_view(texts[42]));
    }
};

QTEST_APPLESS_MAIN(tst_TextPool)
#include "tst_TextPool.moc"
