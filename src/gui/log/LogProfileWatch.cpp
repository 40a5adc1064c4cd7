#include "log/LogProfileWatch.h"

#include <QFileInfo>
#include <QStringList>
#include <QWidget>

#include "frame/Prompts.h"
#include "log/PathBytes.h"
#include "log/ProfileFile.h"

namespace {

const QString ProfileCaption = QStringLiteral("Profile");
const QString BadLinesText =
    QStringLiteral("Some lines of %1 could not be read and are left out; the rest of the profile counts.\n\n%2");
const QString UnreadableText =
    QStringLiteral("The profile could not be read, so its shoes and goals are left out.\n\n%1");
const QString LineText = QStringLiteral("line %1: %2");
const QString MoreLinesText = QStringLiteral("... and %1 more");
// The message lists this many bad lines at most.
constexpr std::size_t ListedProblems = 10;

QString FromUtf8(const std::string &text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

LogProfileWatch::LogProfileWatch(QWidget *owner) : QObject(owner), Owner(owner) {}

std::string LogProfileWatch::LogFilePath() const {
    return PathBytes::Encode(Log).toStdString();
}

void LogProfileWatch::Load(const QString &logPath) {
    Log = logPath;
    Reported.clear();
    Read();
}

void LogProfileWatch::CheckDisk() {
    if (Log.isEmpty() || pq::StatLog(pq::ProfilePath(LogFilePath())).SameIdentity(Disk))
        return;
    Read();
}

void LogProfileWatch::Read() {
    if (Log.isEmpty()) {
        Current = {};
        Disk = {};
    } else {
        // The file as it was before the read: a change during it is seen at the next look.
        Disk = pq::StatLog(pq::ProfilePath(LogFilePath()));
        Current = pq::ReadLogProfile(LogFilePath());
    }
    emit Changed();
    const QString message = ProblemMessage();
    if (message != Reported && !message.isEmpty())
        Prompts::Warning(Owner, ProfileCaption, message, {Prompts::Button::Ok}, Prompts::Button::Ok);
    Reported = message;
}

QString LogProfileWatch::ProblemMessage() const {
    if (!Current.Error.empty())
        return UnreadableText.arg(FromUtf8(Current.Error));
    if (Current.Problems.empty())
        return {};
    QStringList lines;
    for (std::size_t i = 0; i < Current.Problems.size() && i < ListedProblems; ++i)
        lines << LineText.arg(Current.Problems[i].Line).arg(FromUtf8(Current.Problems[i].Reason));
    if (Current.Problems.size() > ListedProblems)
        lines << MoreLinesText.arg(Current.Problems.size() - ListedProblems);
    const QString name = QFileInfo(PathBytes::Readable(Log)).fileName() +
                         QString::fromLatin1(pq::ProfileSuffix.data(), qsizetype(pq::ProfileSuffix.size()));
    return BadLinesText.arg(name, lines.join(QLatin1Char('\n')));
}
