#include <QTest>

#include "stats/TPacequillSSArray.h"

using namespace pq;

namespace {

QByteArrayList Contents(const TPacequillSSArray &array) {
    QByteArrayList texts;
    for (std::size_t i = 0; i < array.Size(); ++i) {
        texts << QByteArray(array[i].data(), static_cast<qsizetype>(array[i].size()));
    }
    return texts;
}

} // namespace

class TestTPacequillSSArray : public QObject {
    Q_OBJECT

private slots:
    void addKeepsOrder_data();
    void addKeepsOrder();
    void bulkMatchesAdd_data();
    void bulkMatchesAdd();
};

void TestTPacequillSSArray::addKeepsOrder_data() {
    QTest::addColumn<QByteArrayList>("added");
    QTest::addColumn<QByteArrayList>("sorted");
    QTest::newRow("prefix first") << QByteArrayList{"abc", "ab", "a"} << QByteArrayList{"a", "ab", "abc"};
    QTest::newRow("case-sensitive") << QByteArrayList{"b", "B", "a", "A"} << QByteArrayList{"A", "B", "a", "b"};
    // Byte 0xE9 sorts after every ASCII letter: the bytes compare unsigned.
    QTest::newRow("unsigned bytes") << QByteArrayList{"\xe9", "z", "~"} << QByteArrayList{"z", "~", "\xe9"};
    QTest::newRow("duplicates kept") << QByteArrayList{"x", "y", "x"} << QByteArrayList{"x", "x", "y"};
}

void TestTPacequillSSArray::addKeepsOrder() {
    QFETCH(QByteArrayList, added);
    QFETCH(QByteArrayList, sorted);
    TPacequillSSArray array;
    for (const QByteArray &text : added) {
        array.Add(text.toStdString());
    }
    QCOMPARE(Contents(array), sorted);
}

void TestTPacequillSSArray::bulkMatchesAdd_data() {
    addKeepsOrder_data();
}

void TestTPacequillSSArray::bulkMatchesAdd() {
    QFETCH(QByteArrayList, added);
    QFETCH(QByteArrayList, sorted);
    TPacequillSSArray array;
    array.Reserve(static_cast<std::size_t>(added.size()), 16);
    for (const QByteArray &text : added) {
        array.AppendUnsorted(text.toStdString());
    }
    array.Finish();
    QCOMPARE(Contents(array), sorted);
}

QTEST_APPLESS_MAIN(TestTPacequillSSArray)
#include "tst_TPacequillSSArray.moc"
