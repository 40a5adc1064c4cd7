#include <QtTest>

#include <cstdint>
#include <vector>

#include "log/PackedRows.h"

using pq::PackedRows;

Q_DECLARE_METATYPE(PackedRows::Ids)

namespace {

// Rows whose numbers in each column grow up to its largest ('g', with a little back and forth), fall from it fast
// ('f') or stay at it ('s').
std::vector<PackedRows::Ids> ShapedRows(const PackedRows::Ids &largest, std::size_t count,
                                        const QByteArray &shapes = "gggg") {
    std::vector<PackedRows::Ids> rows;
    for (std::size_t i = 0; i < count; ++i) {
        PackedRows::Ids ids;
        for (std::size_t c = 0; c < pq::ColumnCount; ++c) {
            const auto grown = std::uint32_t(std::uint64_t(largest[c]) * (i + 1) / count);
            switch (shapes[qsizetype(c)]) {
            case 'f':
                ids[c] = std::uint32_t(largest[c] / (i + 1));
                break;
            case 's':
                ids[c] = largest[c];
                break;
            default:
                ids[c] = grown > 0 && (i + c) % 2 == 1 ? grown - 1 : grown;
            }
        }
        rows.push_back(ids);
    }
    return rows;
}

void CompareRows(const PackedRows &packed, const std::vector<PackedRows::Ids> &rows) {
    QCOMPARE(packed.Size(), rows.size());
    for (std::size_t row = 0; row < rows.size(); ++row) {
        QCOMPARE(packed.RowIds(row), rows[row]);
        for (std::size_t c = 0; c < pq::ColumnCount; ++c)
            QCOMPARE(packed.Id(row, c), rows[row][c]);
    }
}

} // namespace

class tst_PackedRows : public QObject {
    Q_OBJECT

private slots:
    // Numbers outgrowing a column's bits lay the rows out anew, in one word while the numbers' bits fit it and
    // in two words after; every row keeps its numbers through each new layout.
    void rowsKeepTheirNumbers_data() {
        QTest::addColumn<PackedRows::Ids>("largest");
        QTest::addColumn<QByteArray>("shapes");
        QTest::newRow("within the first bits") << PackedRows::Ids{60'000, 9000, 30'000, 500'000} << QByteArray("gggg");
        QTest::newRow("many distances: bits moved from the other columns")
            << PackedRows::Ids{30'000, 200'000, 7, 3} << QByteArray("gggg");
        QTest::newRow("the dates' largest held before the distances outgrow their bits")
            << PackedRows::Ids{60'000, 4'000'000, 1 << 14, 1 << 18} << QByteArray("fgss");
        QTest::newRow("a million notes") << PackedRows::Ids{30'000, 500, 7000, 1'000'000} << QByteArray("gggg");
        QTest::newRow("beyond a word: two words a row")
            << PackedRows::Ids{4'000'000'000U, 70'000, 1'000'000, 3'000'000'000U} << QByteArray("gggg");
    }

    void rowsKeepTheirNumbers() {
        QFETCH(PackedRows::Ids, largest);
        QFETCH(QByteArray, shapes);
        const std::vector<PackedRows::Ids> rows = ShapedRows(largest, 5000, shapes);
        PackedRows packed;
        for (const PackedRows::Ids &ids : rows)
            packed.Append(ids);
        CompareRows(packed, rows);
    }

    // Rows set after Fit and GrowUnset, rows erased, and rows moved with Take and Put, in either layout.
    void setEraseAndMove_data() {
        QTest::addColumn<quint32>("largest");
        QTest::newRow("one word") << quint32(1000);
        QTest::newRow("two words") << quint32(3'000'000'000U);
    }

    void setEraseAndMove() {
        QFETCH(quint32, largest);
        std::vector<PackedRows::Ids> rows = ShapedRows({largest, 60, largest, 1000}, 100);
        PackedRows packed;
        packed.Append(rows.front());
        packed.Fit({largest, 60, largest, 1000});
        packed.GrowUnset(rows.size() - 1);
        for (std::size_t row = rows.size(); row-- > 1;)
            packed.Set(row, rows[row]);
        CompareRows(packed, rows);

        packed.Erase(40);
        rows.erase(rows.begin() + 40);
        const PackedRows::Record first = packed.Take(0);
        packed.Put(0, packed.Take(98));
        packed.Put(98, first);
        std::swap(rows[0], rows[98]);
        CompareRows(packed, rows);

        PackedRows moved(std::move(packed));
        CompareRows(moved, rows);
        moved.Clear();
        moved.Append({1, 2, 3, 4});
        CompareRows(moved, {{1, 2, 3, 4}});
    }
};

QTEST_APPLESS_MAIN(tst_PackedRows)
#include "tst_PackedRows.moc"
