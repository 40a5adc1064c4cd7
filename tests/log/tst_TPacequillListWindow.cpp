#include <QHeaderView>
#include <QHelpEvent>
#include <QMainWindow>
#include <QPushButton>
#include <QToolTip>
#include <QtTest>

#include <functional>

#include <memory>

#include "calc/EntryCommands.h"
#include "calc/TPacequillCalc.h"
#include "frame/DialogTemplate.h"
#include "log/LocaleCollation.h"
#include "log/TPacequillDlgClient.h"
#include "log/TPacequillListWindow.h"
#include "shell/DocumentModules.h"

namespace {

// Rows appended out of date order, with notes that differ only in case.
constexpr const char *Runs[] = {
    "2001/05/03\t10 Kilometers\t00:50:10\tbeach",
    "2001/05/01\t3 Miles\t00:24:00\tBeach",
    "No Date\t9 Miles\t01:12:00\tapple",
    "2001/05/02\t5 Miles\t00:41:30\tBanana",
};

QStringList ColumnTexts(const TPacequillDlgClient &client, int column) {
    const LogTableModel &model = const_cast<TPacequillDlgClient &>(client).Rows();
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts.append(model.index(row, column).data().toString());
    return texts;
}

} // namespace

class TestListWindow : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void placedFromTemplate();
    void columnWidthsFromOuterWidth();
    void headerFixed();
    void headerClicksToggleSort_data();
    void headerClicksToggleSort();
    void sortStateSurvivesNew();
    void selectionFollowsItsRow();
    void viewSelectionReachesList();
    void keysMoveBetweenRows_data();
    void keysMoveBetweenRows();
    void textsDecodedFrom1252();
    void collationIsCaseSensitiveAndCut();
    void sortEmptyAndSingleRow();
    void sortArrowOnlyWhileSorted_data();
    void sortArrowOnlyWhileSorted();
    void cutCellsShowTheirText_data();
    void cutCellsShowTheirText();

private:
    void ClickHeader(int column);

    std::unique_ptr<QMainWindow> Frame;
    TPacequillDlgClient *Client = nullptr;
    TPacequillListWindow *List = nullptr;
};

void TestListWindow::init() {
    Frame = std::make_unique<QMainWindow>();
    Client = NewDocumentClient();
    Frame->setCentralWidget(Client);
    Client->SetupWindow({});
    for (const char *run : Runs)
        Client->Rows().AppendRow(run);
    List = Client->findChild<TPacequillListWindow *>(QStringLiteral("190"));
    QVERIFY(List);
    Frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(Frame.get()));
}

void TestListWindow::cleanup() {
    Frame.reset();
}

void TestListWindow::ClickHeader(int column) {
    QHeaderView *header = List->horizontalHeader();
    const QPoint centre(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
}

void TestListWindow::placedFromTemplate() {
    const DialogTemplate dialog = DialogTemplate::Load(TPacequillDlgClient::TemplateId);
    QCOMPARE(Client->sizeHint(), dialog.PixelSize());
    QCOMPARE(List->geometry(), dialog.ToPixels(8, 7, 300, 196));
    QCOMPARE(List->focusPolicy(), Qt::StrongFocus);
}

void TestListWindow::columnWidthsFromOuterWidth() {
    const int w = List->frameGeometry().width();
    QCOMPARE(List->horizontalHeader()->sectionSize(0), 3 * w / 20);
    QCOMPARE(List->horizontalHeader()->sectionSize(1), w / 5);
    QCOMPARE(List->horizontalHeader()->sectionSize(2), w / 5);
    QCOMPARE(List->horizontalHeader()->sectionSize(3), 9 * w / 20 - 20);

    // Widths are set once: a later resize of the window leaves them.
    Frame->resize(Frame->width() + 200, Frame->height());
    QCOMPARE(List->horizontalHeader()->sectionSize(0), 3 * w / 20);
}

void TestListWindow::headerFixed() {
    QHeaderView *header = List->horizontalHeader();
    QVERIFY(!header->sectionsMovable());
    QVERIFY(!header->stretchLastSection());
    for (int column = 0; column < header->count(); ++column)
        QCOMPARE(header->sectionResizeMode(column), QHeaderView::Fixed);
    QVERIFY(List->verticalHeader()->isHidden());
    QCOMPARE(List->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
    QVERIFY(List->verticalHeader()->defaultSectionSize() > List->fontMetrics().height());
    QVERIFY(!List->showGrid());
    QCOMPARE(List->selectionMode(), QAbstractItemView::SingleSelection);
    QCOMPARE(List->selectionBehavior(), QAbstractItemView::SelectRows);

    // Dragging a column border changes nothing.
    const int border = header->sectionViewportPosition(1) - 1;
    const int before = header->sectionSize(0);
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(border, header->height() / 2));
    QTest::mouseMove(header->viewport(), QPoint(border + 40, header->height() / 2));
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(border + 40, header->height() / 2));
    QCOMPARE(header->sectionSize(0), before);
}

void TestListWindow::headerClicksToggleSort_data() {
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("ascending");
    QTest::addColumn<QStringList>("dates");

    const QStringList ascendingDates{"2001/05/01", "2001/05/02", "2001/05/03", "No Date"};
    QStringList descendingDates = ascendingDates;
    std::reverse(descendingDates.begin(), descendingDates.end());
    QTest::newRow("first click") << QList<int>{0} << 0 << true << ascendingDates;
    QTest::newRow("second click") << QList<int>{0, 0} << 0 << false << descendingDates;
    QTest::newRow("third click") << QList<int>{0, 0, 0} << 0 << true << ascendingDates;
    // Distances sort as text: "10 Kilometers" before "3 Miles".
    QTest::newRow("other column") << QList<int>{0, 0, 1} << 1 << true
                                  << QStringList{"2001/05/03", "2001/05/01", "2001/05/02", "No Date"};
}

void TestListWindow::headerClicksToggleSort() {
    QFETCH(QList<int>, clicks);
    QFETCH(int, column);
    QFETCH(bool, ascending);
    QFETCH(QStringList, dates);

    for (const int click : clicks)
        ClickHeader(click);
    QCOMPARE(Client->GetSortState().SortColumn, column);
    QCOMPARE(Client->GetSortState().SortAscending, ascending);
    QCOMPARE(ColumnTexts(*Client, 0), dates);
    QCOMPARE(List->horizontalHeader()->sortIndicatorSection(), column);
    QVERIFY(!Client->GetChanged());
}

void TestListWindow::sortStateSurvivesNew() {
    ClickHeader(2);
    ClickHeader(2);
    Client->New();
    QCOMPARE(Client->GetSortState().SortColumn, 2);
    QCOMPARE(Client->GetSortState().SortAscending, false);
    Client->Rows().AppendRow(Runs[0]);
    ClickHeader(2);
    QCOMPARE(Client->GetSortState().SortAscending, true);
}

void TestListWindow::selectionFollowsItsRow() {
    Client->ShowAndSelect(1); // 2001/05/01
    for (const int expectedRow : {0, 3}) {
        ClickHeader(0);
        QCOMPARE(Client->FindSelectedRow(), std::optional<int>(expectedRow));
        const QModelIndexList selected = List->selectionModel()->selectedRows();
        QCOMPARE(selected.size(), 1);
        QCOMPARE(selected.constFirst().row(), expectedRow);
        QCOMPARE(List->currentIndex().row(), expectedRow);
        QCOMPARE(selected.constFirst().data().toString(), QStringLiteral("2001/05/01"));
    }
}

void TestListWindow::viewSelectionReachesList() {
    const QRect rowRect = List->visualRect(Client->Rows().index(2, 1));
    QTest::mouseClick(List->viewport(), Qt::LeftButton, {}, rowRect.center());
    QCOMPARE(Client->FindSelectedRow(), std::optional<int>(2));

    List->clearSelection();
    QCOMPARE(Client->FindSelectedRow(), std::nullopt);
}

void TestListWindow::keysMoveBetweenRows_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("selected");

    QTest::newRow("down") << 1 << int(Qt::Key_Down) << 2;
    QTest::newRow("up") << 1 << int(Qt::Key_Up) << 0;
    QTest::newRow("end") << 1 << int(Qt::Key_End) << 3;
    QTest::newRow("home") << 2 << int(Qt::Key_Home) << 0;
    QTest::newRow("right keeps the row") << 2 << int(Qt::Key_Right) << 2;
    QTest::newRow("left keeps the row") << 2 << int(Qt::Key_Left) << 2;
}

void TestListWindow::keysMoveBetweenRows() {
    QFETCH(int, start);
    QFETCH(int, key);
    QFETCH(int, selected);

    Client->ShowAndSelect(start);
    List->setFocus();
    QTest::keyClick(List, static_cast<Qt::Key>(key));
    QCOMPARE(Client->FindSelectedRow(), std::optional<int>(selected));
    QCOMPARE(List->selectionModel()->selectedRows().size(), 1);
    QCOMPARE(List->currentIndex().column(), 0);
}

void TestListWindow::textsDecodedFrom1252() {
    Client->Rows().AppendRow("2001/05/04\t5 Miles\t00:40:00\tCaf\xE9 \x80 5\xA0\xA0next");
    QCOMPARE(Client->Rows().index(4, 3).data().toString(), QStringLiteral(u"Café € 5\u00A0\u00A0next"));
    QCOMPARE(Client->Rows().headerData(0, Qt::Horizontal).toString(), QStringLiteral("Date"));
    QCOMPARE(Client->Rows().headerData(3, Qt::Horizontal).toString(), QStringLiteral("Notes"));
}

void TestListWindow::collationIsCaseSensitiveAndCut() {
    pq::LogList rows;
    rows.AppendRow("d\td\td\tbeach");
    rows.AppendRow("d\td\td\tBeach");
    rows.AppendRow("d\td\td\t" + std::string(259, 'x') + "a");
    rows.AppendRow("d\td\td\t" + std::string(259, 'x') + "b");
    const LocaleCollation ascending(rows, pq::NotesColumn, true);
    const LocaleCollation descending(rows, pq::NotesColumn, false);
    QVERIFY(ascending.Compare(0, 1) != 0);
    QCOMPARE(descending.Compare(0, 1), -ascending.Compare(0, 1));
    QCOMPARE(ascending.Compare(2, 3), 0);
}

void TestListWindow::sortEmptyAndSingleRow() {
    Client->New();
    ClickHeader(3);
    QCOMPARE(Client->Rows().rowCount(), 0);
    Client->Rows().AppendRow(Runs[1]);
    Client->SelectLastRow();
    ClickHeader(3);
    QCOMPARE(ColumnTexts(*Client, 0), QStringList{"2001/05/01"});
    QCOMPARE(Client->FindSelectedRow(), std::optional<int>(0));
}

using ClientStep = std::function<void(TPacequillDlgClient &)>;
Q_DECLARE_METATYPE(ClientStep)

void TestListWindow::sortArrowOnlyWhileSorted_data() {
    QTest::addColumn<ClientStep>("step");
    QTest::addColumn<bool>("arrowAfter");

    // The editor, where a step opens it, confirms what it was given.
    const auto confirmEditor = [] {
        TPacequillCalc::InstallRunner([](TPacequillCalc &editor) {
            editor.show();
            editor.findChild<QPushButton *>(QStringLiteral("906"))->click();
        });
    };
    QTest::newRow("new") << ClientStep([](TPacequillDlgClient &client) { client.New(); }) << false;
    QTest::newRow("open") << ClientStep([](TPacequillDlgClient &client) {
        QVERIFY(client.LoadLog(QStringLiteral(PACEQUILL_TEST_DATA "/current.pquil")));
    }) << false;
    QTest::newRow("add") << ClientStep([confirmEditor](TPacequillDlgClient &client) {
        confirmEditor();
        client.findChild<EntryCommands *>()->AddEntry();
    }) << false;
    QTest::newRow("duplicate") << ClientStep([](TPacequillDlgClient &client) {
        client.ShowAndSelect(0);
        client.findChild<EntryCommands *>()->DuplicateEntry();
    }) << false;
    QTest::newRow("modify") << ClientStep([confirmEditor](TPacequillDlgClient &client) {
        confirmEditor();
        client.ShowAndSelect(0);
        client.findChild<EntryCommands *>()->ModifyEntry();
    }) << false;
    // Deleting a row leaves the others in their order.
    QTest::newRow("delete") << ClientStep([](TPacequillDlgClient &client) { client.Rows().RemoveRow(1); }) << true;
    QTest::newRow("sort again") << ClientStep([](TPacequillDlgClient &client) { client.SortByColumn(1); }) << true;
}

void TestListWindow::sortArrowOnlyWhileSorted() {
    QFETCH(ClientStep, step);
    QFETCH(bool, arrowAfter);

    ClickHeader(0);
    QVERIFY(List->horizontalHeader()->isSortIndicatorShown());
    step(*Client);
    TPacequillCalc::InstallRunner({});
    QCOMPARE(List->horizontalHeader()->isSortIndicatorShown(), arrowAfter);
}

void TestListWindow::cutCellsShowTheirText_data() {
    QTest::addColumn<QString>("notes");
    QTest::addColumn<QString>("tip"); // empty: no tooltip

    const QString longNotes = QStringLiteral("Long run by the river, then hills; ").repeated(6);
    QTest::newRow("cut notes") << longNotes << "<p>" + longNotes + "</p>";
    QTest::newRow("notes that fit") << QStringLiteral("Easy") << QString();
    QTest::newRow("markup shown as text") << QStringLiteral("<b>bold</b> ").repeated(20)
                                          << "<p>" + QStringLiteral("&lt;b&gt;bold&lt;/b&gt; ").repeated(20) + "</p>";
}

void TestListWindow::cutCellsShowTheirText() {
    QFETCH(QString, notes);
    QFETCH(QString, tip);

    Client->Rows().AppendRow(("2001/05/04\t4 Miles\t00:32:00\t" + notes).toStdString());
    const QRect cell = List->visualRect(Client->Rows().index(Client->List().RowCount() - 1, 3));
    QHelpEvent help(QEvent::ToolTip, cell.center(), List->viewport()->mapToGlobal(cell.center()));
    QApplication::sendEvent(List->viewport(), &help);
    if (tip.isEmpty()) {
        QVERIFY(!QToolTip::isVisible());
        return;
    }
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), tip);
    QToolTip::hideText();
}

QTEST_MAIN(TestListWindow)
#include "tst_TPacequillListWindow.moc"
