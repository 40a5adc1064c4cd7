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
    void longTextsKeptWhole_data();
    void longTextsKeptWhole();
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

// Items hold lengths below 2^24 - 1 themselves; longer texts take another way, which must give the same results.
void TestTPacequillSSArray::longTextsKeptWhole_data() {
    QTest::addColumn<bool>("bulk");
    QTest::addColumn<qsizetype>("longLength");
    const qsizetype escape = (qsizetype{1} << 24) - 1;
    for (const bool bulk : {false, true}) {
        const char *how = bulk ? "bulk" : "add";
        QTest::addRow("%s, just short enough", how) << bulk << escape - 1;
        QTest::addRow("%s, first long length", how) << bulk << escape;
        QTest::addRow("%s, longer", how) << bulk << escape + 2;
    }
}

void TestTPacequillSSArray::longTextsKeptWhole() {
    QFETCH(bool, bulk);
    QFETCH(qsizetype, longLength);
    const QByteArray longB = QByteArray(longLength, 'b');
    const QByteArray longA = QByteArray(longLength, 'a') + 'z';
    const QByteArrayList added{"c", longB, "a", longA, "b"};
    TPacequillSSArray array;
    for (const QByteArray &text : added) {
        if (bulk) {
            array.AppendUnsorted(text.toStdString());
        } else {
            array.Add(text.toStdString());
        }
    }
    if (bulk) {
        array.Finish();
    }
    QCOMPARE(Contents(array), (QByteArrayList{"a", longA, "b", longB, "c"}));
}

QTEST_APPLESS_MAIN(TestTPacequillSSArray)
#include "tst_TPacequillSSArray.moc"
