#include "log/PathBytes.h"

#include <QFile>
#include <QUrl>

#include <dirent.h>

#include <memory>
#include <optional>

namespace {

constexpr char16_t EscapeBase = 0xDC00;
constexpr char16_t EscapeFirst = 0xDC80; // bytes below 0x80 are ASCII and always valid
constexpr char16_t EscapeLast = 0xDCFF;
constexpr char32_t LargestCodePoint = 0x10FFFF;
constexpr char32_t SurrogateFirst = 0xD800;
constexpr char32_t SurrogateLast = 0xDFFF;
constexpr unsigned char ContinuationMask = 0xC0;
constexpr unsigned char ContinuationTag = 0x80;
constexpr unsigned char ContinuationBits = 0x3F;
constexpr int ContinuationShift = 6;
constexpr char Separator = '/';
const QString LocalHost = QStringLiteral("localhost");

struct SequenceForm {
    unsigned char LeadMask;
    unsigned char LeadTag;
    int Length;
    char32_t Smallest; // shorter forms of a smaller code point are not valid
};

constexpr SequenceForm Forms[] = {
    {0x80, 0x00, 1, 0x0},
    {0xE0, 0xC0, 2, 0x80},
    {0xF0, 0xE0, 3, 0x800},
    {0xF8, 0xF0, 4, 0x10000},
};

// The code point of the valid UTF-8 sequence at the position and its length, or a length of 0.
int DecodeSequence(const QByteArray &bytes, qsizetype at, char32_t &codePoint) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    for (const SequenceForm &form : Forms) {
        if ((lead & form.LeadMask) != form.LeadTag)
            continue;
        if (at + form.Length > bytes.size())
            return 0;
        codePoint = lead & static_cast<unsigned char>(~form.LeadMask);
        for (int i = 1; i < form.Length; ++i) {
            const auto next = static_cast<unsigned char>(bytes[at + i]);
            if ((next & ContinuationMask) != ContinuationTag)
                return 0;
            codePoint = (codePoint << ContinuationShift) | (next & ContinuationBits);
        }
        const bool valid = codePoint >= form.Smallest && codePoint <= LargestCodePoint &&
                           (codePoint < SurrogateFirst || codePoint > SurrogateLast);
        return valid ? form.Length : 0;
    }
    return 0;
}

bool IsEscape(char16_t unit) {
    return unit >= EscapeFirst && unit <= EscapeLast;
}

// The entry of the folder whose name Qt decodes as the shown name, when exactly one does.
std::optional<QByteArray> SingleEntryShownAs(const QByteArray &folder, const QString &shown) {
    const std::unique_ptr<DIR, int (*)(DIR *)> listing(::opendir(folder.isEmpty() ? "." : folder.constData()),
                                                       &::closedir);
    if (!listing)
        return std::nullopt;
    std::optional<QByteArray> match;
    while (const dirent *entry = ::readdir(listing.get())) {
        const QByteArray name(entry->d_name);
        if (QFile::decodeName(name) != shown)
            continue;
        if (match)
            return std::nullopt;
        match = name;
    }
    return match;
}

} // namespace

namespace PathBytes {

QString Decode(const QByteArray &bytes) {
    QString path;
    path.reserve(bytes.size());
    for (qsizetype at = 0; at < bytes.size();) {
        char32_t codePoint = 0;
        const int length = DecodeSequence(bytes, at, codePoint);
        if (length == 0) {
            path.append(QChar(static_cast<char16_t>(EscapeBase + static_cast<unsigned char>(bytes[at]))));
            ++at;
            continue;
        }
        const char32_t units[] = {codePoint};
        path.append(QString::fromUcs4(units, 1));
        at += length;
    }
    return path;
}

QByteArray Encode(const QString &path) {
    QByteArray bytes;
    bytes.reserve(path.size());
    qsizetype plainStart = 0;
    const auto flushPlain = [&](qsizetype end) {
        bytes.append(QStringView(path).mid(plainStart, end - plainStart).toUtf8());
    };
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (!IsEscape(path[i].unicode()) || (i > 0 && path[i - 1].isHighSurrogate()))
            continue;
        flushPlain(i);
        bytes.append(static_cast<char>(path[i].unicode() - EscapeBase));
        plainStart = i + 1;
    }
    flushPlain(path.size());
    return bytes;
}

QString Readable(const QString &path) {
    QString shown = path;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (IsEscape(shown[i].unicode()) && (i == 0 || !shown[i - 1].isHighSurrogate()))
            shown[i] = QChar::ReplacementCharacter;
    }
    return shown;
}

QString Recover(const QString &shown) {
    if (!shown.contains(QChar::ReplacementCharacter))
        return shown;
    QByteArray bytes;
    const QStringList parts = shown.split(QLatin1Char(Separator));
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0)
            bytes.append(Separator);
        const QString &part = parts[i];
        const std::optional<QByteArray> entry =
            part.contains(QChar::ReplacementCharacter) ? SingleEntryShownAs(bytes, part) : std::nullopt;
        bytes.append(entry ? *entry : Encode(part));
    }
    return Decode(bytes);
}

QString FromUrl(const QUrl &url) {
    if (!url.isLocalFile())
        return {};
    if (!url.host().isEmpty() && url.host() != LocalHost)
        return url.toLocalFile();
    const QByteArray escaped = url.path(QUrl::FullyEncoded).toLatin1();
    return Recover(Decode(QByteArray::fromPercentEncoding(escaped)));
}

} // namespace PathBytes
