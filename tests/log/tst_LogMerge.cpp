#include <QtTest>

#include "log/LogMerge.h"

using namespace pq;

namespace {

// Each row written as its four texts joined by '|'; a row of one letter stands for that letter in every field.
LogList Log(const QByteArrayList &rows) {
    LogList list;
    for (const QByteArray &row : rows) {
        const QByteArrayList texts = row.contains('|') ? row.split('|') : QByteArrayList{row, row, row, row};
        list.AppendEntry(
            {texts[0].toStdString(), texts[1].toStdString(), texts[2].toStdString(), texts[3].toStdString()});
    }
    return list;
}

QByteArrayList Rows(const LogList &list) {
    QByteArrayList rows;
    for (int i = 0; i < list.RowCount(); ++i) {
        QByteArray row;
        for (int c = 0; c < ColumnCount; ++c) {
            const std::string_view text = list.Text(i, c);
            row += (c > 0 ? "|" : "") + QByteArray(text.data(), static_cast<qsizetype>(text.size()));
        }
        rows << row;
    }
    return rows;
}

QByteArrayList Spelled(const QByteArrayList &rows) {
    QByteArrayList spelled;
    for (const QByteArray &row : rows) {
        spelled << (row.contains('|') ? row : row + '|' + row + '|' + row + '|' + row);
    }
    return spelled;
}

} // namespace

class tst_LogMerge : public QObject {
    Q_OBJECT

private slots:
    void threeWay_data() {
        QTest::addColumn<QByteArrayList>("base");
        QTest::addColumn<QByteArrayList>("held");
        QTest::addColumn<QByteArrayList>("file");
        QTest::addColumn<QByteArrayList>("expected");
        QTest::addColumn<int>("added");
        QTest::addColumn<int>("removed");
        QTest::newRow("nothing changed") << QByteArrayList{"a", "b"} << QByteArrayList{"a", "b"}
                                         << QByteArrayList{"a", "b"} << QByteArrayList{"a", "b"} << 0 << 0;
        QTest::newRow("held duplicated, file appended")
            << QByteArrayList{"a", "b"} << QByteArrayList{"a", "b", "b"} << QByteArrayList{"a", "b", "c"}
            << QByteArrayList{"a", "b", "b", "c"} << 1 << 0;
        QTest::newRow("file removed a held row") << QByteArrayList{"a", "b", "c"} << QByteArrayList{"a", "b", "c", "d"}
                                                 << QByteArrayList{"a", "c"} << QByteArrayList{"a", "c", "d"} << 0 << 1;
        QTest::newRow("both removed the same row")
            << QByteArrayList{"a", "b"} << QByteArrayList{"a"} << QByteArrayList{"a"} << QByteArrayList{"a"} << 0 << 0;
        QTest::newRow("removed here, kept there") << QByteArrayList{"a", "b"} << QByteArrayList{"a"}
                                                  << QByteArrayList{"a", "b"} << QByteArrayList{"a"} << 0 << 0;
        QTest::newRow("changed on both sides: both kept")
            << QByteArrayList{"d|1 Miles|t|n"} << QByteArrayList{"d|2 Miles|t|n"} << QByteArrayList{"d|3 Miles|t|n"}
            << QByteArrayList{"d|2 Miles|t|n", "d|3 Miles|t|n"} << 1 << 0;
        QTest::newRow("equal rows are counted")
            << QByteArrayList{"a", "a"} << QByteArrayList{"a", "a", "a"} << QByteArrayList{"a", "a", "a", "a"}
            << QByteArrayList{"a", "a", "a", "a", "a"} << 2 << 0;
        QTest::newRow("one of equal rows removed there")
            << QByteArrayList{"a", "b", "a"} << QByteArrayList{"a", "b", "a", "c"} << QByteArrayList{"b", "a"}
            << QByteArrayList{"b", "a", "c"} << 0 << 1;
        QTest::newRow("added rows keep the file's order")
            << QByteArrayList{"a"} << QByteArrayList{"a", "z"} << QByteArrayList{"c", "a", "b"}
            << QByteArrayList{"a", "z", "c", "b"} << 2 << 0;
        QTest::newRow("empty base") << QByteArrayList{} << QByteArrayList{"a"} << QByteArrayList{"b"}
                                    << QByteArrayList{"a", "b"} << 1 << 0;
        QTest::newRow("file emptied") << QByteArrayList{"a", "b"} << QByteArrayList{"a", "b", "c"} << QByteArrayList{}
                                      << QByteArrayList{"c"} << 0 << 2;
    }
    void threeWay() {
        QFETCH(QByteArrayList, base);
        QFETCH(QByteArrayList, held);
        QFETCH(QByteArrayList, file);
        QFETCH(QByteArrayList, expected);
        QFETCH(int, added);
        QFETCH(int, removed);
        const MergedLog merged = MergeThreeWay(Log(base), Log(held), Log(file));
        QCOMPARE(Rows(merged.Rows), Spelled(expected));
        QCOMPARE(merged.Added, std::size_t(added));
        QCOMPARE(merged.Removed, std::size_t(removed));
    }

    void twoWay_data() {
        QTest::addColumn<QByteArrayList>("first");
        QTest::addColumn<QByteArrayList>("second");
        QTest::addColumn<QByteArrayList>("expected");
        QTest::newRow("same rows") << QByteArrayList{"a", "b"} << QByteArrayList{"b", "a"} << QByteArrayList{"a", "b"};
        QTest::newRow("each has its own")
            << QByteArrayList{"a", "b"} << QByteArrayList{"c", "a", "d"} << QByteArrayList{"a", "b", "c", "d"};
        QTest::newRow("second lacks rows: none removed")
            << QByteArrayList{"a", "b", "c"} << QByteArrayList{"b"} << QByteArrayList{"a", "b", "c"};
        QTest::newRow("equal rows are counted")
            << QByteArrayList{"a"} << QByteArrayList{"a", "b", "a"} << QByteArrayList{"a", "b", "a"};
        QTest::newRow("second empty") << QByteArrayList{"a"} << QByteArrayList{} << QByteArrayList{"a"};
    }
    void twoWay() {
        QFETCH(QByteArrayList, first);
        QFETCH(QByteArrayList, second);
        QFETCH(QByteArrayList, expected);
        const MergedLog merged = MergeTwoWay(Log(first), Log(second));
        QCOMPARE(Rows(merged.Rows), Spelled(expected));
        QCOMPARE(merged.Added, std::size_t(expected.size() - first.size()));
        QCOMPARE(merged.Removed, std::size_t{0});
    }
};

QTEST_APPLESS_MAIN(tst_LogMerge)
#include "tst_LogMerge.moc"
