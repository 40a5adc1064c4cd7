#include <QtTest>

#include <algorithm>
#include <random>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "log/LogList.h"
#include "log/TPQLComparator.h"

using namespace pq;

namespace {

// The four whole texts of a row joined by '|', for compact expectations.
QByteArray RowTexts(const LogList &list, int row) {
    QByteArray text;
    for (int c = 0; c < ColumnCount; ++c) {
        if (c > 0) {
            text += '|';
        }
        const std::string_view field = list.Text(row, c);
        text += QByteArray(field.data(), static_cast<qsizetype>(field.size()));
    }
    return text;
}

QByteArrayList Column(const LogList &list, int column) {
    QByteArrayList texts;
    for (int i = 0; i < list.RowCount(); ++i) {
        const std::string_view field = list.Text(i, column);
        texts << QByteArray(field.data(), static_cast<qsizetype>(field.size()));
    }
    return texts;
}

LogList ListOfDates(const QByteArrayList &dates) {
    LogList list;
    for (const QByteArray &date : dates) {
        list.AppendRow((date + "\t1 Miles\t00:10:00\tNone").toStdString());
    }
    return list;
}

// Orders rows by given numbers, offering them to the sort as ranks or only through Compare.
class RankComparator : public TLwComparator {
public:
    RankComparator(std::vector<int> ranks, bool offered) : Ranks(std::move(ranks)), Offered(offered) {}
    int Compare(int firstRow, int secondRow) const override {
        const int first = Ranks[static_cast<std::size_t>(firstRow)];
        const int second = Ranks[static_cast<std::size_t>(secondRow)];
        return (first > second) - (first < second);
    }
    std::span<const int> RowRanks() const override {
        return Offered ? std::span<const int>(Ranks) : std::span<const int>();
    }

private:
    std::vector<int> Ranks;
    bool Offered;
};

} // namespace

class tst_LogList : public QObject {
    Q_OBJECT

private slots:
    void appendRowSplits_data() {
        QTest::addColumn<QByteArray>("rowText");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("four fields") << QByteArray("1996/07/04\t6.2 Miles\t00:45:10\tHot")
                                     << QByteArray("1996/07/04|6.2 Miles|00:45:10|Hot");
        QTest::newRow("tab inside notes") << QByteArray("d\tx\tt\ta\tb\t") << QByteArray("d|x|t|a\tb\t");
        QTest::newRow("notes start with a tab") << QByteArray("d\tx\tt\t\tn") << QByteArray("d|x|t|\tn");
        QTest::newRow("empty distance collapses") << QByteArray("d\t\tt\tn") << QByteArray("d|t|n|");
        QTest::newRow("three fields") << QByteArray("d\tx\tt") << QByteArray("d|x|t|");
        QTest::newRow("tab after third field") << QByteArray("d\tx\tt\t") << QByteArray("d|x|t|");
        QTest::newRow("leading tabs skipped") << QByteArray("\t\td\tx\tt\tn") << QByteArray("d|x|t|n");
        QTest::newRow("date only") << QByteArray("d") << QByteArray("d|||");
        QTest::newRow("empty text") << QByteArray() << QByteArray("|||");
        QTest::newRow("reserved bytes kept") << QByteArray("d\tx\tt\ta\xA0\xA0z") << QByteArray("d|x|t|a\xA0\xA0z");
    }
    void appendRowSplits() {
        QFETCH(QByteArray, rowText);
        QFETCH(QByteArray, expected);
        LogList list;
        list.AppendRow("a\tb\tc\td");
        QCOMPARE(list.AppendRow(rowText.toStdString()), 1);
        QCOMPARE(list.RowCount(), 2);
        QCOMPARE(RowTexts(list, 1), expected);
        QCOMPARE(RowTexts(list, 0), QByteArray("a|b|c|d"));
        QVERIFY(!list.SelectedRow());
    }

    void readEntryCutsToWidths() {
        LogList list;
        const std::string longDistance(20, '7');
        const std::string longNotes(800, 'n');
        list.AppendRow("2001/01/01\t" + longDistance + "\t00:01:02\t" + longNotes);
        QCOMPARE(list.Text(0, DistanceColumn).size(), longDistance.size());
        QCOMPARE(list.Text(0, NotesColumn).size(), longNotes.size());
        const LogEntry entry = list.ReadEntry(0);
        QCOMPARE(entry.Distance, longDistance.substr(0, DistanceWidth));
        QCOMPARE(entry.Notes, longNotes.substr(0, NotesWidth));
        QCOMPARE(entry.Date, std::string("2001/01/01"));
    }

    void joinEntryAndAppendEntry() {
        const LogEntry entry{"2001/01/01", "5 Miles", "00:40:00", "a\tb"};
        QCOMPARE(LogList::JoinEntry(entry), std::string("2001/01/01\t5 Miles\t00:40:00\ta\tb"));
        LogList list;
        list.AppendRow(LogList::JoinEntry(entry));
        list.AppendEntry(LogEntry{"", "", "t", "n"});
        QCOMPARE(list.ReadEntry(0), entry);
        QCOMPARE(RowTexts(list, 1), QByteArray("||t|n"));
    }

    void removeRowKeepsSelection_data() {
        QTest::addColumn<int>("selected");
        QTest::addColumn<int>("removed");
        QTest::addColumn<int>("expectedSelection"); // -1: none
        QTest::addColumn<QByteArrayList>("expectedDates");
        QTest::newRow("selected row removed") << 1 << 1 << -1 << QByteArrayList{"a", "c"};
        QTest::newRow("earlier row removed") << 2 << 0 << 1 << QByteArrayList{"b", "c"};
        QTest::newRow("later row removed") << 0 << 2 << 0 << QByteArrayList{"a", "b"};
        QTest::newRow("no selection") << -1 << 0 << -1 << QByteArrayList{"b", "c"};
    }
    void removeRowKeepsSelection() {
        QFETCH(int, selected);
        QFETCH(int, removed);
        QFETCH(int, expectedSelection);
        QFETCH(QByteArrayList, expectedDates);
        LogList list = ListOfDates({"a", "b", "c"});
        list.Select(selected);
        list.RemoveRow(removed);
        QCOMPARE(list.SelectedRow().value_or(-1), expectedSelection);
        QCOMPARE(Column(list, DateColumn), expectedDates);
    }

    void clearRowsEmptiesAndAcceptsNewRows() {
        LogList list = ListOfDates({"a", "b"});
        list.Select(1);
        list.ClearRows();
        QCOMPARE(list.RowCount(), 0);
        QVERIFY(!list.SelectedRow());
        list.AppendRow("x\ty\tz\tw");
        QCOMPARE(RowTexts(list, 0), QByteArray("x|y|z|w"));
    }

    void rowsBiggerThanABlock() {
        LogList list;
        const std::string huge(std::size_t{6} << 20, 'h');
        list.AppendRow("a\tb\tc\td");
        list.AppendRow("d\tx\tt\t" + huge);
        list.AppendRow("e\tf\tg\th");
        for (int i = 0; i < 100000; ++i) {
            list.AppendRow("2001/01/01\t5 Miles\t00:40:00\tNone");
        }
        QCOMPARE(RowTexts(list, 0), QByteArray("a|b|c|d"));
        QVERIFY(list.Text(1, NotesColumn) == huge);
        QCOMPARE(RowTexts(list, 2), QByteArray("e|f|g|h"));
        QCOMPARE(RowTexts(list, 100002), QByteArray("2001/01/01|5 Miles|00:40:00|None"));
    }

    void copiesAreDeep() {
        LogList original = ListOfDates({"a", "b", "c"});
        original.Select(2);
        LogList copy(original);
        LogList assigned;
        assigned.AppendRow("z");
        assigned = original;
        original.RemoveRow(0);
        original.AppendRow("q");
        original.ClearRows();
        for (const LogList *list : {&copy, &assigned}) {
            QCOMPARE(Column(*list, DateColumn), (QByteArrayList{"a", "b", "c"}));
            QCOMPARE(list->SelectedRow().value_or(-1), 2);
            QCOMPARE(RowTexts(*list, 1), QByteArray("b|1 Miles|00:10:00|None"));
        }
    }

    // Equal texts of a column share one number and are kept once; a view of a text stays valid however many texts
    // come after it, through a move of the list too.
    void textsKeptOncePerColumn() {
        LogList list = ListOfDates({"a", "b", "a"});
        QCOMPARE(list.TextId(0, DateColumn), list.TextId(2, DateColumn));
        QVERIFY(list.TextId(0, DateColumn) != list.TextId(1, DateColumn));
        QCOMPARE(list.ColumnTexts(DateColumn).Size(), std::size_t{2});
        QCOMPARE(list.ColumnTexts(NotesColumn).Size(), std::size_t{1});
        const std::string_view early = list.Text(1, DistanceColumn);
        for (int i = 0; i < 100000; ++i) {
            list.AppendEntry(LogEntry{std::to_string(i), std::to_string(i) + " Miles", "t", std::string(i % 50, 'n')});
        }
        const LogList moved(std::move(list));
        QVERIFY(early == "1 Miles");
        QVERIFY(early.data() == moved.Text(1, DistanceColumn).data());
        QCOMPARE(RowTexts(moved, 100002), QByteArray("99999|99999 Miles|t|" + QByteArray(49, 'n')));
    }

    // Appending another list gives the rows that appending its rows one by one gives, numbered in this list's
    // tables, whichever texts the two share.
    void appendListMatchesRowByRow_data() {
        QTest::addColumn<QByteArrayList>("first");
        QTest::addColumn<QByteArrayList>("second");
        QTest::addColumn<int>("repeats"); // of the second list's rows
        QTest::addColumn<int>("threads");
        QTest::newRow("both empty") << QByteArrayList{} << QByteArrayList{} << 1 << 1;
        QTest::newRow("into an empty list") << QByteArrayList{} << QByteArrayList{"a\tb", "a\tc"} << 1 << 1;
        QTest::newRow("texts shared") << QByteArrayList{"a\tb\tc\td", "e"} << QByteArrayList{"e\tb", "a\tb\tc\td"} << 1
                                      << 1;
        QTest::newRow("texts new") << QByteArrayList{"a"} << QByteArrayList{"x\ty\tz\tw", "", "\t\t\tn"} << 1 << 1;
        // More rows than a thread takes at a time.
        QTest::newRow("many rows on two threads")
            << QByteArrayList{"a\tb"} << QByteArrayList{"x\ty\tz\tw", "a\tb\tq", "n\tm"} << 30000 << 2;
    }
    void appendListMatchesRowByRow() {
        QFETCH(QByteArrayList, first);
        QFETCH(QByteArrayList, second);
        QFETCH(int, repeats);
        QFETCH(int, threads);
        LogList joined;
        LogList other;
        LogList expected;
        for (const QByteArray &row : first) {
            joined.AppendRow(row.toStdString());
            expected.AppendRow(row.toStdString());
        }
        for (int time = 0; time < repeats; ++time) {
            for (const QByteArray &row : second) {
                other.AppendRow(row.toStdString());
                expected.AppendRow(row.toStdString());
            }
        }
        joined.AppendList(other, static_cast<std::size_t>(threads));
        QCOMPARE(joined.RowCount(), expected.RowCount());
        for (int row = 0; row < expected.RowCount(); ++row) {
            QCOMPARE(RowTexts(joined, row), RowTexts(expected, row));
            for (int c = 0; c < ColumnCount; ++c) {
                QCOMPARE(joined.TextId(row, c), expected.TextId(row, c));
            }
        }
    }

    void byteCollation_data() {
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("second");
        QTest::addColumn<int>("sign");
        QTest::newRow("equal") << QByteArray("abc") << QByteArray("abc") << 0;
        QTest::newRow("less") << QByteArray("abc") << QByteArray("abd") << -1;
        QTest::newRow("prefix first") << QByteArray("ab") << QByteArray("abc") << -1;
        QTest::newRow("case sensitive") << QByteArray("a") << QByteArray("B") << 1;
        QTest::newRow("high bytes after ascii") << QByteArray("\xE9") << QByteArray("z") << 1;
        QTest::newRow("digits before letters") << QByteArray("2001/01/01") << QByteArray("No Date") << -1;
    }
    void byteCollation() {
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, second);
        QFETCH(int, sign);
        const int r = ByteCollation(first.toStdString(), second.toStdString());
        QCOMPARE((r > 0) - (r < 0), sign);
    }

    void sortByColumnClicks_data() {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QByteArrayList>("expectedDates");
        QTest::addColumn<bool>("ascending");
        // Rows: (date, distance) = (b, 10 Miles), (No Date, 9 Miles), (a, 6 Kilometers), (c, 6 Miles)
        QTest::newRow("first click ascending")
            << QList<int>{DateColumn} << QByteArrayList{"No Date", "a", "b", "c"} << true;
        QTest::newRow("second click descending")
            << QList<int>{DateColumn, DateColumn} << QByteArrayList{"c", "b", "a", "No Date"} << false;
        QTest::newRow("other column ascending again")
            << QList<int>{DateColumn, DateColumn, DistanceColumn} << QByteArrayList{"b", "a", "c", "No Date"} << true;
    }
    void sortByColumnClicks() {
        QFETCH(QList<int>, clicks);
        QFETCH(QByteArrayList, expectedDates);
        QFETCH(bool, ascending);
        LogList list;
        list.AppendRow("b\t10 Miles\tt\tn");
        list.AppendRow("No Date\t9 Miles\tt\tn");
        list.AppendRow("a\t6 Kilometers\tt\tn");
        list.AppendRow("c\t6 Miles\tt\tn");
        SortState state;
        for (int column : clicks) {
            SortByColumn(list, state, column);
        }
        QCOMPARE(Column(list, DateColumn), expectedDates);
        QCOMPARE(state.SortColumn, clicks.last());
        QCOMPARE(state.SortAscending, ascending);
    }

    void sortIsStableAndSelectionFollows() {
        LogList list;
        list.AppendRow("b\t1\tt\tfirst");
        list.AppendRow("a\t1\tt\tsecond");
        list.AppendRow("b\t1\tt\tthird");
        list.AppendRow("a\t1\tt\tfourth");
        list.Select(2);
        SortState state;
        SortByColumn(list, state, DateColumn);
        QCOMPARE(Column(list, NotesColumn), (QByteArrayList{"second", "fourth", "first", "third"}));
        QCOMPARE(list.SelectedRow().value_or(-1), 3);
        SortByColumn(list, state, DateColumn);
        QCOMPARE(Column(list, NotesColumn), (QByteArrayList{"first", "third", "second", "fourth"}));
        QCOMPARE(list.SelectedRow().value_or(-1), 1);
    }

    void sortComparesFirst259Bytes() {
        const std::string common(SortTextWidth, 'x');
        LogList list;
        list.AppendRow("1\td\tt\t" + common + "b");
        list.AppendRow("2\td\tt\t" + common + "a");
        list.AppendRow("3\td\tt\ty");
        SortState state;
        SortByColumn(list, state, NotesColumn);
        QCOMPARE(Column(list, DateColumn), (QByteArrayList{"1", "2", "3"}));
        SortByColumn(list, state, NotesColumn);
        QCOMPARE(Column(list, DateColumn), (QByteArrayList{"3", "1", "2"}));
    }

    void sortUsesGivenCollation() {
        LogList list = ListOfDates({"b", "C", "a"});
        const Collation caseBlind = [](std::string_view a, std::string_view b) {
            return QByteArray(a.data(), static_cast<qsizetype>(a.size()))
                .compare(QByteArray(b.data(), static_cast<qsizetype>(b.size())), Qt::CaseInsensitive);
        };
        SortState state;
        SortByColumn(list, state, DateColumn, caseBlind);
        QCOMPARE(Column(list, DateColumn), (QByteArrayList{"a", "b", "C"}));
        SortByColumn(list, state, DateColumn);
        QCOMPARE(Column(list, DateColumn), (QByteArrayList{"b", "a", "C"}));
    }

    void sortSmallLists() {
        LogList empty;
        SortState state;
        SortByColumn(empty, state, DateColumn);
        QCOMPARE(empty.RowCount(), 0);
        LogList one = ListOfDates({"only"});
        one.Select(0);
        SortByColumn(one, state, DateColumn);
        QCOMPARE(Column(one, DateColumn), QByteArrayList{"only"});
        QCOMPARE(one.SelectedRow().value_or(-1), 0);
    }

    // Rows are moved in place along the cycles of the order: every row must land where a stable sort of the
    // keys puts it, and the selection must move with its row.
    void sortPlacesEveryRow_data() {
        QTest::addColumn<int>("selected");
        QTest::newRow("none") << -1;
        QTest::newRow("first") << 0;
        QTest::newRow("middle") << 517;
        QTest::newRow("last") << 999;
    }
    void sortPlacesEveryRow() {
        QFETCH(int, selected);
        std::mt19937 random(11);
        LogList list;
        std::vector<std::pair<std::string, int>> expected;
        for (int i = 0; i < 1000; ++i) {
            const std::string key(1, static_cast<char>('a' + random() % 26));
            list.AppendEntry(LogEntry{key, std::to_string(i), "t", "n"});
            expected.emplace_back(key, i);
        }
        list.Select(selected);
        list.Sort(TPQLStringComparator(list, DateColumn, true));
        std::stable_sort(expected.begin(), expected.end(),
                         [](const auto &a, const auto &b) { return a.first < b.first; });
        int expectedSelection = -1;
        for (int row = 0; row < list.RowCount(); ++row) {
            const auto &[key, id] = expected[static_cast<std::size_t>(row)];
            QCOMPARE(RowTexts(list, row), QByteArray::fromStdString(key + '|' + std::to_string(id) + "|t|n"));
            if (id == selected) {
                expectedSelection = row;
            }
        }
        QCOMPARE(list.SelectedRow().value_or(-1), expectedSelection);
    }

    // The keyed byte sort must give exactly the order of the comparator, ties and NUL padding included.
    void keyedSortMatchesComparator_data() {
        QTest::addColumn<bool>("ascending");
        QTest::newRow("ascending") << true;
        QTest::newRow("descending") << false;
    }
    void keyedSortMatchesComparator() {
        QFETCH(bool, ascending);
        std::mt19937 random(7);
        LogList list;
        const std::string alphabet("ab\0\xFF", 4);
        for (int i = 0; i < 2000; ++i) {
            std::string notes(random() % 20, 'a');
            for (char &c : notes) {
                c = alphabet[random() % alphabet.size()];
            }
            list.AppendEntry(LogEntry{std::to_string(i), "d", "t", notes});
        }
        LogList viaComparator(list);
        viaComparator.Sort(TPQLStringComparator(viaComparator, NotesColumn, ascending));
        list.SortByBytes(NotesColumn, ascending);
        QCOMPARE(Column(list, DateColumn), Column(viaComparator, DateColumn));
    }

    // The counting sort by ranks gives exactly the stable comparison sort's order, ties included.
    void rankedSortMatchesComparator_data() {
        QTest::addColumn<int>("distinctRanks");
        QTest::newRow("all tied") << 1;
        QTest::newRow("many ties") << 7;
        QTest::newRow("few ties") << 1500;
    }
    void rankedSortMatchesComparator() {
        QFETCH(int, distinctRanks);
        std::mt19937 random(11);
        LogList list;
        std::vector<int> ranks;
        for (int i = 0; i < 2000; ++i) {
            list.AppendEntry(LogEntry{std::to_string(i), "d", "t", "n"});
            ranks.push_back(static_cast<int>(random() % static_cast<unsigned>(distinctRanks)));
        }
        list.Select(1234);
        LogList compared(list);
        compared.Sort(RankComparator(ranks, false));
        list.Sort(RankComparator(ranks, true));
        QCOMPARE(Column(list, DateColumn), Column(compared, DateColumn));
        QCOMPARE(list.SelectedRow(), compared.SelectedRow());
    }
};

QTEST_APPLESS_MAIN(tst_LogList)
#include "tst_LogList.moc"
