#include <QtTest>

#include <string>
#include <string_view>

#include "log/CollationRanks.h"
#include "log/LocaleCollation.h"
#include "log/LogList.h"

namespace {

// A row of its own date (a number) with the notes given.
std::string RowText(int day, std::string_view notes) {
    std::string text = "d";
    text.append(std::to_string(day)).append("\t1 Miles\t00:10:00\t").append(notes);
    return text;
}

QByteArrayList Dates(const pq::LogList &list) {
    QByteArrayList dates;
    for (int row = 0; row < list.RowCount(); ++row) {
        const std::string_view date = list.Text(row, pq::DateColumn);
        dates << QByteArray(date.data(), static_cast<qsizetype>(date.size()));
    }
    return dates;
}

// Offers the sort only the comparison of two rows, so that it compares instead of counting by the texts' ranks.
class CompareOnly : public pq::TLwComparator {
public:
    explicit CompareOnly(const pq::TLwComparator &order) : Order(order) {}
    int Compare(int firstRow, int secondRow) const override { return Order.Compare(firstRow, secondRow); }

private:
    const pq::TLwComparator &Order;
};

} // namespace

class tst_CollationRanks : public QObject {
    Q_OBJECT

private slots:
    // Ranks kept from sort to sort, through edits that bring new texts and drop old ones, order the rows exactly
    // as ranks made afresh for each sort, and as a sort that compares the rows.
    void keptRanksSortAsFreshOnes_data() {
        QTest::addColumn<QByteArrayList>("edits"); // "+notes" appends a row, "-N" removes row N, "sort" sorts
        QTest::newRow("repeated sorts") << QByteArrayList{"sort", "sort", "sort"};
        QTest::newRow("new texts between sorts")
            << QByteArrayList{"sort", "+apple", "+Zebra", "sort", "+beach", "sort"};
        QTest::newRow("texts removed between sorts") << QByteArrayList{"sort", "-0", "-2", "sort", "-0", "sort"};
        QTest::newRow("case and accents") << QByteArrayList{"+\xE9t\xE9", "+ete", "sort", "+Ete", "+\xC9t\xE9", "sort"};
    }
    void keptRanksSortAsFreshOnes() {
        QFETCH(QByteArrayList, edits);
        pq::LogList kept;
        int day = 0;
        for (const char *notes : {"None", "beach", "Beach", "None", "hills", "", "beach"})
            kept.AppendRow(RowText(day++, notes));
        CollationRanks ranks;
        bool ascending = true;
        for (const QByteArray &edit : edits) {
            if (edit.startsWith('+')) {
                kept.AppendRow(RowText(day++, edit.mid(1).toStdString()));
                continue;
            }
            if (edit.startsWith('-')) {
                kept.RemoveRow(edit.mid(1).toInt());
                continue;
            }
            pq::LogList fresh(kept);
            pq::LogList compared(kept);
            fresh.Sort(LocaleCollation(fresh, pq::NotesColumn, ascending));
            compared.Sort(CompareOnly(LocaleCollation(compared, pq::NotesColumn, ascending)));
            kept.Sort(LocaleCollation(kept, pq::NotesColumn, ascending, ranks));
            QCOMPARE(Dates(kept), Dates(fresh));
            QCOMPARE(Dates(compared), Dates(fresh));
            ascending = !ascending;
        }
    }
};

QTEST_MAIN(tst_CollationRanks)
#include "tst_CollationRanks.moc"
