#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "ChildProcess.h"
#include "DrillPrograms.h"
#include "log/LogFile.h"

namespace fs = std::filesystem;

namespace {

const std::string ThreeRunsPath = PACEQUILL_TEST_DATA "/client/ThreeRuns.pquil";
const std::string LogName = "runs.pquil";
const std::string OldBytes = "Pacequill version 3.1 log file format\r\n\xA1"
                             "2001/01/01\t1 Miles\t00:08:00\told\r\n";
const std::string Succeeded = "ok";
constexpr auto RunLimit = std::chrono::seconds(30);
constexpr int PquilSuccess = 0;
constexpr int PquilFailure = 1;
// The users the permission cases act as: the saver, a member of the shared group, and another owner.
constexpr uid_t SaverId = 65534;
constexpr gid_t SaverGroup = 65534;
constexpr gid_t SharedGroup = 4242;
constexpr uid_t OtherOwner = 1;
constexpr mode_t SharedMode = 0660;
constexpr mode_t KeptMode = 0640;
constexpr mode_t OpenFolderMode = 0755;
constexpr mode_t PlainMode = 0644;
constexpr mode_t ReadOnlyMode = 0444;
const std::string AttributeName = "user.pacequill.origin";
const std::string AttributeValue = "watch export";
const std::string StaleTemp = ".pacequill-save-Ab12Yz";
const std::string LockedTemp = ".pacequill-save-Cd34Wx";
const std::string NotATemp = ".pacequill-save-notmine";
const std::string OtherFile = "notes.txt";

std::string ReadText(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteText(const fs::path &path, const std::string &bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The bytes a save of the three-run log writes.
std::string NewBytes() {
    pq::LogList list;
    pq::LoadLog(ThreeRunsPath, list);
    return pq::LogBytes(list);
}

std::vector<std::string> Listing(const fs::path &dir) {
    std::vector<std::string> names;
    for (const fs::directory_entry &entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Saves the three-run log over the path, through the core or through pquil convert --force: "ok", or the message.
std::string Save(const fs::path &path, bool throughPquil) {
    if (!throughPquil) {
        pq::LogList list;
        pq::LoadLog(ThreeRunsPath, list);
        const pq::WriteResult result = pq::WriteLog(list, path.string());
        return result.Ok ? Succeeded : result.Error;
    }
    const fs::path errors = path.parent_path().parent_path() / "errors.txt";
    ChildProcess convert({std::string(PquilBinary), "convert", ThreeRunsPath, path.string(), "--force"},
                         std::string(ChildProcess::NullDevice), errors.string());
    if (!convert.Started() || !convert.Wait(std::chrono::duration_cast<std::chrono::milliseconds>(RunLimit)))
        return "pquil did not run";
    const std::string message = ReadText(errors);
    fs::remove(errors);
    if (convert.ExitCode() == PquilSuccess)
        return Succeeded;
    return convert.ExitCode() == PquilFailure ? message : "pquil ended with " + std::to_string(convert.ExitCode());
}

// Runs the work in a child process acting as the saver, a member of the shared group: what the work answers, or
// why the child could not become that user.
std::string AsSaver(const std::function<std::string()> &work) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return "no pipe";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeFds[0]);
        const gid_t groups[] = {SharedGroup};
        std::string answer = "cannot act as another user";
        if (::setgroups(1, groups) == 0 && ::setgid(SaverGroup) == 0 && ::setuid(SaverId) == 0)
            answer = work();
        const ssize_t written = ::write(pipeFds[1], answer.data(), answer.size());
        ::_exit(written == static_cast<ssize_t>(answer.size()) ? 0 : 1);
    }
    ::close(pipeFds[1]);
    std::string answer;
    char buffer[256];
    for (ssize_t got; (got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        answer.append(buffer, static_cast<std::size_t>(got));
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return answer;
}

} // namespace

// Saving where a plain rename would be wrong: through symbolic links, over read-only and shared files, files with
// other hard links and extended attributes, in folders that take no new files, under the longest names, and beside
// the leftovers of killed saves.
class tst_SaveEdges : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void throughLinks_data();
    void throughLinks();
    void keepsWhatTheUserSet_data();
    void keepsWhatTheUserSet();
    void otherUsersFiles_data();
    void otherUsersFiles();
    void longestNames_data();
    void longestNames();
    void leftoversRemoved();

private:
    std::unique_ptr<QTemporaryDir> Temp;
    fs::path Dir;
};

void tst_SaveEdges::init() {
    Temp = std::make_unique<QTemporaryDir>();
    QVERIFY(Temp->isValid());
    Dir = fs::path(Temp->path().toStdString()) / "logs";
    fs::create_directory(Dir);
}

void tst_SaveEdges::cleanup() {
    Temp.reset();
}

void tst_SaveEdges::throughLinks_data() {
    QTest::addColumn<QString>("layout");
    QTest::addColumn<bool>("throughPquil");
    QTest::addColumn<QString>("expectedError"); // empty: the save succeeds

    for (const bool pquil : {false, true}) {
        const char *via = pquil ? "pquil convert --force" : "save";
        QTest::addRow("dangling link into a folder, %s", via) << "usb" << pquil << QString();
        QTest::addRow("dangling link into no folder, %s", via)
            << "none" << pquil << "runs.pquil (a link to {dir}/usb/runs.pquil): No such file or directory";
        QTest::addRow("link loop, %s", via) << "loop" << pquil << "Too many levels of symbolic links";
    }
}

// A dangling link is saved through: the file it names is made and the link stays. Where its folder is missing,
// or the links go round, the save fails with a message naming the target or the loop, and nothing changes.
void tst_SaveEdges::throughLinks() {
    QFETCH(QString, layout);
    QFETCH(bool, throughPquil);
    QFETCH(QString, expectedError);
    if (throughPquil && PquilBinary.empty())
        QSKIP("pquil is not built in this configuration");
    const fs::path link = Dir / LogName;
    if (layout == "loop") {
        fs::create_symlink("loop.pquil", link);
        fs::create_symlink(LogName, Dir / "loop.pquil");
    } else {
        fs::create_symlink("usb/runs.pquil", link);
        if (layout == "usb")
            fs::create_directory(Dir / "usb");
    }
    const std::vector<std::string> before = Listing(Dir);

    const std::string result = Save(link, throughPquil);
    expectedError.replace("{dir}", QString::fromStdString(Dir.string()));

    QVERIFY(fs::is_symlink(link));
    QCOMPARE(Listing(Dir), before);
    if (expectedError.isEmpty()) {
        QCOMPARE(result, Succeeded);
        QCOMPARE(ReadText(Dir / "usb/runs.pquil"), NewBytes());
        QCOMPARE(Listing(Dir / "usb"), std::vector<std::string>{LogName});
        return;
    }
    QVERIFY2(QString::fromStdString(result).contains(expectedError), result.c_str());
    QVERIFY2(result.find(link.string()) != std::string::npos, result.c_str());
}

void tst_SaveEdges::keepsWhatTheUserSet_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("mode 0640") << "mode";
    QTest::newRow("second hard link") << "hard link";
    QTest::newRow("extended attribute") << "attribute";
    QTest::newRow("group-shared 0660, saved by a member of the group") << "shared";
}

// The saved file keeps its mode, its other names, its extended attributes, and its owner and group when the user
// saving it could not give them to a new file.
void tst_SaveEdges::keepsWhatTheUserSet() {
    QFETCH(QString, kind);
    const fs::path log = Dir / LogName;
    WriteText(log, OldBytes);
    struct stat before {};
    QCOMPARE(::stat(log.c_str(), &before), 0);
    std::string result;
    if (kind == "mode") {
        QCOMPARE(::chmod(log.c_str(), KeptMode), 0);
        result = Save(log, false);
    } else if (kind == "hard link") {
        fs::create_hard_link(log, Dir / "second.pquil");
        result = Save(log, false);
        QCOMPARE(ReadText(Dir / "second.pquil"), NewBytes());
        QVERIFY(fs::equivalent(log, Dir / "second.pquil"));
    } else if (kind == "attribute") {
        if (::setxattr(log.c_str(), AttributeName.c_str(), AttributeValue.data(), AttributeValue.size(), 0) != 0)
            QSKIP(qPrintable(QStringLiteral("no extended attributes here: %1").arg(std::strerror(errno))));
        result = Save(log, false);
        char value[64] = {};
        const ssize_t size = ::getxattr(log.c_str(), AttributeName.c_str(), value, sizeof value);
        QCOMPARE(std::string(value, static_cast<std::size_t>(std::max<ssize_t>(size, 0))), AttributeValue);
    } else {
        if (::geteuid() != 0)
            QSKIP("needs root to act as the owner and as another member of the group");
        QCOMPARE(::chown(Dir.c_str(), SaverId, SaverGroup), 0);
        QCOMPARE(::chmod(Temp->path().toLocal8Bit().constData(), OpenFolderMode), 0);
        QCOMPARE(::chown(log.c_str(), OtherOwner, SharedGroup), 0);
        QCOMPARE(::chmod(log.c_str(), SharedMode), 0);
        result = AsSaver([&] { return Save(log, false); });
        struct stat after {};
        QCOMPARE(::stat(log.c_str(), &after), 0);
        QCOMPARE(after.st_uid, OtherOwner);
        QCOMPARE(after.st_gid, SharedGroup);
    }
    QCOMPARE(result, Succeeded);
    QCOMPARE(ReadText(log), NewBytes());
    struct stat after {};
    QCOMPARE(::stat(log.c_str(), &after), 0);
    const mode_t expectedMode = kind == "mode" ? KeptMode : kind == "shared" ? SharedMode : before.st_mode & 07777;
    QCOMPARE(after.st_mode & 07777, expectedMode);
    QCOMPARE(Listing(Dir).size(), std::size_t{kind == "hard link" ? 2u : 1u});
}

void tst_SaveEdges::otherUsersFiles_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("expected"); // the message, with {log} and {folder}; empty for success

    QTest::newRow("own log in a folder that takes no new files") << "own in locked folder" << QString();
    QTest::newRow("new log in a folder that takes no new files") << "new in locked folder"
                                                                 << "folder {folder}: Permission denied";
    QTest::newRow("log of another user, not writable") << "others"
                                                       << "{log} is read-only";
    QTest::newRow("own log of mode 0444") << "mode 0444"
                                          << "{log} is read-only";
}

// As a user without root's rights: a log in a folder the user may not add to is written in place; a new log
// there fails naming the folder; a log the user may not write is refused as read-only, and stays as it was.
void tst_SaveEdges::otherUsersFiles() {
    QFETCH(QString, kind);
    QFETCH(QString, expected);
    if (::geteuid() != 0)
        QSKIP("needs root to set the files up for another user and to act as that user");
    QCOMPARE(::chmod(Temp->path().toLocal8Bit().constData(), OpenFolderMode), 0);
    QCOMPARE(::chmod(Dir.c_str(), OpenFolderMode), 0);
    const fs::path log = Dir / (kind == "new in locked folder" ? "new.pquil" : LogName);
    if (kind != "new in locked folder") {
        WriteText(log, OldBytes);
        QCOMPARE(::chown(log.c_str(), kind == "others" ? 0 : SaverId, kind == "others" ? 0 : SaverGroup), 0);
        QCOMPARE(::chmod(log.c_str(), kind == "mode 0444" ? ReadOnlyMode : PlainMode), 0);
    }
    const std::vector<std::string> before = Listing(Dir);

    const std::string result = AsSaver([&] { return Save(log, false); });

    QCOMPARE(Listing(Dir), before);
    if (expected.isEmpty()) {
        QCOMPARE(result, Succeeded);
        QCOMPARE(ReadText(log), NewBytes());
        return;
    }
    expected.replace("{log}", QString::fromStdString(log.string()));
    expected.replace("{folder}", QString::fromStdString(Dir.string()));
    QCOMPARE(QString::fromStdString(result), expected);
    if (fs::exists(log))
        QCOMPARE(ReadText(log), OldBytes);
}

void tst_SaveEdges::longestNames_data() {
    QTest::addColumn<int>("length");
    QTest::newRow("249 bytes") << 249;
    QTest::newRow("255 bytes") << 255;
}

// The temporary name fits in the folder whatever the log's own name: a new log and a save over it both work.
void tst_SaveEdges::longestNames() {
    QFETCH(int, length);
    const std::string extension = ".pquil";
    const fs::path log = Dir / (std::string(static_cast<std::size_t>(length) - extension.size(), 'r') + extension);
    QCOMPARE(Save(log, false), Succeeded);
    WriteText(log, OldBytes);
    QCOMPARE(Save(log, false), Succeeded);
    QCOMPARE(ReadText(log), NewBytes());
    QCOMPARE(Listing(Dir).size(), std::size_t{1});
}

// A save removes the temporary files that killed saves left in its folder, and nothing else: not a temporary file
// a running save holds, not a file that only looks like one.
void tst_SaveEdges::leftoversRemoved() {
    for (const std::string &name : {StaleTemp, LockedTemp, NotATemp, OtherFile})
        WriteText(Dir / name, std::string(4096, 'x'));
    const int held = ::open((Dir / LockedTemp).c_str(), O_RDONLY | O_CLOEXEC);
    QVERIFY(held >= 0);
    QCOMPARE(::flock(held, LOCK_EX), 0);

    const std::string result = Save(Dir / LogName, false);
    ::close(held);

    QCOMPARE(result, Succeeded);
    QCOMPARE(Listing(Dir), (std::vector<std::string>{LockedTemp, NotATemp, OtherFile, LogName}));
}

QTEST_APPLESS_MAIN(tst_SaveEdges)
#include "tst_SaveEdges.moc"
