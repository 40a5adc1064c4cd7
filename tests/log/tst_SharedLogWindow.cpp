#include <QFile>
#include <QMainWindow>
#include <QSaveFile>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "frame/Prompts.h"
#include "log/TPacequillDlgClient.h"
#include "shell/DocumentModules.h"
#include "support/ScriptedPrompts.h"

Q_DECLARE_METATYPE(Prompts::Button)

namespace {

const QByteArray Header = "Pacequill version 3.1 log file format\r\n";
const QByteArray Easy = "2024/03/01\t3 Miles\t00:24:00\tEasy";
const QByteArray Tempo = "2024/03/05\t6 Miles\t00:45:30\tTempo";
const QByteArray Long = "2024/03/10\t10 Miles\t01:20:00\tLong";
const QByteArray Imported = "2024/03/12\t5.00 Miles\t00:40:00\tRunning";

QByteArray Log(const QByteArrayList &rows) {
    QByteArray bytes = Header;
    for (const QByteArray &row : rows)
        bytes += "\xA1" + row + "\r\n";
    return bytes;
}

QByteArray FileBytes(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Another program's save: a new file renamed over the log.
void WriteAsAnotherProgram(const QString &path, const QByteArray &bytes) {
    QSaveFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    QVERIFY(file.commit());
}

QByteArray RowText(const TPacequillDlgClient &client, int row) {
    QByteArrayList texts;
    for (int column = 0; column < pq::ColumnCount; ++column) {
        const std::string_view text = client.List().Text(row, column);
        texts << QByteArray(text.data(), static_cast<qsizetype>(text.size()));
    }
    return texts.join('\t');
}

} // namespace

// The window beside other programs that write its log: it reloads a log it has not changed, and merges their
// changes into its own when it saves.
class tst_SharedLogWindow : public QObject {
    Q_OBJECT

private slots:
    void init() {
        Scripted = std::make_unique<ScriptedPrompts>();
        QVERIFY(Temp.isValid());
        Path = Temp.filePath("runs.pquil");
        QFile::remove(Path);
        WriteAsAnotherProgram(Path, Log({Easy, Tempo, Long}));
        Frame = std::make_unique<QMainWindow>();
        Client = NewDocumentClient();
        Frame->setCentralWidget(Client);
        Client->SetupWindow(Path);
    }
    void cleanup() {
        Frame.reset();
        Scripted.reset();
    }

    // The window duplicated a row; meanwhile one program added a run and another removed one.
    void saveMergesOtherPrograms_data() {
        QTest::addColumn<Prompts::Button>("answer");
        QTest::newRow("yes") << Prompts::Button::Yes;
        QTest::newRow("cancel") << Prompts::Button::Cancel;
    }
    void saveMergesOtherPrograms() {
        QFETCH(Prompts::Button, answer);
        Client->ShowAndSelect(1);
        Client->Rows().AppendRow(Tempo.toStdString());
        Client->SetChanged(true);
        WriteAsAnotherProgram(Path, Log({Easy, Tempo, Long, Imported}));
        const QByteArray other = Log({Tempo, Long, Imported});
        WriteAsAnotherProgram(Path, other);
        QTest::qWait(300); // the watcher hears of it; a changed log is not reloaded

        Scripted->Answers = {answer};
        QCOMPARE(Client->Save(), answer == Prompts::Button::Yes);
        QCOMPARE(Scripted->Messages.size(), 1);
        QCOMPARE(Scripted->Messages[0].Text, "runs.pquil was changed by another program: 1 run added and 1 removed "
                                             "there. Save your changes together with those?");
        QCOMPARE(Scripted->Messages[0].Buttons, (QList{Prompts::Button::Yes, Prompts::Button::Cancel}));
        if (answer == Prompts::Button::Cancel) {
            QCOMPARE(FileBytes(Path), other);
            QVERIFY(Client->GetChanged());
            return;
        }
        QCOMPARE(FileBytes(Path), Log({Tempo, Long, Tempo, Imported}));
        QVERIFY(!Client->GetChanged());
        QCOMPARE(Client->List().RowCount(), 4);
        // A second save has nothing more to take from the disk.
        Client->SetChanged(true);
        QVERIFY(Client->Save());
        QCOMPARE(Scripted->Messages.size(), 1);
    }

    void unchangedLogReloads() {
        Client->ShowAndSelect(1);
        WriteAsAnotherProgram(Path, Log({Imported, Easy, Tempo, Long}));
        QTRY_COMPARE(Client->List().RowCount(), 4);
        QCOMPARE(RowText(*Client, *Client->FindSelectedRow()), Tempo);
        QCOMPARE(Frame->statusBar()->currentMessage(), "Reloaded: changed by another program");
        QVERIFY(!Client->GetChanged());
        QVERIFY(Scripted->Messages.isEmpty());
    }

    void removedLogIsWrittenAnewAfterAsking() {
        Client->Rows().AppendRow(Imported.toStdString());
        Client->SetChanged(true);
        QVERIFY(QFile::remove(Path));
        QVERIFY(Client->Save());
        QCOMPARE(Scripted->Messages.size(), 1);
        QCOMPARE(Scripted->Messages[0].Text, "runs.pquil was removed by another program. Save the log there anew?");
        QCOMPARE(FileBytes(Path), Log({Easy, Tempo, Long, Imported}));
    }

private:
    QTemporaryDir Temp;
    QString Path;
    std::unique_ptr<ScriptedPrompts> Scripted;
    std::unique_ptr<QMainWindow> Frame;
    TPacequillDlgClient *Client = nullptr;
};

QTEST_MAIN(tst_SharedLogWindow)
#include "tst_SharedLogWindow.moc"
