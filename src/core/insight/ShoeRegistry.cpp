#include "insight/ShoeRegistry.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "insight/MarkTotals.h"
#include "log/CodePage1252.h"
#include "log/LogEntry.h"
#include "log/LogList.h"
#include "log/NoteMarks.h"
#include "stats/PeriodTotals.h"

namespace pq {

namespace {

constexpr std::string_view ActiveText = "active";
constexpr std::string_view OverText = "over";
constexpr std::string_view RetiredText = "retired";

ShoeRow RowOf(const MarkTotal &total) {
    ShoeRow row;
    row.Name = total.Name;
    row.Runs = total.Runs;
    row.Miles = total.Miles;
    row.Kilometers = total.Kilometers;
    row.FirstDate = total.FirstDate;
    row.LastDate = total.LastDate;
    row.LastRow = total.LastRow;
    return row;
}

void ApplySettings(ShoeRow &row, const ShoeSettings *settings, const ProfileDistance &globalLimit) {
    row.Limit = globalLimit;
    if (settings == nullptr) {
        row.Settings.Name = row.Name;
    } else {
        row.Settings = *settings;
        if (settings->Start) {
            row.Miles += InUnit(*settings->Start, DistanceUnit::Miles);
            row.Kilometers += InUnit(*settings->Start, DistanceUnit::Kilometers);
        }
        if (settings->Limit) {
            row.Limit = *settings->Limit;
            row.OwnLimit = true;
        }
    }
    if (row.Settings.RetiredDay) {
        row.Status = ShoeStatus::Retired;
    } else if (DistanceIn(row, row.Limit.Unit) > row.Limit.Value) {
        row.Status = ShoeStatus::Over;
    }
}

void AddDistance(MarkTotal &total, const UnitTotals &run) {
    total.Miles += run.Miles;
    total.Kilometers += run.Kilometers;
}

} // namespace

std::string_view ShoeStatusText(ShoeStatus status) {
    switch (status) {
    case ShoeStatus::Active:
        break;
    case ShoeStatus::Over:
        return OverText;
    case ShoeStatus::Retired:
        return RetiredText;
    }
    return ActiveText;
}

double DistanceIn(const ShoeRow &shoe, DistanceUnit unit) {
    return unit == DistanceUnit::Kilometers ? shoe.Kilometers : shoe.Miles;
}

double LimitIn(const ShoeRow &shoe, DistanceUnit unit) {
    return InUnit(shoe.Limit, unit);
}

double LeftIn(const ShoeRow &shoe, DistanceUnit unit) {
    return LimitIn(shoe, unit) - DistanceIn(shoe, unit);
}

std::vector<ShoeRow> CollectShoes(const LogList &list, const LogProfile &profile, const ProfileDistance &globalLimit,
                                  const RowFilter &filter) {
    const std::vector<MarkTotal> totals = CollectMarkTotals(list, ShoeSign, filter);
    std::vector<ShoeRow> rows;
    rows.reserve(totals.size() + profile.Shoes.size());
    std::unordered_set<std::string> named;
    for (const MarkTotal &total : totals) {
        rows.push_back(RowOf(total));
        named.insert(MarkKey(total.Name));
    }
    for (const ShoeSettings &settings : profile.Shoes) {
        if (!named.contains(MarkKey(settings.Name))) {
            rows.emplace_back().Name = settings.Name;
        }
    }
    for (ShoeRow &row : rows) {
        ApplySettings(row, FindShoe(profile, row.Name), globalLimit);
    }
    std::stable_sort(rows.begin(), rows.end(), [](const ShoeRow &a, const ShoeRow &b) {
        const bool aRetired = a.Status == ShoeStatus::Retired;
        const bool bRetired = b.Status == ShoeStatus::Retired;
        if (aRetired != bRetired) {
            return bRetired;
        }
        return MarkKey(a.Name) < MarkKey(b.Name);
    });
    return rows;
}

bool AddDefaultShoe(std::string &notes, std::string_view shoeName) {
    std::vector<std::string_view> shoes;
    FindMarks(notes, ShoeSign, shoes);
    const std::size_t added = (notes.empty() ? 0 : 1) + 1 + shoeName.size();
    if (!shoes.empty() || shoeName.empty() || notes.size() + added > NotesWidth) {
        return false;
    }
    if (!notes.empty()) {
        notes += ' ';
    }
    notes += ShoeSign;
    notes += shoeName;
    return true;
}

std::vector<const ShoeRow *> ShoesTakenOver(const std::vector<ShoeRow> &before, const std::vector<ShoeRow> &after) {
    std::unordered_set<std::string> wasOver;
    for (const ShoeRow &shoe : before) {
        if (shoe.Status != ShoeStatus::Active) {
            wasOver.insert(MarkKey(shoe.Name));
        }
    }
    std::vector<const ShoeRow *> taken;
    for (const ShoeRow &shoe : after) {
        if (shoe.Status == ShoeStatus::Over && !wasOver.contains(MarkKey(shoe.Name))) {
            taken.push_back(&shoe);
        }
    }
    return taken;
}

std::vector<ShoeRow> ShoesTakenOverBy(const LogList &list, int firstAdded, const LogProfile &profile,
                                      const ProfileDistance &globalLimit) {
    struct Counts {
        MarkTotal Before;
        MarkTotal After;
    };
    std::unordered_map<std::string, Counts> byKey;
    std::vector<std::string_view> names;
    const int rows = list.RowCount();
    for (int row = firstAdded; row < rows; ++row) {
        FindMarks(list.Text(row, NotesColumn), ShoeSign, names);
        for (const std::string_view name : names) {
            byKey.try_emplace(MarkKey(name));
        }
    }
    if (byKey.empty()) {
        return {};
    }
    for (int row = 0; row < rows; ++row) {
        FindMarks(list.Text(row, NotesColumn), ShoeSign, names);
        std::optional<UnitTotals> run;
        bool read = false;
        for (const std::string_view name : names) {
            const auto found = byKey.find(MarkKey(name));
            if (found == byKey.end()) {
                continue;
            }
            if (!read) {
                run = CountedRunDistance(list.Text(row, DateColumn), list.Text(row, DistanceColumn));
                read = true;
            }
            Counts &counts = found->second;
            if (counts.After.Name.empty()) {
                counts.After.Name = name;
            }
            if (run) {
                AddDistance(counts.After, *run);
                if (row < firstAdded) {
                    AddDistance(counts.Before, *run);
                }
            }
        }
    }
    std::vector<ShoeRow> taken;
    for (const auto &[key, counts] : byKey) {
        ShoeRow before = RowOf(counts.Before);
        before.Name = counts.After.Name;
        ShoeRow after = RowOf(counts.After);
        const ShoeSettings *settings = FindShoe(profile, counts.After.Name);
        ApplySettings(before, settings, globalLimit);
        ApplySettings(after, settings, globalLimit);
        if (after.Status == ShoeStatus::Over && before.Status != ShoeStatus::Over) {
            taken.push_back(std::move(after));
        }
    }
    std::sort(taken.begin(), taken.end(),
              [](const ShoeRow &a, const ShoeRow &b) { return MarkKey(a.Name) < MarkKey(b.Name); });
    return taken;
}

std::string TakenOverText(const ShoeRow &shoe) {
    std::string text(1, ShoeSign);
    text += Decode1252ToUtf8(shoe.Name);
    text += " is now over its limit: ";
    text += FormatHundredths(DistanceIn(shoe, shoe.Limit.Unit));
    text += " of ";
    text += FormatHundredths(shoe.Limit.Value);
    text += ' ';
    text += UnitWord(shoe.Limit.Unit);
    return text;
}

} // namespace pq
