#include <QtTest>

#include "insight/TagFilterBox.h"
#include "log/LogList.h"

namespace {

pq::LogList MakeLog(const QStringList &rows) {
    pq::LogList list;
    for (const QString &row : rows) {
        // Latin-1 and Windows-1252 agree on the letters used here.
        list.AppendRow(row.toLatin1().toStdString());
    }
    return list;
}

QStringList Items(const TagFilterBox &box) {
    QStringList items;
    for (int item = 0; item < box.count(); ++item) {
        items << box.itemText(item);
    }
    return items;
}

QList<int> Taken(const pq::RowFilter &filter, int rows) {
    QList<int> taken;
    for (int row = 0; row < rows; ++row) {
        if (!filter || filter(row)) {
            taken << row;
        }
    }
    return taken;
}

} // namespace

class TestTagFilterBox : public QObject {
    Q_OBJECT

private slots:
    void offersAllAndTheTags() {
        const pq::LogList list =
            MakeLog({"2024/01/01\t1 Miles\t00:08:00\t#Tempo x", "2024/01/02\t1 Miles\t00:08:00\t#easy #tempo",
                     "2024/01/03\t1 Miles\t00:08:00\tC# only", "No Date\t1 Miles\t00:08:00\t#r\u00E9cup"});
        TagFilterBox box;
        box.SetTags(list);
        QCOMPARE(Items(box), (QStringList{"All", "#easy", QString::fromUtf8("#r\u00E9cup"), "#Tempo"}));
        QCOMPARE(box.Tag(), std::nullopt);
        QCOMPARE(Taken(box.Filter(list), list.RowCount()), (QList<int>{0, 1, 2, 3}));

        QSignalSpy changed(&box, &QComboBox::currentIndexChanged);
        QVERIFY(box.ChooseTag("TEMPO"));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(box.Tag(), std::optional<std::string>("Tempo"));
        QCOMPARE(Taken(box.Filter(list), list.RowCount()), (QList<int>{0, 1}));
    }

    void choiceFollowsTheLog() {
        TagFilterBox box;
        const pq::LogList first = MakeLog({"2024/01/01\t1 Miles\t00:08:00\t#hills #track"});
        box.SetTags(first);
        QVERIFY(box.ChooseTag("track"));
        QSignalSpy changed(&box, &QComboBox::currentIndexChanged);
        const pq::LogList grown = MakeLog({"2024/01/01\t1 Miles\t00:08:00\t#hills #track #easy"});
        box.SetTags(grown);
        QCOMPARE(box.currentText(), QStringLiteral("#track"));
        const pq::LogList without = MakeLog({"2024/01/01\t1 Miles\t00:08:00\t#hills"});
        box.SetTags(without);
        QCOMPARE(box.currentText(), TagFilterBox::AllText);
        QCOMPARE(changed.size(), 0);
        QVERIFY(!box.ChooseTag("track"));
    }
};

QTEST_MAIN(TestTagFilterBox)
#include "tst_TagFilterBox.moc"
