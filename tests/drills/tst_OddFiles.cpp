#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QtTest>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "ChildProcess.h"
#include "DrillPrograms.h"
#include "frame/CommandIds.h"
#include "frame/Prompts.h"
#include "log/LogFile.h"
#include "log/TPacequillDlgClient.h"
#include "shell/DocumentModules.h"
#include "shell/TPacequillApp.h"
#include "support/ScriptedPrompts.h"

namespace fs = std::filesystem;

namespace {

const QString ThreeRunsPath = QStringLiteral(PACEQUILL_TEST_DATA "/client/ThreeRuns.pquil");
const QString OpenFailedCaption = QStringLiteral("Open failed");
const std::string NotRegular = "not a regular file";
const std::string NotEnoughMemory = "not enough memory";
const std::string InputMark = "{in}";
const std::string OutputMark = "{out}";
const std::string OutputName = "out.pquil";
const std::string FifoName = "pipe.pquil";
const std::string SparseName = "huge.pquil";
constexpr int ThreeRuns = 3;
constexpr int PquilFailure = 1;
// Far longer than any refusal takes: reaching it means the reader waits on the file.
constexpr auto HangLimit = std::chrono::seconds(20);
// A sparse file far beyond the memory limit, which costs no disk.
constexpr off_t SparseBytes = off_t{1} << 30;
constexpr char MemoryLimitKiB[] = "262144";
// Runs a program under an address-space limit.
constexpr char UnderLimitScript[] = "ulimit -v \"$1\" && shift && exec \"$@\"";
constexpr char Shell[] = "/bin/sh";

std::string ReadText(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The command with its input and the output in the folder in place of the marks.
std::vector<std::string> Substitute(const QStringList &words, const std::string &input, const fs::path &dir) {
    std::vector<std::string> arguments;
    for (const QString &word : words) {
        const std::string text = word.toStdString();
        arguments.push_back(text == InputMark ? input : text == OutputMark ? (dir / OutputName).string() : text);
    }
    return arguments;
}

// A program's run: whether it ended in time, its exit code, and what it wrote to standard error.
struct Run {
    bool Ended = false;
    bool Exited = false;
    int Code = -1;
    std::string Errors;
};

Run RunChild(const std::vector<std::string> &command, const fs::path &dir) {
    const fs::path errors = dir / "errors.txt";
    ChildProcess child(command, std::string(ChildProcess::NullDevice), errors.string());
    Run run;
    if (!child.Started())
        return run;
    run.Ended = child.Wait(std::chrono::duration_cast<std::chrono::milliseconds>(HangLimit));
    run.Exited = child.Exited();
    run.Code = child.ExitCode();
    run.Errors = ReadText(errors);
    return run;
}

} // namespace

// Files that are not logs a program can hold: pipes and devices are refused unread, both by the loader the windowed
// program uses and by every pquil command that reads a file; a file too big for the memory left is refused with
// that cause by the pquil commands that hold it; a name that is not UTF-8 keeps its bytes from the command line through
// open and save.
class tst_OddFiles : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void specialFileRefused_data();
    void specialFileRefused();
    void clientKeepsLogOnSpecialFile_data();
    void clientKeepsLogOnSpecialFile();
    void fileBeyondMemoryRefused_data();
    void fileBeyondMemoryRefused();
    void fileBeyondMemoryStreamed_data();
    void fileBeyondMemoryStreamed();
    void fileBeyondMemoryLoadedAsRows();
    void nonUtf8NameKeepsItsBytes();

private:
    // Runs the command on a sparse gigabyte under the memory limit; it must end by itself, not by a signal.
    void RunOnSparseGigabyte(const QStringList &command, Run &run);

    std::unique_ptr<QTemporaryDir> Temp;
    fs::path Dir;
    std::unique_ptr<ScriptedPrompts> Recorded;
    std::unique_ptr<QMainWindow> Frame;
};

void tst_OddFiles::init() {
    Temp = std::make_unique<QTemporaryDir>();
    QVERIFY(Temp->isValid());
    Dir = Temp->path().toStdString();
    Recorded = std::make_unique<ScriptedPrompts>();
    Prompts::Install(Recorded.get());
}

void tst_OddFiles::cleanup() {
    Frame.reset();
    Prompts::Install(nullptr);
    Recorded.reset();
    Temp.reset();
}

void tst_OddFiles::specialFileRefused_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("command");

    const QStringList loader{QString::fromUtf8(LoaderBinary.data(), LoaderBinary.size()), "{in}"};
    const QString pquil = QString::fromUtf8(PquilBinary.data(), PquilBinary.size());
    const QStringList files{"fifo", "/dev/zero", "/dev/urandom"};
    for (const QString &file : files) {
        QTest::addRow("%s, loader", qPrintable(file)) << file << loader;
        QTest::addRow("%s, pquil show", qPrintable(file)) << file << QStringList{pquil, "show", "{in}"};
        QTest::addRow("%s, pquil stats", qPrintable(file)) << file << QStringList{pquil, "stats", "weekly", "{in}"};
        QTest::addRow("%s, pquil export", qPrintable(file)) << file << QStringList{pquil, "export", "{in}"};
        QTest::addRow("%s, pquil convert", qPrintable(file)) << file << QStringList{pquil, "convert", "{in}", "{out}"};
        QTest::addRow("%s, pquil import", qPrintable(file)) << file << QStringList{pquil, "import", "{in}", "{out}"};
    }
}

// The reader does not wait on a pipe without a writer nor read a device without end: it ends at once, with its
// failure code and a message naming the path and the cause, and writes nothing.
void tst_OddFiles::specialFileRefused() {
    if (LoaderBinary.empty() || PquilBinary.empty())
        QSKIP("the loading helper and pquil are not built in this configuration");
    QFETCH(QString, file);
    QFETCH(QStringList, command);
    std::string input = file.toStdString();
    if (file == "fifo") {
        input = (Dir / FifoName).string();
        QCOMPARE(::mkfifo(input.c_str(), 0600), 0);
    }

    const Run run = RunChild(Substitute(command, input, Dir), Dir);
    QVERIFY2(run.Ended, "the reader waits on the file");
    QVERIFY(run.Exited);
    QCOMPARE(run.Code, PquilFailure);
    QVERIFY2(run.Errors.find(input + ": " + NotRegular) != std::string::npos, run.Errors.c_str());
    QVERIFY(!fs::exists(Dir / OutputName));
}

void tst_OddFiles::clientKeepsLogOnSpecialFile_data() {
    QTest::addColumn<QString>("file");
    QTest::newRow("a pipe") << QString();
    QTest::newRow("/dev/zero") << QStringLiteral("/dev/zero");
    QTest::newRow("/dev/null") << QStringLiteral("/dev/null");
}

// Open in the windowed program: "Open failed" with the path and the cause; the log that was open stays, rows,
// name and caption.
void tst_OddFiles::clientKeepsLogOnSpecialFile() {
    QFETCH(QString, file);
    if (file.isEmpty()) {
        file = Temp->filePath(QString::fromStdString(FifoName));
        QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
    }
    Frame = std::make_unique<QMainWindow>();
    auto *client = NewDocumentClient();
    Frame->setCentralWidget(client);
    client->SetupWindow(ThreeRunsPath);
    client->SetChanged(true);
    const QString caption = Frame->windowTitle();

    Recorded->OpenAnswers << file;
    Recorded->Answers << Prompts::Button::No; // the unsaved-changes question
    client->Handle(Cmd::FileOpen);

    QCOMPARE(Recorded->Messages.size(), 2);
    const Prompts::MessageSpec &failure = Recorded->Messages.constLast();
    QCOMPARE(failure.Caption, OpenFailedCaption);
    QVERIFY2(failure.Text.contains(file + QStringLiteral(": not a regular file")), qPrintable(failure.Text));
    QCOMPARE(client->List().RowCount(), ThreeRuns);
    QCOMPARE(client->GetFilePath(), ThreeRunsPath);
    QCOMPARE(Frame->windowTitle(), caption);
}

void tst_OddFiles::RunOnSparseGigabyte(const QStringList &command, Run &run) {
    const fs::path huge = Dir / SparseName;
    std::ofstream(huge, std::ios::binary).put('\0');
    QCOMPARE(::truncate(huge.c_str(), SparseBytes), 0);

    std::vector<std::string> limited{Shell, "-c", UnderLimitScript, Shell, MemoryLimitKiB};
    for (std::string &word : Substitute(command, huge.string(), Dir))
        limited.push_back(std::move(word));
    run = RunChild(limited, Dir);
    QVERIFY(run.Ended);
    QVERIFY2(run.Exited, "ended by a signal");
}

void tst_OddFiles::fileBeyondMemoryRefused_data() {
    QTest::addColumn<QStringList>("command");
    const QString pquil = QString::fromUtf8(PquilBinary.data(), PquilBinary.size());
    QTest::newRow("pquil show") << QStringList{pquil, "show", "{in}"};
}

// A gigabyte under a quarter-gigabyte limit on the address space: refused as too big for the memory, with the
// failure code, not ended by an uncaught exception.
void tst_OddFiles::fileBeyondMemoryRefused() {
    if (LoaderBinary.empty() || PquilBinary.empty())
        QSKIP("the loading helper and pquil are not built in this configuration");
    QFETCH(QStringList, command);
    const fs::path huge = Dir / SparseName;
    Run run;
    RunOnSparseGigabyte(command, run);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(run.Code, PquilFailure);
    QVERIFY2(run.Errors.find(huge.string() + ": " + NotEnoughMemory) != std::string::npos, run.Errors.c_str());
    QVERIFY(!fs::exists(Dir / OutputName));
}

void tst_OddFiles::fileBeyondMemoryStreamed_data() {
    QTest::addColumn<QStringList>("command");
    QTest::addColumn<bool>("writesOutput");
    const QString pquil = QString::fromUtf8(PquilBinary.data(), PquilBinary.size());
    QTest::newRow("pquil convert") << QStringList{pquil, "convert", "{in}", "{out}"} << true;
    QTest::newRow("pquil export") << QStringList{pquil, "export", "{in}"} << false;
    QTest::newRow("pquil show --tsv") << QStringList{pquil, "show", "--tsv", "{in}"} << false;
}

// The same gigabyte under the same limit: the commands that turn each row into output as it is read never hold the
// file, so they read it to its end (it holds no rows) and warn that it does not look like a log.
void tst_OddFiles::fileBeyondMemoryStreamed() {
    if (PquilBinary.empty())
        QSKIP("pquil is not built in this configuration");
    QFETCH(QStringList, command);
    QFETCH(bool, writesOutput);
    const fs::path huge = Dir / SparseName;
    Run run;
    RunOnSparseGigabyte(command, run);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(run.Code, 0);
    QVERIFY2(run.Errors.find(huge.string() + ": does not look like a Pacequill log") != std::string::npos,
             run.Errors.c_str());
    QCOMPARE(fs::exists(Dir / OutputName), writesOutput);
}

// The same gigabyte under the same limit: the loader the windowed program uses holds the rows only, each text once,
// never the file's bytes, so it reads the file to its end and holds no rows.
void tst_OddFiles::fileBeyondMemoryLoadedAsRows() {
    if (LoaderBinary.empty())
        QSKIP("the loading helper is not built in this configuration");
    Run run;
    RunOnSparseGigabyte({QString::fromUtf8(LoaderBinary.data(), LoaderBinary.size()), "{in}"}, run);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(run.Code, 0);
    QVERIFY2(run.Errors.empty(), run.Errors.c_str());
}

// A log named caf\xE9.pquil, its name in Latin-1, given on the command line: the window program opens it, shows a
// readable caption, and saves to the same name, never to another.
void tst_OddFiles::nonUtf8NameKeepsItsBytes() {
    const QByteArray path = QFile::encodeName(Temp->path()) + "/caf\xE9.pquil";
    // The temporary folder cannot remove a name that Qt does not decode to its bytes.
    const auto removeLog = qScopeGuard([&] { ::unlink(path.constData()); });
    {
        std::ifstream in(ThreeRunsPath.toStdString(), std::ios::binary);
        std::ofstream out(path.toStdString(), std::ios::binary);
        out << in.rdbuf();
    }
    const QStringList before = QDir(Temp->path()).entryList(QDir::Files);
    QByteArray program = "pacequill";
    QByteArray argument = path;
    char *argv[] = {program.data(), argument.data(), nullptr};

    Frame = std::make_unique<QMainWindow>();
    auto *client = NewDocumentClient();
    Frame->setCentralWidget(client);
    client->SetupWindow(TPacequillApp::RawCommandLine(2, argv));
    QCOMPARE(client->List().RowCount(), ThreeRuns);
    QCOMPARE(Frame->windowTitle(), TPacequillApp::AppName + QStringLiteral(" - caf\uFFFD"));

    client->Rows().AppendRow("2001/06/01\t4 Miles\t00:32:00\tHills");
    client->SetChanged(true);
    client->Handle(Cmd::FileSave);
    QVERIFY(Recorded->Messages.isEmpty());
    QCOMPARE(ReadText(path.toStdString()), pq::LogBytes(client->List()));
    QCOMPARE(QDir(Temp->path()).entryList(QDir::Files), before);
}

QTEST_MAIN(tst_OddFiles)
#include "tst_OddFiles.moc"
