#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pq {

// The small UTF-8 text file beside a log that holds what is no run (shoes, goals): one setting a line, words
// separated by blanks or tabs, "#" starting a comment where it begins a word. This class keeps the file's lines
// as they stand, so that a rewrite changes only the lines that were replaced and keeps every comment, blank line
// and line end.
class ProfileFile {
public:
    explicit ProfileFile(std::string_view text = {});

    std::size_t LineCount() const { return Lines.size(); }
    // A line's text without its line end.
    std::string_view Line(std::size_t index) const;
    void ReplaceLine(std::size_t index, std::string text);
    void AppendLine(std::string text);
    // The whole text again: the lines not replaced are the bytes that were read.
    std::string Text() const;
    bool Changed() const { return Edited; }

    // The words of a line before its comment (a "#" at the start of the line or after a blank or a tab starts it).
    // A byte-order mark before the first line's first word is not part of it.
    static std::vector<std::string_view> Words(std::string_view line);
    // The comment that ends a line with the blanks before it, empty when the line has none or is all comment.
    static std::string_view TrailingComment(std::string_view line);

private:
    struct StoredLine {
        std::string Text;
        bool CarriageReturn = false; // the line ended in CR LF
    };
    std::vector<StoredLine> Lines;
    bool FinalLineEnd = true; // the last line ended in a line end (an empty file has none)
    bool Edited = false;
};

inline constexpr std::string_view ProfileSuffix = ".profile";
inline constexpr char ProfileCommentSign = '#';
// May start a UTF-8 file; it is kept where it stands and is no part of the first line's words.
inline constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

// The profile of a log: its path with ProfileSuffix added, so "runs.pquil" has "runs.pquil.profile" beside it.
std::string ProfilePath(std::string_view logPath);

struct ProfileRead {
    bool Exists = false;
    std::string Text;
    std::string Error; // the path and the cause when the profile exists but cannot be read
};

// The profile text of a log; a log without a profile gives an empty text and no error.
ProfileRead ReadProfileText(const std::string &logPath);

// Holds the log's lock (the same one its writers take), reads the profile afresh, lets edit change its lines and
// writes it back atomically when anything changed; a missing profile starts empty. False, with the path and the
// cause in error, when the lock, the read or the write failed: the file is then as it was.
bool EditProfile(const std::string &logPath, const std::function<void(ProfileFile &)> &edit, std::string &error);

} // namespace pq
