#include <QtTest>

#include <cstdint>
#include <vector>

#include "log/PackedRows.h"

using pq::PackedRows;

Q_DECLARE_METATYPE(PackedRows::Ids)

namespace {

// Rows whose numbers grow in each column up to its largest, with a little back and forth.
std::vector<PackedRows::Ids> GrowingRows(const PackedRows::Ids &largest, std::size_t count) {
    std::vector<PackedRows::Ids> rows;
    for (std::size_t i = 0; i < count; ++i) {
        PackedRows::Ids ids;
        for (std::size_t c = 0; c < pq::ColumnCount; ++c) {
            const auto value = std::uint32_t(std::uint64_t(largest[c]) * (i + 1) / count);
            ids[c] = value > 0 && (i + c) % 2 == 1 ? value - 1 : value;
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
        QTest::newRow("within the first bits") << PackedRows::Ids{60'000, 9000, 30'000, 500'000};
        QTest::newRow("many distances: bits moved from the other columns") << PackedRows::Ids{30'000, 200'000, 7, 3};
        QTest::newRow("a million notes") << PackedRows::Ids{30'000, 500, 7000, 1'000'000};
        QTest::newRow("beyond a word: two words a row")
            << PackedRows::Ids{4'000'000'000U, 70'000, 1'000'000, 3'000'000'000U};
    }

    void rowsKeepTheirNumbers() {
        QFETCH(PackedRows::Ids, largest);
        const std::vector<PackedRows::Ids> rows = GrowingRows(largest, 5000);
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
        std::vector<PackedRows::Ids> rows = GrowingRows({largest, 60, largest, 1000}, 100);
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
        QCOMPARE(packed.Size(), std::size_t(0));
        moved.Clear();
        moved.Append({1, 2, 3, 4});
        CompareRows(moved, {{1, 2, 3, 4}});
    }
};

QTEST_APPLESS_MAIN(tst_PackedRows)
#include "tst_PackedRows.moc"
