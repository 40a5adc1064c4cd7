#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

#include "frame/CommandIds.h"
#include "frame/Prompts.h"
#include "log/PathBytes.h"
#include "log/TPacequillDlgClient.h"
#include "shell/DocumentModules.h"
#include "support/FileBytes.h"
#include "support/ScriptedPrompts.h"

Q_DECLARE_METATYPE(Prompts::Button)

namespace {

const QString QuestionText = QStringLiteral("Changes have been made. Would you like to save these changes?");
const QString QuestionCaption = QStringLiteral("Contents have changed");
const QString ThreeRunsPath = QStringLiteral(PACEQUILL_TEST_DATA "/client/ThreeRuns.pquil");
constexpr char HeaderLine[] = "Pacequill version 3.1 log file format\r\n";

} // namespace

class TestDlgClient : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void commandLineOpensLog_data();
    void commandLineOpensLog();
    void missingFileOpensEmptyUnderItsName();
    void unreadableCommandLineReportsAndStaysUntitled();
    void openUnreadableKeepsCurrentLog();
    void fileThatIsNotALogAsksFirst_data();
    void fileThatIsNotALogAsksFirst();
    void logsOpenWithoutQuestion_data();
    void logsOpenWithoutQuestion();
    void captionName_data();
    void captionName();
    void fileDialogSettings();
    void questionIsExact();
    void newOnChangedLog_data();
    void newOnChangedLog();
    void openOnChangedLog_data();
    void openOnChangedLog();
    void saveTitledWritesWithoutDialog();
    void saveUntitledAsksForName_data();
    void saveUntitledAsksForName();
    void failedSaveKeepsChanged();
    void readOnlyLogRefusesSave();
    void dialogNamesThatAreNotUtf8KeepTheirBytes();
    void canClose_data();
    void canClose();
    void sortingDoesNotChangeLog();
    void fileCommandsAlwaysAvailable();

private:
    TPacequillDlgClient &Start(const QString &commandLine = {}, bool readAhead = false);
    void MakeChanged();
    QString TempPath(const QString &name) const { return Temp->filePath(name); }

    std::unique_ptr<QMainWindow> Frame;
    TPacequillDlgClient *Client = nullptr;
    std::unique_ptr<ScriptedPrompts> Scripted;
    std::unique_ptr<QTemporaryDir> Temp;
};

void TestDlgClient::init() {
    Scripted = std::make_unique<ScriptedPrompts>();
    Prompts::Install(Scripted.get());
    Temp = std::make_unique<QTemporaryDir>();
    QVERIFY(Temp->isValid());
}

void TestDlgClient::cleanup() {
    Frame.reset();
    Client = nullptr;
    Prompts::Install(nullptr);
    Scripted.reset();
    Temp.reset();
}

TPacequillDlgClient &TestDlgClient::Start(const QString &commandLine, bool readAhead) {
    // The program starts reading the log before it builds the window.
    std::unique_ptr<pq::LogPreload> preload =
        readAhead ? TPacequillDlgClient::PreloadCommandLine(commandLine) : nullptr;
    Frame = std::make_unique<QMainWindow>();
    Client = NewDocumentClient();
    Frame->setCentralWidget(Client);
    Client->SetupWindow(commandLine, std::move(preload));
    return *Client;
}

// An entry command's effect: one more row, marked changed.
void TestDlgClient::MakeChanged() {
    Client->Rows().AppendRow("2001/06/01\t4 Miles\t00:32:00\tHills");
    Client->SelectLastRow();
    Client->SetChanged(true);
}

void TestDlgClient::commandLineOpensLog_data() {
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("untitled");
    QTest::addColumn<bool>("readAhead");

    for (const bool readAhead : {false, true}) {
        const QString ahead = readAhead ? ", read ahead" : "";
        QTest::addRow("empty%s", qPrintable(ahead)) << QString() << "Pacequill 3.1" << 0 << true << readAhead;
        QTest::addRow("bare path%s", qPrintable(ahead))
            << ThreeRunsPath << "Pacequill 3.1 - ThreeRuns" << 3 << false << readAhead;
        QTest::addRow("quoted path%s", qPrintable(ahead))
            << '"' + ThreeRunsPath + '"' << "Pacequill 3.1 - ThreeRuns" << 3 << false << readAhead;
    }
}

void TestDlgClient::commandLineOpensLog() {
    QFETCH(QString, commandLine);
    QFETCH(QString, caption);
    QFETCH(int, rows);
    QFETCH(bool, untitled);
    QFETCH(bool, readAhead);

    TPacequillDlgClient &client = Start(commandLine, readAhead);
    QCOMPARE(Frame->windowTitle(), caption);
    QCOMPARE(client.List().RowCount(), rows);
    QCOMPARE(client.GetUntitled(), untitled);
    QCOMPARE(client.GetChanged(), false);
    QCOMPARE(client.GetHasEntries(), rows > 0);
    QCOMPARE(client.FindSelectedRow(), rows > 0 ? std::optional<int>(rows - 1) : std::nullopt);
    QVERIFY(Scripted->Messages.isEmpty());
}

void TestDlgClient::missingFileOpensEmptyUnderItsName() {
    const QString path = TempPath("My.Runs.pquil");
    TPacequillDlgClient &client = Start('"' + path + '"');
    QCOMPARE(Frame->windowTitle(), QStringLiteral("Pacequill 3.1 - My"));
    QCOMPARE(client.List().RowCount(), 0);
    QVERIFY(!client.GetUntitled());
    QVERIFY(!client.GetHasEntries());

    client.Handle(Cmd::FileSave);
    QVERIFY(Scripted->SaveDialogs.isEmpty());
    QCOMPARE(FileBytes(path), QByteArray(HeaderLine));
}

void TestDlgClient::unreadableCommandLineReportsAndStaysUntitled() {
    const QString path = TempPath("Folder.pquil");
    QVERIFY(QDir().mkpath(path));
    TPacequillDlgClient &client = Start(path);

    QCOMPARE(Scripted->Messages.size(), 1);
    const Prompts::MessageSpec &message = Scripted->Messages.constFirst();
    QVERIFY(message.Text.contains(path));
    QCOMPARE(message.Caption, QStringLiteral("Open failed"));
    QCOMPARE(message.BoxIcon, Prompts::Icon::Stop);
    QCOMPARE(message.Buttons, QList<Prompts::Button>{Prompts::Button::Ok});
    QVERIFY(client.GetUntitled());
    QCOMPARE(Frame->windowTitle(), QStringLiteral("Pacequill 3.1"));
}

void TestDlgClient::openUnreadableKeepsCurrentLog() {
    const QString folder = TempPath("Folder.pquil");
    QVERIFY(QDir().mkpath(folder));
    TPacequillDlgClient &client = Start(ThreeRunsPath);
    MakeChanged();
    Scripted->Answers = {Prompts::Button::No};
    Scripted->OpenAnswers = {folder};

    client.Handle(Cmd::FileOpen);
    QCOMPARE(Scripted->Messages.size(), 2);
    QCOMPARE(Scripted->Messages.last().Caption, QStringLiteral("Open failed"));
    QCOMPARE(client.List().RowCount(), 4);
    QVERIFY(client.GetChanged());
    QCOMPARE(client.GetFilePath(), ThreeRunsPath);
    QCOMPARE(Frame->windowTitle(), QStringLiteral("Pacequill 3.1 - ThreeRuns"));
}

void TestDlgClient::fileThatIsNotALogAsksFirst_data() {
    QTest::addColumn<bool>("throughOpen"); // the Open command, or else the command line
    QTest::addColumn<Prompts::Button>("answer");
    QTest::newRow("command line, No") << false << Prompts::Button::No;
    QTest::newRow("command line, Yes") << false << Prompts::Button::Yes;
    QTest::newRow("Open, No") << true << Prompts::Button::No;
    QTest::newRow("Open, Yes") << true << Prompts::Button::Yes;
}

// A CSV opened as a log would show as junk rows, and Save would overwrite it in the log's format: ask first.
void TestDlgClient::fileThatIsNotALogAsksFirst() {
    QFETCH(bool, throughOpen);
    QFETCH(Prompts::Button, answer);
    const QString path = TempPath("runs.csv");
    const QByteArray csv = "Date,Distance,Time,Notes\r\n2024/03/01,5 Miles,00:40:00,None\r\n";
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(csv) == csv.size());
    file.close();
    Scripted->Answers = {answer};
    if (throughOpen) {
        Start(ThreeRunsPath);
        Scripted->OpenAnswers = {path};
        Client->Handle(Cmd::FileOpen);
    } else {
        Start(path);
    }

    QCOMPARE(Scripted->Messages.size(), 1);
    const Prompts::MessageSpec &question = Scripted->Messages.constFirst();
    QCOMPARE(question.Text, path + QStringLiteral(" does not look like a Pacequill log. Open it anyway?"));
    QCOMPARE(question.Buttons, (QList<Prompts::Button>{Prompts::Button::Yes, Prompts::Button::No}));
    QCOMPARE(question.Default, Prompts::Button::No);
    QCOMPARE(question.BoxIcon, Prompts::Icon::Exclamation);
    if (answer == Prompts::Button::Yes) {
        QCOMPARE(Client->GetFilePath(), path);
        QCOMPARE(Frame->windowTitle(), QStringLiteral("Pacequill 3.1 - runs"));
        QCOMPARE(Client->List().RowCount(), 1); // all of it, as nothing in it starts a record
    } else if (throughOpen) {
        QCOMPARE(Client->GetFilePath(), ThreeRunsPath);
        QCOMPARE(Client->List().RowCount(), 3);
        QCOMPARE(Frame->windowTitle(), QStringLiteral("Pacequill 3.1 - ThreeRuns"));
    } else {
        QVERIFY(Client->GetUntitled());
        QCOMPARE(Client->List().RowCount(), 0);
        QCOMPARE(Frame->windowTitle(), QStringLiteral("Pacequill 3.1"));
    }
    QCOMPARE(FileBytes(path), csv);
}

void TestDlgClient::logsOpenWithoutQuestion_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("rows");
    QTest::newRow("empty file") << QByteArray() << 0;
    QTest::newRow("older headerless log") << QByteArray("\xA1"
                                                        "96/07/04\t3 Miles\t00:24:00\tNone\r\n")
                                          << 1;
    QTest::newRow("current log") << QByteArray(HeaderLine) + "\xA1"
                                                             "2024/03/01\t5 Miles\t00:40:00\tNone\r\n"
                                 << 1;
}

void TestDlgClient::logsOpenWithoutQuestion() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, rows);
    const QString path = TempPath("log.pql");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();
    Start(path);
    QVERIFY(Scripted->Messages.isEmpty());
    QCOMPARE(Client->List().RowCount(), rows);
    QCOMPARE(Client->GetFilePath(), path);
}

void TestDlgClient::captionName_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");

    QTest::newRow("windows path, two dots") << "C:\\LOGS\\RUN.2001.PQUIL"
                                            << "RUN";
    QTest::newRow("windows path") << "C:\\DATA\\MY.RUNS.PQUIL"
                                  << "MY";
    QTest::newRow("slash path") << "/home/runner/logs/spring.pquil"
                                << "spring";
    QTest::newRow("mixed separators") << "/home/runner\\old/summer.pql"
                                      << "summer";
    QTest::newRow("leading dots") << "/home/runner/..hidden.pquil"
                                  << "hidden";
    QTest::newRow("no dot") << "RUNS"
                            << "RUNS";
    QTest::newRow("option text") << "-unregister"
                                 << "-unregister";
    QTest::newRow("ends with separator") << "C:\\LOGS\\"
                                         << "";
    QTest::newRow("byte kept from a name that is not UTF-8")
        << QStringLiteral("/home/runner/caf\xDCE9.pquil") << QStringLiteral("caf\uFFFD");
}

void TestDlgClient::captionName() {
    QFETCH(QString, path);
    QFETCH(QString, name);
    QCOMPARE(TPacequillDlgClient::CaptionName(path), name);
}

void TestDlgClient::fileDialogSettings() {
    TPacequillDlgClient &client = Start();
    client.Handle(Cmd::FileOpen);
    client.Handle(Cmd::FileSaveAs);
    QCOMPARE(Scripted->OpenDialogs.size(), 1);
    QCOMPARE(Scripted->SaveDialogs.size(), 1);

    // Each description once, with its patterns in both cases.
    const QString filter = QStringLiteral("Pacequill Files (*.pquil *.PQUIL);;Pacequill Files (*.pql *.PQL)");
    const Prompts::FileDialogSpec &open = Scripted->OpenDialogs.constFirst();
    QCOMPARE(open.Filter, filter);
    QCOMPARE(open.DefaultSuffix, QStringLiteral("pquil"));
    QVERIFY(open.MustExist);
    QVERIFY(!open.ConfirmOverwrite);
    const Prompts::FileDialogSpec &save = Scripted->SaveDialogs.constFirst();
    QCOMPARE(save.Filter, filter);
    QCOMPARE(save.DefaultSuffix, QStringLiteral("pquil"));
    QVERIFY(!save.MustExist);
    QVERIFY(save.ConfirmOverwrite);
    QCOMPARE(Frame->windowTitle(), QStringLiteral("Pacequill 3.1"));
}

void TestDlgClient::questionIsExact() {
    TPacequillDlgClient &client = Start();
    MakeChanged();
    QVERIFY(!client.AskSaveChanges());

    QCOMPARE(Scripted->Messages.size(), 1);
    const Prompts::MessageSpec &question = Scripted->Messages.constFirst();
    QCOMPARE(question.Text, QuestionText);
    QCOMPARE(question.Caption, QuestionCaption);
    QCOMPARE(question.BoxIcon, Prompts::Icon::Question);
    const QList<Prompts::Button> buttons{Prompts::Button::Yes, Prompts::Button::No, Prompts::Button::Cancel};
    QCOMPARE(question.Buttons, buttons);
    QCOMPARE(question.Default, Prompts::Button::Cancel);
}

void TestDlgClient::newOnChangedLog_data() {
    QTest::addColumn<bool>("titled");
    QTest::addColumn<Prompts::Button>("answer");
    QTest::addColumn<QString>("saveAsName"); // empty: the Save As dialog is cancelled
    QTest::addColumn<bool>("cleared");
    QTest::addColumn<bool>("written");

    QTest::newRow("cancel") << true << Prompts::Button::Cancel << QString() << false << false;
    QTest::newRow("no") << true << Prompts::Button::No << QString() << true << false;
    QTest::newRow("yes, titled") << true << Prompts::Button::Yes << QString() << true << true;
    QTest::newRow("yes, untitled, named") << false << Prompts::Button::Yes << "Named.pquil" << true << true;
    QTest::newRow("yes, untitled, save as cancelled") << false << Prompts::Button::Yes << QString() << false << false;
}

void TestDlgClient::newOnChangedLog() {
    QFETCH(bool, titled);
    QFETCH(Prompts::Button, answer);
    QFETCH(QString, saveAsName);
    QFETCH(bool, cleared);
    QFETCH(bool, written);

    const QString logPath = TempPath("Log.pquil");
    if (titled)
        QVERIFY(QFile::copy(ThreeRunsPath, logPath));
    TPacequillDlgClient &client = Start(titled ? logPath : QString());
    MakeChanged();
    const QString captionBefore = Frame->windowTitle();
    const int rowsBefore = client.List().RowCount();
    Scripted->Answers = {answer};
    if (!saveAsName.isEmpty())
        Scripted->SaveAnswers = {TempPath(saveAsName)};

    client.Handle(Cmd::FileNew);
    QCOMPARE(Scripted->Messages.size(), 1);
    QCOMPARE(Scripted->Messages.constFirst().Text, QuestionText);
    QCOMPARE(client.List().RowCount(), cleared ? 0 : rowsBefore);
    QCOMPARE(client.GetChanged(), !cleared);
    QCOMPARE(Frame->windowTitle(), cleared ? QStringLiteral("Pacequill 3.1") : captionBefore);
    if (cleared) {
        QVERIFY(client.GetUntitled());
        QVERIFY(!client.GetHasEntries());
    }
    const QString target = titled ? logPath : TempPath(saveAsName);
    if (written)
        QVERIFY(FileBytes(target).endsWith("\xA1"
                                           "2001/06/01\t4 Miles\t00:32:00\tHills\r\n"));
    else if (titled)
        QCOMPARE(FileBytes(logPath), FileBytes(ThreeRunsPath));
}

void TestDlgClient::openOnChangedLog_data() {
    QTest::addColumn<Prompts::Button>("answer");
    QTest::addColumn<bool>("dialogShown");

    QTest::newRow("cancel") << Prompts::Button::Cancel << false;
    QTest::newRow("no") << Prompts::Button::No << true;
}

void TestDlgClient::openOnChangedLog() {
    QFETCH(Prompts::Button, answer);
    QFETCH(bool, dialogShown);

    TPacequillDlgClient &client = Start();
    MakeChanged();
    Scripted->Answers = {answer};
    Scripted->OpenAnswers = {ThreeRunsPath};

    client.Handle(Cmd::FileOpen);
    QCOMPARE(Scripted->OpenDialogs.size(), dialogShown ? 1 : 0);
    QCOMPARE(client.List().RowCount(), dialogShown ? 3 : 1);
    QCOMPARE(client.GetChanged(), !dialogShown);
    QCOMPARE(client.GetOpenPath(), dialogShown ? ThreeRunsPath : QString());
    QCOMPARE(Frame->windowTitle(),
             dialogShown ? QStringLiteral("Pacequill 3.1 - ThreeRuns") : QStringLiteral("Pacequill 3.1"));
}

void TestDlgClient::saveTitledWritesWithoutDialog() {
    const QString logPath = TempPath("Spring.pquil");
    QVERIFY(QFile::copy(ThreeRunsPath, logPath));
    TPacequillDlgClient &client = Start(logPath);
    Frame->setWindowTitle(QStringLiteral("left alone"));
    MakeChanged();

    client.Handle(Cmd::FileSave);
    QVERIFY(Scripted->SaveDialogs.isEmpty());
    QVERIFY(!client.GetChanged());
    QCOMPARE(Frame->windowTitle(), QStringLiteral("left alone"));
    QCOMPARE(FileBytes(logPath), FileBytes(ThreeRunsPath) + "\xA1"
                                                            "2001/06/01\t4 Miles\t00:32:00\tHills\r\n");
}

void TestDlgClient::saveUntitledAsksForName_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("name"); // empty: cancelled

    QTest::newRow("save, named") << Cmd::FileSave << "Autumn.2001.pquil";
    QTest::newRow("save, cancelled") << Cmd::FileSave << QString();
    QTest::newRow("save as, named") << Cmd::FileSaveAs << "Autumn.2001.pquil";
    QTest::newRow("save as, cancelled") << Cmd::FileSaveAs << QString();
}

void TestDlgClient::saveUntitledAsksForName() {
    QFETCH(int, command);
    QFETCH(QString, name);

    TPacequillDlgClient &client = Start();
    MakeChanged();
    if (!name.isEmpty())
        Scripted->SaveAnswers = {TempPath(name)};

    client.Handle(command);
    QCOMPARE(Scripted->SaveDialogs.size(), 1);
    QVERIFY(Scripted->Messages.isEmpty());
    QCOMPARE(client.GetUntitled(), name.isEmpty());
    QCOMPARE(client.GetChanged(), name.isEmpty());
    QCOMPARE(Frame->windowTitle(),
             name.isEmpty() ? QStringLiteral("Pacequill 3.1") : QStringLiteral("Pacequill 3.1 - Autumn"));
    if (!name.isEmpty())
        QCOMPARE(client.GetFilePath(), TempPath(name));
}

void TestDlgClient::failedSaveKeepsChanged() {
    const QString path = TempPath("no-such-folder/Lost.pquil");
    TPacequillDlgClient &client = Start(path);
    MakeChanged();

    client.Handle(Cmd::FileSave);
    QCOMPARE(Scripted->Messages.size(), 1);
    const Prompts::MessageSpec &failure = Scripted->Messages.constFirst();
    QVERIFY2(failure.Text.contains(path), qPrintable(failure.Text));
    QCOMPARE(failure.Caption, QStringLiteral("Save failed"));
    QCOMPARE(failure.BoxIcon, Prompts::Icon::Stop);
    QCOMPARE(failure.Buttons, QList<Prompts::Button>{Prompts::Button::Ok});
    QVERIFY(client.GetChanged());

    // Closing asks; Yes tries the save again, which fails, so the window stays open with the rows.
    Scripted->Answers = {Prompts::Button::Yes, Prompts::Button::Ok};
    QVERIFY(!client.CanClose());
    QCOMPARE(Scripted->Messages.size(), 3);
    QCOMPARE(Scripted->Messages[1].Text, QuestionText);
    QCOMPARE(Scripted->Messages[2].Caption, QStringLiteral("Save failed"));
    QCOMPARE(client.List().RowCount(), 1);
    QVERIFY(client.GetChanged());
}

// A log without write permission is not saved over: Save says so and the log stays changed; Save As to another
// name still writes it.
void TestDlgClient::readOnlyLogRefusesSave() {
    const QString path = TempPath("Kept.pquil");
    QVERIFY(QFile::copy(ThreeRunsPath, path));
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    TPacequillDlgClient &client = Start(path);
    MakeChanged();

    client.Handle(Cmd::FileSave);
    QCOMPARE(Scripted->Messages.size(), 1);
    QCOMPARE(Scripted->Messages.constFirst().Caption, QStringLiteral("Save failed"));
    QVERIFY2(Scripted->Messages.constFirst().Text.endsWith(path + QStringLiteral(" is read-only")),
             qPrintable(Scripted->Messages.constFirst().Text));
    QVERIFY(client.GetChanged());
    QCOMPARE(FileBytes(path), FileBytes(ThreeRunsPath));

    const QString copy = TempPath("Copy.pquil");
    Scripted->SaveAnswers << copy;
    client.Handle(Cmd::FileSaveAs);
    QCOMPARE(Scripted->Messages.size(), 1);
    QVERIFY(!client.GetChanged());
    QCOMPARE(client.GetFilePath(), copy);
    QCOMPARE(FileBytes(copy).count('\xA1'), 4);
}

// Qt's file dialog shows a name that is not UTF-8 with replacement characters; the log opened and saved is still the
// file that the user picked, never a second one under the shown name.
void TestDlgClient::dialogNamesThatAreNotUtf8KeepTheirBytes() {
    const QByteArray folder = QFile::encodeName(Temp->path());
    const QByteArray logPath = folder + "/caf\xE9.pquil";
    QVERIFY(::mkdir(folder + "/d\xFC", 0700) == 0);
    {
        const int file = ::open(logPath, O_WRONLY | O_CREAT | O_EXCL, 0600);
        QVERIFY(file >= 0);
        const QByteArray bytes = FileBytes(ThreeRunsPath);
        QCOMPARE(::write(file, bytes.data(), static_cast<size_t>(bytes.size())), bytes.size());
        ::close(file);
    }
    TPacequillDlgClient &client = Start();
    Scripted->OpenAnswers = {QFile::decodeName(logPath)};
    client.Handle(Cmd::FileOpen);
    QCOMPARE(client.List().RowCount(), 3);

    MakeChanged();
    client.Handle(Cmd::FileSave);
    QVERIFY(!client.GetChanged());
    struct stat saved {};
    QVERIFY(::stat(logPath, &saved) == 0);
    QCOMPARE(saved.st_size, FileBytes(ThreeRunsPath).size() + 36);
    QCOMPARE(::stat(PathBytes::Encode(QFile::decodeName(logPath)), &saved), -1);

    Scripted->SaveAnswers = {QFile::decodeName(folder + "/d\xFC/Copy.pquil")};
    client.Handle(Cmd::FileSaveAs);
    QVERIFY(Scripted->Messages.isEmpty());
    QVERIFY(::stat(folder + "/d\xFC/Copy.pquil", &saved) == 0);
    QCOMPARE(Frame->windowTitle(), QStringLiteral("Pacequill 3.1 - Copy"));
    // Qt cannot remove what it cannot name.
    for (const QByteArray &name : {logPath, folder + "/d\xFC/Copy.pquil"})
        QCOMPARE(::unlink(name), 0);
    QCOMPARE(::rmdir(folder + "/d\xFC"), 0);
}

void TestDlgClient::canClose_data() {
    QTest::addColumn<bool>("changed");
    QTest::addColumn<Prompts::Button>("answer");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<int>("questions");

    QTest::newRow("clean") << false << Prompts::Button::Cancel << true << 0;
    QTest::newRow("changed, no") << true << Prompts::Button::No << true << 1;
    QTest::newRow("changed, cancel") << true << Prompts::Button::Cancel << false << 1;
    QTest::newRow("changed, yes, save as cancelled") << true << Prompts::Button::Yes << false << 1;
}

void TestDlgClient::canClose() {
    QFETCH(bool, changed);
    QFETCH(Prompts::Button, answer);
    QFETCH(bool, closes);
    QFETCH(int, questions);

    TPacequillDlgClient &client = Start();
    if (changed)
        MakeChanged();
    Scripted->Answers = {answer};
    QCOMPARE(client.CanClose(), closes);
    QCOMPARE(Scripted->Messages.size(), questions);
}

void TestDlgClient::sortingDoesNotChangeLog() {
    TPacequillDlgClient &client = Start(ThreeRunsPath);
    client.SortByColumn(0);
    QVERIFY(!client.GetChanged());
    QVERIFY(client.CanClose());
    QVERIFY(Scripted->Messages.isEmpty());
}

void TestDlgClient::fileCommandsAlwaysAvailable() {
    TPacequillDlgClient &client = Start();
    for (const int command : {Cmd::FileNew, Cmd::FileOpen, Cmd::FileSave, Cmd::FileSaveAs}) {
        QVERIFY(client.HasHandler(command));
        QCOMPARE(client.Enabled(command), std::nullopt);
    }
}

QTEST_MAIN(TestDlgClient)
#include "tst_TPacequillDlgClient.moc"
