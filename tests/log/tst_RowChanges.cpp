#include <QtTest>

#include <algorithm>

#include "log/LogList.h"
#include "log/RowChanges.h"

using namespace pq;

namespace {

// The rows' texts, sorted: a list as the multiset the merge compares.
QByteArrayList Multiset(const LogList &list) {
    QByteArrayList rows;
    for (int row = 0; row < list.RowCount(); ++row) {
        QByteArray texts;
        for (int column = 0; column < ColumnCount; ++column) {
            const std::string_view text = list.Text(row, column);
            texts += QByteArray::number(static_cast<qsizetype>(text.size())) + ':' +
                     QByteArray(text.data(), static_cast<qsizetype>(text.size()));
        }
        rows << texts;
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

} // namespace

class tst_RowChanges : public QObject {
    Q_OBJECT

private slots:
    // After any edits the base rebuilt from the log and the changes is the base as it was.
    void baseRebuiltAfterEdits_data() {
        QTest::addColumn<QByteArrayList>("base");
        // "+row text" appends a row, "-N" removes row N.
        QTest::addColumn<QByteArrayList>("edits");
        const QByteArray a = "2024/01/01\t5 Miles\t00:40:00\tNone";
        const QByteArray b = "2024/01/02\t3 Miles\t00:25:00\tEasy";
        const QByteArray longNotes = "2024/01/03\t1 Miles\t00:08:00\t" + QByteArray(900, 'n');
        QTest::newRow("no edits") << QByteArrayList{a, b} << QByteArrayList{};
        QTest::newRow("added") << QByteArrayList{a} << QByteArrayList{"+" + b, "+" + a};
        QTest::newRow("removed") << QByteArrayList{a, b, a} << QByteArrayList{"-2", "-0"};
        QTest::newRow("modified") << QByteArrayList{a, b} << QByteArrayList{"-1", "+" + a};
        QTest::newRow("added then removed") << QByteArrayList{a} << QByteArrayList{"+" + b, "-1"};
        QTest::newRow("removed then added back") << QByteArrayList{a, b} << QByteArrayList{"-0", "+" + a};
        QTest::newRow("emptied and refilled") << QByteArrayList{a, b} << QByteArrayList{"-0", "-0", "+" + b, "+\t\t\t"};
        QTest::newRow("whole long notes") << QByteArrayList{longNotes, a} << QByteArrayList{"-0", "+" + b};
        QTest::newRow("from empty") << QByteArrayList{} << QByteArrayList{"+" + a, "+" + a, "-0"};
    }
    void baseRebuiltAfterEdits() {
        QFETCH(QByteArrayList, base);
        QFETCH(QByteArrayList, edits);
        LogList list;
        for (const QByteArray &row : base) {
            list.AppendRow(row.toStdString());
        }
        const QByteArrayList expected = Multiset(list);
        RowChanges changes;
        for (const QByteArray &edit : edits) {
            if (edit.startsWith('+')) {
                changes.Added(list, list.AppendRow(edit.mid(1).toStdString()));
            } else {
                const int row = edit.mid(1).toInt();
                changes.Removed(list, row);
                list.RemoveRow(row);
            }
        }
        QCOMPARE(Multiset(changes.Base(list)), expected);
        QCOMPARE(changes.Empty(), Multiset(list) == expected);
    }
};

QTEST_APPLESS_MAIN(tst_RowChanges)
#include "tst_RowChanges.moc"
