#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QUrl>
#include <QtTest>

#include <memory>

#include "ActivityTemplates.h"
#include "FitWriter.h"
#include "frame/CommandIds.h"
#include "import/ImportCommands.h"
#include "import/ImportReviewDialog.h"
#include "log/TPacequillDlgClient.h"
#include "shell/DocumentModules.h"
#include "support/ScriptedPrompts.h"

using namespace ActivityTemplates;

namespace {

constexpr std::int64_t Start = 1764572400; // 2025-12-01T07:00:00Z
constexpr std::uint32_t FitStart = static_cast<std::uint32_t>(Start - FitWriter::FitEpoch);

// What the review showed: each line's texts and tick, and the unreadable files.
struct Shown {
    QStringList Lines;
    QStringList Failures;
    QString Summary;
    QString AcceptText;
    pq::DistanceUnit FirstUnit = pq::DistanceUnit::Miles;
};

} // namespace

// File > Import Activities... and dropped files: the files are read, the review shows what was found, and OK adds
// the ticked rows at the end of the log as Add Entry does.
class tst_ImportCommands : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ScriptedPrompts> Scripted;
    std::unique_ptr<QTemporaryDir> Temp;
    std::unique_ptr<QMainWindow> Frame;
    TPacequillDlgClient *Client = nullptr;
    Shown Review;

    QString Write(const QString &name, const std::string &bytes) {
        QFile file(Temp->filePath(name));
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write(bytes.data(), qint64(bytes.size()));
        return file.fileName();
    }

    // A review that records what the real dialog shows, optionally switches the unit, and answers.
    void Answer(bool accept, int unitIndex = 0) {
        ImportCommands::SetReviewRunner(
            [this, accept, unitIndex](pq::ImportReview &review, QWidget *parent, std::vector<pq::LogEntry> &rows) {
                ImportReviewDialog dialog(review, parent);
                Review = {};
                Review.FirstUnit = review.Unit();
                dialog.UnitChoice()->setCurrentIndex(unitIndex);
                for (int row = 0; row < dialog.Activities()->topLevelItemCount(); ++row) {
                    const QTreeWidgetItem *item = dialog.Activities()->topLevelItem(row);
                    QStringList texts;
                    // The moving and elapsed times are checked on their own below.
                    for (int column = 0; column < ImportReviewDialog::ColumnCount; ++column)
                        if (column != ImportReviewDialog::MovingColumn && column != ImportReviewDialog::ElapsedColumn)
                            texts << item->text(column);
                    Review.Lines << (item->checkState(0) == Qt::Checked ? "[x] " : "[ ] ") + texts.join(" | ");
                }
                for (int row = 0; row < dialog.UnreadableFiles()->count(); ++row)
                    Review.Failures << dialog.UnreadableFiles()->item(row)->text().remove(Temp->path() + "/");
                Review.Summary = dialog.Summary()->text();
                Review.AcceptText = dialog.AcceptButton()->text();
                rows = dialog.TickedEntries();
                return accept;
            });
    }

    QStringList LogRows() const {
        QStringList rows;
        for (int row = 0; row < Client->List().RowCount(); ++row)
            rows << QString::fromStdString(pq::LogList::JoinEntry(Client->List().ReadEntry(row)));
        return rows;
    }

    QStringList SampleFiles() {
        FitWriter fit;
        fit.AddSession({FitStart + 86400, 1, 3000000, 3000000, 1000000});
        fit.AddSession({FitStart + 90000, 2, 3600000, 3600000, 3000000}, false);
        return {Write("run.gpx", Gpx({GpxTrack("Easy", "", {SteadyRun(Start, 600)})})), Write("week.fit", fit.Bytes()),
                Write("cut.tcx", Tcx({TcxActivity("Running", Start, {{Start, 60, 100}})}).substr(0, 200)),
                Write("old.gpx", Gpx({GpxTrack("Typed", "", {SteadyRun(Start - 86400, 600)})}))};
    }

private slots:
    void init() {
        qputenv("TZ", "UTC");
        Review = {};
        Scripted = std::make_unique<ScriptedPrompts>();
        Temp = std::make_unique<QTemporaryDir>();
        QVERIFY(Temp->isValid());
        qputenv("PACEQUILL_CONFIG_DIR", QFile::encodeName(Temp->path()));
        Frame = std::make_unique<QMainWindow>();
        Client = NewDocumentClient();
        Frame->setCentralWidget(Client);
        Client->SetupWindow({});
        // Already in the log: the same date, distance and time as old.gpx gives.
        Client->Rows().AppendRow("2025/11/30\t1.12 Miles\t00:10:00\tTyped by hand");
        Client->SelectLastRow();
        Client->SetChanged(false);
    }
    void cleanup() {
        ImportCommands::SetReviewRunner({});
        Frame.reset();
        Scripted.reset();
    }

    void reviewAndAdd_data() {
        QTest::addColumn<int>("unitIndex");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("added");
        QTest::newRow("miles")
            << 0
            << QStringList{"[x] 2025/12/01 | Running | 1.12 Miles | 00:10:00 | run.gpx | ",
                           "[x] 2025/12/02 | Running | 6.21 Miles | 00:50:00 | week.fit | ",
                           "[ ] 2025/12/02 | Cycling | 18.64 Miles | 01:00:00 | week.fit | not a run",
                           "[ ] 2025/11/30 | Running | 1.12 Miles | 00:10:00 | old.gpx | already in the log"}
            << QStringList{"2025/12/01\t1.12 Miles\t00:10:00\tEasy", "2025/12/02\t6.21 Miles\t00:50:00\tRunning"};
        QTest::newRow("kilometers: the typed row is no duplicate then")
            << 1
            << QStringList{"[x] 2025/12/01 | Running | 1.80 Kilometers | 00:10:00 | run.gpx | ",
                           "[x] 2025/12/02 | Running | 10.0 Kilometers | 00:50:00 | week.fit | ",
                           "[ ] 2025/12/02 | Cycling | 30.0 Kilometers | 01:00:00 | week.fit | not a run",
                           "[ ] 2025/11/30 | Running | 1.80 Kilometers | 00:10:00 | old.gpx | "}
            << QStringList{"2025/12/01\t1.80 Kilometers\t00:10:00\tEasy",
                           "2025/12/02\t10.0 Kilometers\t00:50:00\tRunning"};
    }
    void reviewAndAdd() {
        QFETCH(int, unitIndex);
        QFETCH(QStringList, lines);
        QFETCH(QStringList, added);
        Scripted->OpenManyAnswers << SampleFiles();
        Answer(true, unitIndex);
        Client->Handle(Cmd::ImportActivities);
        QCOMPARE(Scripted->OpenDialogs.size(), 1);
        QCOMPARE(Scripted->OpenDialogs[0].Filter, ImportCommands::FileDialogFilter());
        QCOMPARE(Scripted->OpenDialogs[0].Title, QStringLiteral("Import Activities"));
        QCOMPARE(Scripted->OpenDialogs[0].AcceptLabel, QStringLiteral("Import"));
        QCOMPARE(Review.Lines, lines);
        QCOMPARE(Review.Failures.size(), 1);
        QVERIFY2(Review.Failures[0].startsWith("cut.tcx: line "), qPrintable(Review.Failures[0]));
        QCOMPARE(Review.Summary,
                 QStringLiteral("4 activities found; %1 already in the log (not ticked); 1 file could not be read.")
                     .arg(unitIndex == 0 ? 1 : 0));
        QCOMPARE(Review.AcceptText, QStringLiteral("&Import 2 Runs"));
        QCOMPARE(Frame->statusBar()->currentMessage(), QStringLiteral("2 runs imported, 2 skipped"));
        QCOMPARE(LogRows(), QStringList{"2025/11/30\t1.12 Miles\t00:10:00\tTyped by hand"} + added);
        QVERIFY(Client->GetChanged());
        QCOMPARE(Client->FindSelectedRow(), std::optional<int>(2));
    }

    // CSV files of pquil export's columns are told by their content, their rows listed as runs as they stand
    // (whatever the unit), a row already in the log not ticked, and a file with a row that does not fit listed as
    // unreadable with its line, field and reason, none of its rows offered.
    void csvFilesThroughTheReview_data() {
        QTest::addColumn<int>("unitIndex");
        QTest::newRow("miles") << 0;
        QTest::newRow("kilometers") << 1;
    }
    void csvFilesThroughTheReview() {
        QFETCH(int, unitIndex);
        const std::string header = "Date,Distance,Time,Notes\r\n";
        Scripted->OpenManyAnswers << QStringList{
            Write("rows.csv", header + "2025/12/03,3 Miles,00:24:00,\"Hills,\r\nwindy\"\r\n" +
                                  "2025/11/30,1.12 Miles,00:10:00,Typed again\r\n"),
            Write("export.txt", "\xEF\xBB\xBF" + header + "2025/12/04,5.0 Kilometers,00:25:00,Park\r\n"),
            Write("bad.csv", header + "2025/12/05,2 Miles,00:16:00,\r\n2025/12/06,2 Miles,0:16:00,\r\n"),
            Write("notes.csv", "Shoes bought today\r\n")};
        Answer(true, unitIndex);
        Client->Handle(Cmd::ImportActivities);
        QCOMPARE(Review.Lines,
                 (QStringList{"[x] 2025/12/03 | Running | 3 Miles | 00:24:00 | rows.csv | ",
                              "[ ] 2025/11/30 | Running | 1.12 Miles | 00:10:00 | rows.csv | already in the log",
                              "[x] 2025/12/04 | Running | 5.0 Kilometers | 00:25:00 | export.txt | "}));
        QCOMPARE(Review.Failures,
                 (QStringList{"bad.csv: line 3: Time: '0:16:00': not a time of the form hh:mm:ss (two or more digits "
                              "each, decimals after the seconds allowed)",
                              "notes.csv: line 1: the first line must be the header Date,Distance,Time,Notes"}));
        QVERIFY(Review.Summary.contains("1 already in the log"));
        QCOMPARE(LogRows(), (QStringList{"2025/11/30\t1.12 Miles\t00:10:00\tTyped by hand",
                                         "2025/12/03\t3 Miles\t00:24:00\tHills,\xA0\xA0windy",
                                         "2025/12/04\t5.0 Kilometers\t00:25:00\tPark"}));
        QCOMPARE(Client->FindSelectedRow(), std::optional<int>(2));
    }

    // A row of a CSV file counts as existing for the files after it, not for the other rows of its own file.
    void csvRowsRepeatedAcrossFiles() {
        const std::string rows = "Date,Distance,Time,Notes\r\n2025/12/03,3 Miles,00:24:00,a\r\n"
                                 "2025/12/03,3 Miles,00:24:00,b\r\n";
        Scripted->OpenManyAnswers << QStringList{Write("first.csv", rows), Write("second.csv", rows)};
        Answer(false);
        Client->Handle(Cmd::ImportActivities);
        QCOMPARE(Review.Lines,
                 (QStringList{"[x] 2025/12/03 | Running | 3 Miles | 00:24:00 | first.csv | ",
                              "[x] 2025/12/03 | Running | 3 Miles | 00:24:00 | first.csv | ",
                              "[ ] 2025/12/03 | Running | 3 Miles | 00:24:00 | second.csv | already in the log",
                              "[ ] 2025/12/03 | Running | 3 Miles | 00:24:00 | second.csv | already in the log"}));
    }

    // The next import starts in the unit of the last accepted review.
    void unitIsRemembered() {
        Scripted->OpenManyAnswers << SampleFiles() << SampleFiles();
        Answer(true, 1);
        Client->Handle(Cmd::ImportActivities);
        QCOMPARE(Review.FirstUnit, pq::DistanceUnit::Miles);
        Client->Handle(Cmd::ImportActivities);
        QCOMPARE(Review.FirstUnit, pq::DistanceUnit::Kilometers);
    }

    void selectAllAndNone() {
        pq::ImportReview review(Client->List());
        pq::Activity run;
        run.Start = Start; // a start the log can hold, so the run is ticked at first
        run.Running = true;
        run.DistanceMeters = 5000;
        run.MovingSeconds = 1500;
        pq::Activity ride = run;
        ride.Running = false;
        ride.Sport = "Biking";
        pq::FileActivities found;
        found.Activities = {run, ride};
        review.AddFile("a.tcx", std::move(found));
        ImportReviewDialog dialog(review);
        QCOMPARE(dialog.AcceptButton()->text(), QStringLiteral("&Import 1 Run"));
        const QList<QPushButton *> buttons = dialog.findChildren<QPushButton *>();
        const auto button = [&buttons](const QString &text) {
            return *std::find_if(buttons.begin(), buttons.end(), [&text](auto *b) { return b->text() == text; });
        };
        button("Select &All")->click();
        QCOMPARE(dialog.TickedEntries().size(), std::size_t{2});
        QCOMPARE(dialog.AcceptButton()->text(), QStringLiteral("&Import 2 Runs"));
        button("Select &None")->click();
        QVERIFY(dialog.TickedEntries().empty());
        QVERIFY(!dialog.AcceptButton()->isEnabled());
        dialog.Activities()->topLevelItem(0)->setCheckState(0, Qt::Checked);
        QCOMPARE(dialog.AcceptButton()->text(), QStringLiteral("&Import 1 Run"));
    }

    // Moving and elapsed time beside each other, the choice of the rows' time remembered for the next review, and a
    // date typed for a run whose clock was not set.
    void timesAndTypedDates() {
        Segment stopped = SteadyRun(Start, 300);
        const double shift = stopped.back().Latitude - stopped.front().Latitude;
        for (Point point : SteadyRun(Start + 600, 300)) {
            point.Latitude += shift;
            stopped.push_back(point);
        }
        const QStringList files = {Write("stop.gpx", Gpx({GpxTrack("Lights", "", {stopped})})),
                                   Write("1901.gpx", Gpx({GpxTrack("Old", "", {SteadyRun(-2177452800, 600)})}))};
        QStringList seen;
        ImportCommands::SetReviewRunner(
            [&seen](pq::ImportReview &review, QWidget *parent, std::vector<pq::LogEntry> &rows) {
                ImportReviewDialog dialog(review, parent);
                QTreeWidget *list = dialog.Activities();
                seen << dialog.TimeChoice()->currentText();
                for (int row = 0; row < list->topLevelItemCount(); ++row)
                    seen << list->topLevelItem(row)->text(ImportReviewDialog::MovingColumn) + " " +
                                list->topLevelItem(row)->text(ImportReviewDialog::ElapsedColumn);
                dialog.TimeChoice()->setCurrentIndex(1);
                seen << list->topLevelItem(0)->text(ImportReviewDialog::TimeColumn);
                list->topLevelItem(1)->setText(ImportReviewDialog::DateColumn, "2025/12/05");
                QCoreApplication::processEvents();
                seen << list->topLevelItem(1)->text(ImportReviewDialog::DateColumn) + " " +
                            (list->topLevelItem(1)->checkState(0) == Qt::Checked ? "ticked" : "not ticked");
                rows = dialog.TickedEntries();
                return true;
            });
        ImportCommands::ImportFiles(*Client, files);
        QCOMPARE(seen, (QStringList{"Moving time", "00:10:00 00:15:00", "00:10:00 00:10:00", "00:15:00",
                                    "2025/12/05 ticked"}));
        QCOMPARE(LogRows().mid(1),
                 (QStringList{"2025/12/01\t1.12 Miles\t00:15:00\tLights", "2025/12/05\t1.12 Miles\t00:10:00\tOld"}));
        seen.clear();
        ImportCommands::SetReviewRunner(
            [&seen](pq::ImportReview &review, QWidget *parent, std::vector<pq::LogEntry> &) {
                seen << ImportReviewDialog(review, parent).TimeChoice()->currentText();
                return false;
            });
        ImportCommands::ImportFiles(*Client, files);
        QCOMPARE(seen, QStringList{"Elapsed time"});
    }

    void cancelAddsNothing() {
        Scripted->OpenManyAnswers << SampleFiles();
        Answer(false);
        Client->Handle(Cmd::ImportActivities);
        QCOMPARE(Review.Lines.size(), 4);
        QCOMPARE(Client->List().RowCount(), 1);
        QVERIFY(!Client->GetChanged());
    }

    void noFilesChosenShowsNoReview() {
        Answer(true);
        Client->Handle(Cmd::ImportActivities);
        QCOMPARE(Scripted->OpenDialogs.size(), 1);
        QVERIFY(Review.Lines.isEmpty());
        QCOMPARE(Client->List().RowCount(), 1);
    }

    void droppedFilesAreImported() {
        const QStringList files = SampleFiles();
        Answer(true);
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(files[0]), QUrl(QStringLiteral("https://example.org/run.gpx"))});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Client, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Client, &drop);
        QTRY_COMPARE(Client->List().RowCount(), 2);
        QCOMPARE(Review.Lines, QStringList{"[x] 2025/12/01 | Running | 1.12 Miles | 00:10:00 | run.gpx | "});
        QVERIFY(Client->GetChanged());
    }

    void dropWithoutFilesIsRefused() {
        QMimeData data;
        data.setText(QStringLiteral("2025/12/01"));
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        enter.setAccepted(false);
        QApplication::sendEvent(Client, &enter);
        QVERIFY(!enter.isAccepted());
    }
};

QTEST_MAIN(tst_ImportCommands)
#include "tst_ImportCommands.moc"
