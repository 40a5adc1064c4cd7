#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTreeView>
#include <QtTest>

#include "frame/DialogTemplate.h"

namespace {

const QByteArray EveryKind = R"({
    "id": 7, "caption": "Every kind", "width": 200, "height": 100,
    "font": { "family": "MS Sans Serif", "pointSize": 8 },
    "controls": [
        { "id": 1, "kind": "static", "text": "Label", "x": 4, "y": 8, "w": 40, "h": 8, "style": ["right"] },
        { "id": 2, "kind": "edit", "text": "", "x": 0, "y": 0, "w": 10, "h": 10, "style": ["readonly", "tabstop"] },
        { "id": 3, "kind": "multiedit", "text": "", "x": 0, "y": 0, "w": 10, "h": 10 },
        { "id": 4, "kind": "button", "text": "Help", "x": 0, "y": 0, "w": 10, "h": 10, "style": ["disabled"] },
        { "id": 5, "kind": "defbutton", "text": "OK", "x": 0, "y": 0, "w": 10, "h": 10, "style": ["tabstop"] },
        { "id": 6, "kind": "combobox", "text": "", "x": 0, "y": 0, "w": 10, "h": 52 },
        { "id": 7, "kind": "groupbox", "text": "Units", "x": 0, "y": 0, "w": 10, "h": 10 },
        { "id": 8, "kind": "listview", "text": "", "x": 0, "y": 0, "w": 10, "h": 10, "style": ["border"] },
        { "id": 9, "kind": "tabbar", "text": "", "x": 0, "y": 0, "w": 10, "h": 10, "style": ["hidden"] }
    ]
})";

template <typename Widget> Widget *Control(QWidget &dialog, int id) {
    return dialog.findChild<Widget *>(QString::number(id), Qt::FindDirectChildrenOnly);
}

} // namespace

class TestDialogTemplate : public QObject {
    Q_OBJECT

private slots:
    void buildsEveryKindNamedById();
    void placesInDialogUnits();
    void rejectsDamagedTables_data();
    void rejectsDamagedTables();
};

void TestDialogTemplate::buildsEveryKindNamedById() {
    DialogTemplate table;
    QString error;
    QVERIFY2(DialogTemplate::Parse(EveryKind, table, error), qPrintable(error));
    QWidget dialog;
    table.Build(&dialog);

    QCOMPARE(dialog.windowTitle(), QStringLiteral("Every kind"));
    QVERIFY(Control<QLabel>(dialog, 1)->alignment() & Qt::AlignRight);
    QVERIFY(Control<QLineEdit>(dialog, 2)->isReadOnly());
    QCOMPARE(Control<QLineEdit>(dialog, 2)->focusPolicy(), Qt::StrongFocus);
    QVERIFY(Control<QPlainTextEdit>(dialog, 3));
    QVERIFY(!Control<QPushButton>(dialog, 4)->isEnabled());
    QVERIFY(Control<QPushButton>(dialog, 5)->isDefault());
    QVERIFY(!Control<QComboBox>(dialog, 6)->isEditable());
    QCOMPARE(Control<QGroupBox>(dialog, 7)->title(), QStringLiteral("Units"));
    QVERIFY(Control<QTreeView>(dialog, 8)->frameShape() != QFrame::NoFrame);
    QVERIFY(Control<QTabBar>(dialog, 9)->isHidden());
}

void TestDialogTemplate::placesInDialogUnits() {
    DialogTemplate table;
    QString error;
    QVERIFY(DialogTemplate::Parse(EveryKind, table, error));
    QWidget dialog;
    table.Build(&dialog);

    const QFontMetrics metrics(table.DialogFont());
    // Half the width of the 52 letters over 26, rounded up at the half: the width a dialog unit is measured by.
    const int across =
        (metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 26 + 1) /
        2;
    const int down = metrics.height();
    QCOMPARE(table.BaseUnits(), QSize(across, down));
    QCOMPARE(Control<QLabel>(dialog, 1)->geometry(), QRect(qRound(4 * across / 4.0), qRound(8 * down / 8.0),
                                                           qRound(40 * across / 4.0), qRound(8 * down / 8.0)));
    // A drop-down list is as high as its closed box, not as its table height with the list dropped down.
    const QComboBox *list = Control<QComboBox>(dialog, 6);
    QCOMPARE(list->height(), list->sizeHint().height());
    QVERIFY(list->height() < qRound(52 * down / 8.0));
    QCOMPARE(dialog.size(), QSize(qRound(200 * across / 4.0), qRound(100 * down / 8.0)));
    QCOMPARE(table.PixelSize(), dialog.size());
}

void TestDialogTemplate::rejectsDamagedTables_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::newRow("not json") << QByteArray("{ id: 3");
    QTest::newRow("unknown kind") << QByteArray(R"({"id": 3, "controls": [{"id": 1, "kind": "slider"}]})");
}

void TestDialogTemplate::rejectsDamagedTables() {
    QFETCH(QByteArray, json);
    DialogTemplate table;
    QString error;
    QVERIFY(!DialogTemplate::Parse(json, table, error));
    QVERIFY(!error.isEmpty());
}

QTEST_MAIN(TestDialogTemplate)
#include "tst_DialogTemplate.moc"
