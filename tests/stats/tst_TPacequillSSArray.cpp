#include <QTest>

#include <random>

#include "log/LogList.h"
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
    void rowKeysReadAsComposed_data();
    void rowKeysReadAsComposed();
    void textsAmongRowKeys();
    void rowKeyNeedsItsList();
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

// Rows of a few days whose texts differ late, share prefixes, hold bytes below the tab and above 0x7F, run past
// the widths at which keys cut them, or hold tabs that move the places where a key is taken apart.
void TestTPacequillSSArray::rowKeysReadAsComposed_data() {
    QTest::addColumn<unsigned>("seed");
    QTest::addColumn<int>("rows");
    QTest::newRow("a few rows") << 1U << 12;
    QTest::newRow("many rows of one day") << 2U << 400;
    QTest::newRow("many rows") << 3U << 3000;
}

void TestTPacequillSSArray::rowKeysReadAsComposed() {
    QFETCH(unsigned, seed);
    QFETCH(int, rows);
    const char *dates[] = {"1998/03/02", "1998/03/02x",    "1998/03/2",      "1998/3/02", "1998/03/02\t", "1980/01/01",
                           "2079/12/31", "1998/03/02\x01", "1998/03/02\xe9", "No Date",   "1998/13/01"};
    const char *distances[] = {"3.1 Miles",    "3.1 Miles ", "3.1", "3 Miles", "12 Kilometers and then some more",
                               "1\tMarathons", "\x08 Miles", ""};
    const char *times[] = {"00:25:00", "00:25:00.5", "00:25:0", "00:25:00\x01", ""};
    std::mt19937 random(seed);
    const auto pick = [&random](const auto &texts) { return std::string(texts[random() % std::size(texts)]); };
    LogList list;
    // A tie of identical keys must come out too: the array cannot tell their rows apart by the keys' bytes.
    const int sameDay = rows > 100 ? rows / 2 : 0;
    for (int row = 0; row < rows; ++row) {
        const std::string date = row < sameDay ? std::string("1998/03/02") : pick(dates);
        list.AppendEntry({date, pick(distances), pick(times), "note"});
    }
    TPacequillSSArray byRows(list);
    TPacequillSSArray byTexts;
    for (int row = 0; row < rows; ++row) {
        const std::string key = RowKey(list.Text(row, 0), list.Text(row, 1), list.Text(row, 2));
        if (const std::optional<int> day = KeyDayNumber(list.Text(row, 0))) {
            byRows.AppendRowKey(row, *day);
            byTexts.Add(key);
        } else {
            QVERIFY(key.empty());
        }
    }
    byRows.Finish();
    QCOMPARE(Contents(byRows), Contents(byTexts));
    for (std::size_t i = 0; i < byRows.Size(); ++i) {
        const RowKeyFields direct = byRows.Fields(i);
        const std::string key(byTexts[i]);
        const RowKeyFields read = ReadRowKey(key);
        QCOMPARE(direct.DayNumber, read.DayNumber);
        QCOMPARE(direct.Weekday, read.Weekday);
        QCOMPARE(direct.Date, read.Date);
        QCOMPARE(direct.Distance, read.Distance);
    }
}

void TestTPacequillSSArray::textsAmongRowKeys() {
    LogList list;
    list.AppendRow("1998/03/09\t1 Marathons\t03:00:00\tNone");
    list.AppendRow("1998/03/02\t3.1 Miles\t00:25:00\tNone");
    TPacequillSSArray array(list);
    array.AppendRowKey(0, 6643);
    array.AppendRowKey(1, 6636);
    array.AppendUnsorted("06640");
    array.Finish();
    array.Add("06636\t0\t1998/03/02");
    array.Add(array[3]);
    QCOMPARE(Contents(array), (QByteArrayList{"06636\t0\t1998/03/02", "06636\t0\t1998/03/02\t3.1 Miles\t00:25:00",
                                              "06640", "06643\t0\t1998/03/09\t1 Marathons\t03:00:00",
                                              "06643\t0\t1998/03/09\t1 Marathons\t03:00:00"}));
}

void TestTPacequillSSArray::rowKeyNeedsItsList() {
    LogList list;
    list.AppendRow("1998/03/02\t3.1 Miles\t00:25:00\tNone");
    TPacequillSSArray withoutList;
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, withoutList.AppendRowKey(0, 6636));
    TPacequillSSArray array(list);
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, array.AppendRowKey(1, 6636));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, array.AppendRowKey(0, 100000));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, array.AppendRowKey(0, -1));
    QCOMPARE(array.Size(), std::size_t{0});
}

QTEST_APPLESS_MAIN(TestTPacequillSSArray)
#include "tst_TPacequillSSArray.moc"
