#include "insight/LogProfile.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <span>

#include "calc/DateRules.h"
#include "insight/ReportFormats.h"
#include "log/Characters.h"
#include "log/CodePage1252.h"
#include "log/NoteMarks.h"
#include "log/ProfileFile.h"
#include "stats/PeriodTotals.h"
#include "stats/StatsCalendar.h"

namespace pq {

namespace {

constexpr std::string_view YearWord = "year";
constexpr std::string_view MonthWord = "month";
constexpr std::string_view WeekWord = "week";
// The unit words, miles and kilometers alternately; the first two are the ones the program writes.
constexpr std::array<std::string_view, 4> UnitWords = {"mi", "km", "miles", "kilometers"};
constexpr std::string_view UnitChoices = "mi, km, miles or kilometers";
constexpr std::string_view DateForm = "date yyyy/mm/dd from 1980/01/01 to 2079/12/31";
constexpr std::size_t GoalKindWord = 1; // the word after "goal"

std::string Quoted(std::string_view word) {
    std::string text = "'";
    text += word;
    text += '\'';
    return text;
}

// Reads the words of one line; the first failure is kept as the line's reason.
class LineReader {
public:
    explicit LineReader(std::span<const std::string_view> words) : Words(words) {}

    bool AtEnd() const { return Next >= Words.size(); }
    std::string_view Take() { return Words[Next++]; }
    bool Fail(std::string reason) {
        if (Reason.empty()) {
            Reason = std::move(reason);
        }
        return false;
    }
    const std::string &Failure() const { return Reason; }

    // The word after an option's name; reports what it needs when the line ends.
    bool TakeValue(std::string_view option, std::string_view needs, std::string_view &value) {
        if (AtEnd()) {
            return Fail(std::string(option) + ": " + std::string(needs) + " is missing");
        }
        value = Take();
        return true;
    }

    // N UNIT, N of 0 or more (above 0 when positive is set).
    bool TakeDistance(std::string_view option, bool positive, ProfileDistance &distance) {
        std::string_view number;
        std::string_view unit;
        if (!TakeValue(option, "a distance N mi or N km", number)) {
            return false;
        }
        double value = 0;
        const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
        if (error != std::errc() || end != number.data() + number.size() || !std::isfinite(value) || value < 0 ||
            (positive && value == 0)) {
            return Fail(std::string(option) + ": " + Quoted(number) + " is no distance " +
                        (positive ? "above 0" : "of 0 or more"));
        }
        if (!TakeValue(option, "the unit after " + std::string(number), unit)) {
            return false;
        }
        const auto found = std::find_if(UnitWords.begin(), UnitWords.end(),
                                        [unit](std::string_view word) { return EqualsIgnoringCase(unit, word); });
        if (found == UnitWords.end()) {
            return Fail(std::string(option) + ": " + Quoted(unit) + " is no unit (" + std::string(UnitChoices) + ")");
        }
        distance = {value, (found - UnitWords.begin()) % 2 == 0 ? DistanceUnit::Miles : DistanceUnit::Kilometers};
        return true;
    }

    bool TakeDate(std::string_view option, int &day) {
        std::string_view text;
        if (!TakeValue(option, "a " + std::string(DateForm), text)) {
            return false;
        }
        CivilDate date;
        if (!ReadDateText(text, date)) {
            return Fail(std::string(option) + ": " + Quoted(text) + " is no " + std::string(DateForm));
        }
        day = DayNumber(date.Year, date.Month, date.Day);
        return true;
    }

    // A shoe's or a tag's name in Windows-1252, as the notes write it after its sign.
    bool TakeName(std::string_view option, char sign, std::string &name) {
        std::string_view text;
        if (!TakeValue(option, "a name", text)) {
            return false;
        }
        if (sign == ShoeSign) {
            if (!text.starts_with(ShoeSign)) {
                return Fail(std::string(option) + ": " + Quoted(text) + " does not start with @");
            }
            text.remove_prefix(1);
        }
        Encoded1252 encoded = EncodeUtf8To1252(text);
        if (!encoded.Ok || !IsMarkName(encoded.Bytes)) {
            return Fail(std::string(option) + ": " + Quoted(text) +
                        " is no name (letters, digits, - and _ that a log can hold)");
        }
        name = std::move(encoded.Bytes);
        return true;
    }

private:
    std::span<const std::string_view> Words;
    std::size_t Next = 1;
    std::string Reason;
};

bool Is(std::string_view word, std::string_view keyword) {
    return EqualsIgnoringCase(word, keyword);
}

bool ReadShoe(LineReader &line, ShoeSettings &shoe) {
    if (!line.TakeName(ShoeWord, ShoeSign, shoe.Name)) {
        return false;
    }
    bool hasRetired = false;
    while (!line.AtEnd()) {
        const std::string_view option = line.Take();
        const auto once = [&](bool given) { return !given || line.Fail(std::string(option) + " is given twice"); };
        if (Is(option, LimitWord)) {
            ProfileDistance limit;
            if (!once(shoe.Limit.has_value()) || !line.TakeDistance(option, false, limit)) {
                return false;
            }
            shoe.Limit = limit;
        } else if (Is(option, StartWord)) {
            ProfileDistance start;
            if (!once(shoe.Start.has_value()) || !line.TakeDistance(option, false, start)) {
                return false;
            }
            shoe.Start = start;
        } else if (Is(option, RetiredWord)) {
            int day = 0;
            if (!once(hasRetired) || !line.TakeDate(option, day)) {
                return false;
            }
            hasRetired = true;
            shoe.RetiredDay = day;
        } else if (Is(option, DefaultWord)) {
            if (!once(shoe.Default)) {
                return false;
            }
            shoe.Default = true;
        } else {
            return line.Fail("shoe: unknown option " + Quoted(option) + " (limit, start, retired or default)");
        }
    }
    return true;
}

bool ReadGoal(LineReader &line, std::span<const std::string_view> words, Goal &goal) {
    if (words.size() <= GoalKindWord) {
        return line.Fail("goal: year, month, week or a distance is missing");
    }
    const std::string_view kind = words[GoalKindWord];
    const std::array<std::pair<std::string_view, GoalPeriod>, 3> periods = {
        {{YearWord, GoalPeriod::Year}, {MonthWord, GoalPeriod::Month}, {WeekWord, GoalPeriod::Week}}};
    const auto period =
        std::find_if(periods.begin(), periods.end(), [kind](const auto &p) { return Is(kind, p.first); });
    if (period != periods.end()) {
        line.Take();
        goal.Period = period->second;
        if (!line.TakeDistance(GoalWord, true, goal.Target)) {
            return false;
        }
    } else {
        goal.Period = GoalPeriod::Stretch;
        std::string_view word;
        if (!line.TakeDistance(GoalWord, true, goal.Target) || !line.TakeValue(GoalWord, "from", word)) {
            return false;
        }
        if (!Is(word, FromWord)) {
            return line.Fail("goal: " + Quoted(word) + " where from is expected");
        }
        if (!line.TakeDate(FromWord, goal.FirstDay) || !line.TakeValue(GoalWord, "thru", word)) {
            return false;
        }
        if (!Is(word, ThruWord)) {
            return line.Fail("goal: " + Quoted(word) + " where thru is expected");
        }
        if (!line.TakeDate(ThruWord, goal.LastDay)) {
            return false;
        }
        if (goal.LastDay < goal.FirstDay) {
            return line.Fail("goal: thru " + DayText(goal.LastDay) + " is before from " + DayText(goal.FirstDay));
        }
    }
    if (line.AtEnd()) {
        return true;
    }
    const std::string_view word = line.Take();
    if (!Is(word, TagWord)) {
        return line.Fail("goal: unknown option " + Quoted(word) + " (tag)");
    }
    if (!line.TakeName(TagWord, TagSign, goal.Tag)) {
        return false;
    }
    return line.AtEnd() || line.Fail("goal: " + Quoted(line.Take()) + " after the tag");
}

bool ReadWeekStart(LineReader &line, int &weekStart) {
    std::string_view day;
    if (!line.TakeValue(WeekStartWord, "a day", day)) {
        return false;
    }
    const std::optional<int> weekday = WeekdayOfName(day);
    if (!weekday) {
        return line.Fail("week-start: " + Quoted(day) + " is no day (monday to sunday)");
    }
    weekStart = *weekday;
    return line.AtEnd() || line.Fail("week-start: " + Quoted(line.Take()) + " after the day");
}

// Reads one line into the profile; the reason when it cannot be read.
std::string ReadLine(std::span<const std::string_view> words, int number, LogProfile &profile, int &weekStartLine) {
    LineReader line(words);
    const std::string_view setting = words.front();
    if (Is(setting, ShoeWord)) {
        ShoeSettings shoe;
        shoe.Line = number;
        if (ReadShoe(line, shoe)) {
            if (const ShoeSettings *earlier = FindShoe(profile, shoe.Name)) {
                return "shoe: @" + std::string(words[1].substr(1)) + " is set on line " +
                       std::to_string(earlier->Line) + " already";
            }
            if (const ShoeSettings *first = DefaultShoe(profile); first != nullptr && shoe.Default) {
                return "shoe: a second default shoe (the default is @" + Decode1252ToUtf8(first->Name) + " on line " +
                       std::to_string(first->Line) + ")";
            }
            profile.Shoes.push_back(std::move(shoe));
        }
    } else if (Is(setting, GoalWord)) {
        Goal goal;
        goal.Line = number;
        if (ReadGoal(line, words, goal)) {
            profile.Goals.push_back(std::move(goal));
        }
    } else if (Is(setting, WeekStartWord)) {
        int weekStart = 0;
        if (weekStartLine > 0) {
            return "week-start is set on line " + std::to_string(weekStartLine) + " already";
        }
        if (ReadWeekStart(line, weekStart)) {
            profile.WeekStart = weekStart;
            weekStartLine = number;
        }
    } else {
        return "unknown setting " + Quoted(setting) + " (shoe, goal or week-start)";
    }
    return line.Failure();
}

std::string NumberText(double value) {
    std::array<char, 32> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return error == std::errc() ? std::string(buffer.data(), end) : FormatHundredths(value);
}

void AppendDistance(std::string &line, std::string_view option, const ProfileDistance &distance) {
    line += ' ';
    line += option;
    line += ' ';
    line += NumberText(distance.Value);
    line += ' ';
    line += UnitWords[distance.Unit == DistanceUnit::Kilometers ? 1 : 0];
}

// Takes the word "default" off a shoe's line, with the blanks before it.
void DropDefault(ProfileFile &file, std::size_t index) {
    const std::string_view text = file.Line(index);
    const std::vector<std::string_view> words = ProfileFile::Words(text);
    if (words.empty() || !Is(words.front(), ShoeWord)) {
        return;
    }
    for (const std::string_view word : words) {
        if (Is(word, DefaultWord)) {
            std::size_t start = static_cast<std::size_t>(word.data() - text.data());
            const std::size_t end = start + word.size();
            while (start > 0 && (text[start - 1] == ' ' || text[start - 1] == Tab)) {
                --start;
            }
            std::string changed(text.substr(0, start));
            changed += text.substr(end);
            file.ReplaceLine(index, std::move(changed));
            return;
        }
    }
}

} // namespace

double InUnit(const ProfileDistance &distance, DistanceUnit unit) {
    if (distance.Unit == unit) {
        return distance.Value;
    }
    return distance.Value * (unit == DistanceUnit::Kilometers ? MilesToKilometers : KilometersToMiles);
}

LogProfile ParseProfile(std::string_view text) {
    LogProfile profile;
    const ProfileFile file(text);
    int weekStartLine = 0;
    for (std::size_t i = 0; i < file.LineCount(); ++i) {
        const std::vector<std::string_view> words = ProfileFile::Words(file.Line(i));
        if (words.empty()) {
            continue;
        }
        const int number = static_cast<int>(i) + 1;
        if (std::string reason = ReadLine(words, number, profile, weekStartLine); !reason.empty()) {
            profile.Problems.push_back({number, std::move(reason)});
        }
    }
    return profile;
}

LogProfile ReadLogProfile(const std::string &logPath) {
    const ProfileRead read = ReadProfileText(logPath);
    LogProfile profile;
    if (read.Error.empty()) {
        profile = ParseProfile(read.Text);
    }
    profile.Exists = read.Exists;
    profile.Error = read.Error;
    return profile;
}

const ShoeSettings *FindShoe(const LogProfile &profile, std::string_view name) {
    const auto found = std::find_if(profile.Shoes.begin(), profile.Shoes.end(),
                                    [name](const ShoeSettings &shoe) { return SameMarkName(shoe.Name, name); });
    return found == profile.Shoes.end() ? nullptr : &*found;
}

const ShoeSettings *DefaultShoe(const LogProfile &profile) {
    const auto found =
        std::find_if(profile.Shoes.begin(), profile.Shoes.end(), [](const ShoeSettings &shoe) { return shoe.Default; });
    return found == profile.Shoes.end() ? nullptr : &*found;
}

std::string ProblemText(std::string_view profilePath, const ProfileProblem &problem) {
    std::string text(profilePath);
    text += ": line ";
    text += std::to_string(problem.Line);
    text += ": ";
    text += problem.Reason;
    return text;
}

std::string ShoeLine(const ShoeSettings &settings) {
    std::string line(ShoeWord);
    line += ' ';
    line += ShoeSign;
    line += Decode1252ToUtf8(settings.Name);
    if (settings.Limit) {
        AppendDistance(line, LimitWord, *settings.Limit);
    }
    if (settings.Start) {
        AppendDistance(line, StartWord, *settings.Start);
    }
    if (settings.RetiredDay) {
        line += ' ';
        line += RetiredWord;
        line += ' ';
        line += DayText(*settings.RetiredDay);
    }
    if (settings.Default) {
        line += ' ';
        line += DefaultWord;
    }
    return line;
}

bool SaveShoeSettings(const std::string &logPath, const ShoeSettings &settings, std::string &error) {
    // Settings the profile could not read back are refused before the file is touched.
    const auto readable = [](const std::optional<ProfileDistance> &distance) {
        return !distance || (std::isfinite(distance->Value) && distance->Value >= 0);
    };
    if (!IsMarkName(settings.Name) || !readable(settings.Limit) || !readable(settings.Start)) {
        error = ProfilePath(logPath) + ": @" + Decode1252ToUtf8(settings.Name) +
                ": a shoe needs a name and distances of 0 or more";
        return false;
    }
    return EditProfile(
        logPath,
        [&settings](ProfileFile &file) {
            const LogProfile profile = ParseProfile(file.Text());
            const ShoeSettings *current = FindShoe(profile, settings.Name);
            const std::size_t own = current != nullptr ? static_cast<std::size_t>(current->Line - 1) : file.LineCount();
            if (settings.Default) {
                for (std::size_t i = 0; i < file.LineCount(); ++i) {
                    if (i != own) {
                        DropDefault(file, i);
                    }
                }
            }
            if (current == nullptr) {
                file.AppendLine(ShoeLine(settings));
                return;
            }
            const std::string_view old = file.Line(own);
            std::string line(old.starts_with(ByteOrderMark) ? ByteOrderMark : std::string_view());
            line += ShoeLine(settings);
            line += ProfileFile::TrailingComment(old);
            file.ReplaceLine(own, std::move(line));
        },
        error);
}

} // namespace pq
