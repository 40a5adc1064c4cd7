#include "log/ProfileFile.h"

#include "log/Characters.h"
#include "log/LogFile.h"
#include "log/LogLock.h"

namespace pq {

namespace {

bool IsBlank(char byte) {
    return byte == ' ' || byte == Tab;
}

// Where a line's comment starts (with the blanks before it), or the line's size.
std::size_t CommentStart(std::string_view line) {
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == ProfileCommentSign && (i == 0 || IsBlank(line[i - 1]))) {
            while (i > 0 && IsBlank(line[i - 1])) {
                --i;
            }
            return i;
        }
    }
    return line.size();
}

} // namespace

ProfileFile::ProfileFile(std::string_view text) {
    if (text.empty()) {
        FinalLineEnd = false;
        return;
    }
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find(LineFeed, start);
        std::string_view line =
            text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        StoredLine stored;
        if (!line.empty() && line.back() == CarriageReturn && end != std::string_view::npos) {
            stored.CarriageReturn = true;
            line.remove_suffix(1);
        }
        stored.Text = line;
        Lines.push_back(std::move(stored));
        if (end == std::string_view::npos) {
            FinalLineEnd = false;
            break;
        }
        start = end + 1;
    }
}

std::string_view ProfileFile::Line(std::size_t index) const {
    return Lines[index].Text;
}

void ProfileFile::ReplaceLine(std::size_t index, std::string text) {
    if (Lines[index].Text != text) {
        Lines[index].Text = std::move(text);
        Edited = true;
    }
}

void ProfileFile::AppendLine(std::string text) {
    // A new line takes the line end of the file's last line, so a file written with CR LF keeps them.
    const bool carriageReturn = !Lines.empty() && Lines.back().CarriageReturn;
    Lines.push_back({std::move(text), carriageReturn});
    FinalLineEnd = true;
    Edited = true;
}

std::string ProfileFile::Text() const {
    std::string text;
    for (std::size_t i = 0; i < Lines.size(); ++i) {
        text += Lines[i].Text;
        if (i + 1 < Lines.size() || FinalLineEnd) {
            if (Lines[i].CarriageReturn) {
                text += CarriageReturn;
            }
            text += LineFeed;
        }
    }
    return text;
}

std::vector<std::string_view> ProfileFile::Words(std::string_view line) {
    if (line.starts_with(ByteOrderMark)) {
        line.remove_prefix(ByteOrderMark.size());
    }
    line = line.substr(0, CommentStart(line));
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        if (IsBlank(line[i])) {
            ++i;
            continue;
        }
        const std::size_t start = i;
        while (i < line.size() && !IsBlank(line[i])) {
            ++i;
        }
        words.push_back(line.substr(start, i - start));
    }
    return words;
}

std::string_view ProfileFile::TrailingComment(std::string_view line) {
    const std::size_t start = CommentStart(line);
    if (start == line.size() || Words(line.substr(0, start)).empty()) {
        return {};
    }
    return line.substr(start);
}

std::string ProfilePath(std::string_view logPath) {
    std::string path(logPath);
    path += ProfileSuffix;
    return path;
}

ProfileRead ReadProfileText(const std::string &logPath) {
    ProfileRead read;
    bool missing = false;
    read.Exists = ReadWholeFile(ProfilePath(logPath), read.Text, read.Error, missing) || !missing;
    if (missing) {
        read.Error.clear();
    }
    return read;
}

bool EditProfile(const std::string &logPath, const std::function<void(ProfileFile &)> &edit, std::string &error) {
    LogLock lock(logPath);
    if (!lock.Acquire()) {
        error = lock.Error();
        return false;
    }
    const ProfileRead read = ReadProfileText(logPath);
    if (!read.Error.empty()) {
        error = read.Error;
        return false;
    }
    ProfileFile file(read.Text);
    edit(file);
    if (!file.Changed()) {
        return true;
    }
    const WriteResult written = WriteFileAtomically(ProfilePath(logPath), file.Text());
    error = written.Error;
    return written.Ok;
}

} // namespace pq
