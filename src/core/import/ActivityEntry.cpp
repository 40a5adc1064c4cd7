#include "import/ActivityEntry.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "calc/DateRules.h"
#include "import/FitReader.h"
#include "log/CodePage1252.h"

namespace pq {

namespace {

constexpr int TmYearBase = 1900;
constexpr std::int64_t SecondsPerMinute = 60;
constexpr std::int64_t SecondsPerHour = 3600;
constexpr char Unencodable = '?';
constexpr char Blank = ' ';
constexpr std::string_view NoNotes = "None";
constexpr std::string_view RunningLabel = "Running";
constexpr std::string_view OtherSport = "Other";
constexpr std::string_view BikingWord = "Biking"; // TCX's word for cycling
constexpr std::string_view CyclingWord = "Cycling";
constexpr std::string_view Digits = "0123456789";

// One code point from UTF-8 at pos; a malformed sequence gives nothing and steps one byte.
std::optional<char32_t> NextCodePoint(std::string_view text, std::size_t &pos) {
    const auto lead = static_cast<unsigned char>(text[pos++]);
    if (lead < 0x80) {
        return lead;
    }
    int extra = 0;
    char32_t code = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        code = lead & 0x07;
    } else {
        return std::nullopt;
    }
    if (pos + static_cast<std::size_t>(extra) > text.size()) {
        return std::nullopt;
    }
    for (int i = 0; i < extra; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + static_cast<std::size_t>(i)]);
        if ((next & 0xC0) != 0x80) {
            return std::nullopt;
        }
        code = (code << 6) | (next & 0x3F);
    }
    pos += static_cast<std::size_t>(extra);
    return code;
}

// Windows-1252 for a row's notes: control characters, the record marker and the no-break space (which stands
// for a line break in notes) become blanks; what the code page lacks becomes '?'.
std::string NotesBytes(std::string_view utf8) {
    std::string bytes;
    std::size_t pos = 0;
    while (pos < utf8.size() && bytes.size() < NotesWidth) {
        const std::optional<char32_t> code = NextCodePoint(utf8, pos);
        if (!code) {
            bytes.push_back(Unencodable);
            continue;
        }
        const std::optional<char> byte = EncodeChar1252(*code);
        if (!byte) {
            bytes.push_back(Unencodable);
        } else if (static_cast<unsigned char>(*byte) < 0x20 || *byte == '\x7F' || *byte == StoredLineBreak ||
                   *byte == RecordMarker) {
            bytes.push_back(Blank);
        } else {
            bytes.push_back(*byte);
        }
    }
    return bytes;
}

} // namespace

std::string ActivityDateText(std::optional<std::int64_t> start) {
    if (!start) {
        return std::string(NoDateText);
    }
    const auto time = static_cast<std::time_t>(*start);
    std::tm local{};
    if (::localtime_r(&time, &local) == nullptr) {
        return std::string(NoDateText);
    }
    const int year = local.tm_year + TmYearBase;
    if (year < FirstYear || year > LastYear) {
        return std::string(NoDateText);
    }
    char text[32];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d", year, local.tm_mon + 1, local.tm_mday);
    return text;
}

std::string ActivityDistanceText(double meters, DistanceUnit unit) {
    const double value =
        unit == DistanceUnit::Kilometers ? meters / MetersPerKilometer : meters / MetersPerMile * UnitsPerMile(unit);
    std::string suffix(1, ' ');
    suffix += UnitWord(unit);
    // Two decimals as the statistics round them; then tenths; then whole units.
    struct Precision {
        double Scale;
        std::size_t Dropped; // characters dropped from the end of the two-decimal text
    };
    constexpr Precision Precisions[] = {{100, 0}, {10, 1}, {1, 3}};
    for (const Precision &precision : Precisions) {
        const double rounded = precision.Dropped == 0 ? value : std::round(value * precision.Scale) / precision.Scale;
        std::string number = FormatHundredths(rounded);
        if (number.size() <= precision.Dropped) {
            return {};
        }
        number.resize(number.size() - precision.Dropped);
        if (number.size() + suffix.size() <= DistanceWidth) {
            return number + suffix;
        }
    }
    return {};
}

std::string MovingTimeText(double seconds) {
    // Far more hours than a row's time text holds, and small enough that the rounding cannot overflow.
    constexpr double LongestTime = 1e15;
    if (!std::isfinite(seconds) || seconds < 0 || seconds >= LongestTime) {
        return {};
    }
    const std::int64_t whole = std::llround(seconds);
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", static_cast<long long>(whole / SecondsPerHour),
                  static_cast<long long>(whole % SecondsPerHour / SecondsPerMinute),
                  static_cast<long long>(whole % SecondsPerMinute));
    const std::string made = text;
    return made.size() <= TimeWidth ? made : std::string();
}

std::string SportLabel(const Activity &activity) {
    if (activity.Sport.empty() && activity.Running) {
        return std::string(RunningLabel);
    }
    return activity.Sport;
}

std::string SportWords(const Activity &activity) {
    std::string_view sport = activity.Sport;
    if (sport.empty())
        return std::string(activity.Running ? RunningLabel : OtherSport);
    if (sport == BikingWord)
        return std::string(CyclingWord);
    if (sport.starts_with(FitReader::UnnamedSportPrefix))
        sport.remove_prefix(FitReader::UnnamedSportPrefix.size());
    if (!sport.empty() && sport.find_first_not_of(Digits) == std::string_view::npos)
        return std::string(OtherSport) + " (" + std::string(sport) + ")";
    std::string words(activity.Sport);
    std::replace(words.begin(), words.end(), '_', ' ');
    words.front() = static_cast<char>(std::toupper(static_cast<unsigned char>(words.front())));
    return words;
}

std::string ActivityNotes(const Activity &activity) {
    std::string text = activity.Name;
    if (text.empty()) {
        text = activity.Sport;
    } else if (!activity.Running && !activity.Sport.empty()) {
        text += " (" + activity.Sport + ")";
    }
    const std::string bytes = NotesBytes(text);
    return bytes.find_first_not_of(Blank) == std::string::npos ? std::string(NoNotes) : bytes;
}

std::string_view MakeActivityEntry(const Activity &activity, DistanceUnit unit, RowTime time, LogEntry &entry) {
    entry.Date = ActivityDateText(activity.Start);
    entry.Notes = ActivityNotes(activity);
    entry.Distance = ActivityDistanceText(activity.DistanceMeters, unit);
    if (entry.Distance.empty()) {
        return DistanceTooLong;
    }
    entry.Time = MovingTimeText(time == RowTime::Elapsed ? activity.ElapsedSeconds : activity.MovingSeconds);
    if (entry.Time.empty()) {
        return TimeTooLong;
    }
    return {};
}

bool HasLogDate(const Activity &activity) {
    return ActivityDateText(activity.Start) != NoDateText;
}

std::string ActivityRemark(const Activity &activity) {
    std::string remark = activity.Remark;
    const auto add = [&remark](std::string_view part) {
        remark += remark.empty() ? "" : "; ";
        remark += part;
    };
    if (!HasLogDate(activity)) {
        add(ClockNotSet);
    }
    if (!(activity.DistanceMeters > 0)) {
        add(NoDistance);
    }
    return remark;
}

} // namespace pq
