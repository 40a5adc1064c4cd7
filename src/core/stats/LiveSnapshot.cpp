#include "stats/LiveSnapshot.h"

#include <algorithm>
#include <numeric>

#include "log/LogEntry.h"
#include "log/LogList.h"
#include "log/SpareRows.h"

namespace pq {

namespace {

// How many rows a build reads between two looks at whether it was asked to stop.
constexpr int RowsBetweenStopChecks = 1 << 12;

// Each text's rank in key order: texts are compared once each, rather than once per row.
std::vector<std::uint32_t> KeyRanks(const TextPool &texts) {
    std::vector<std::uint32_t> order(texts.Size());
    std::iota(order.begin(), order.end(), 0U);
    std::sort(order.begin(), order.end(), [&texts](std::uint32_t left, std::uint32_t right) {
        return TabEndedLess(texts.Text(left), texts.Text(right));
    });
    std::vector<std::uint32_t> ranks(order.size());
    for (std::uint32_t rank = 0; rank < order.size(); ++rank) {
        ranks[order[rank]] = rank;
    }
    return ranks;
}

} // namespace

void LiveSnapshot::Build(const LogList &list) {
    *this = LiveSnapshot();
    TakeRows(list, {});
    Finish();
}

bool LiveSnapshot::TakeRows(const LogList &list, const std::stop_token &stop) {
    const int count = list.RowCount();
    // Each of the list's distinct Date and Distance texts is read and numbered once; a row is then two look-ups.
    // A row with a tab in its key's texts, rare, is keyed through its texts.
    ListDates.resize(list.ColumnTexts(DateColumn).Size());
    ListDistances.resize(list.ColumnTexts(DistanceColumn).Size(), Unread);
    for (; Taken < count; ++Taken) {
        if (Taken % RowsBetweenStopChecks == 0 && stop.stop_requested()) {
            return false;
        }
        ListDate &date = ListDates[list.TextId(Taken, DateColumn)];
        if (date.Id == Unread) {
            date = ReadListDate(list.Text(Taken, DateColumn));
        }
        if (date.Id == Unkeyed) {
            continue;
        }
        std::uint32_t &distance = ListDistances[list.TextId(Taken, DistanceColumn)];
        if (distance == Unread) {
            distance = ReadListDistance(list.Text(Taken, DistanceColumn));
        }
        if (date.Id == Tabbed || distance == Tabbed) {
            if (const std::optional<KeyedRow> keyed = KeyRow(
                    list.Text(Taken, DateColumn), list.Text(Taken, DistanceColumn), list.Text(Taken, TimeColumn))) {
                TabbedRows.push_back(*keyed);
            }
        } else {
            ++date.Rows;
        }
    }
    PlaceRows(list);
    return true;
}

LiveSnapshot::ListDate LiveSnapshot::ReadListDate(std::string_view date) {
    const std::optional<int> dayNumber = KeyDayNumber(date);
    if (!dayNumber) {
        return {Unkeyed};
    }
    if (date.find(KeySeparator) != std::string_view::npos) {
        return {Tabbed};
    }
    return {InternDate(date), static_cast<std::uint32_t>(*dayNumber)};
}

std::uint32_t LiveSnapshot::ReadListDistance(std::string_view distance) {
    const std::string_view text = distance.substr(0, KeyDistanceWidth);
    return text.find(KeySeparator) == std::string_view::npos ? InternDistance(text) : Tabbed;
}

void LiveSnapshot::PlaceRows(const LogList &list) {
    // The groups in key order with the count of their rows.
    struct CountedGroup {
        Group Key;
        std::uint32_t Rows;
    };
    std::vector<CountedGroup> counted;
    for (const ListDate &date : ListDates) {
        if (date.Rows > 0) {
            counted.push_back({{date.Day, date.Id}, date.Rows});
        }
    }
    for (const KeyedRow &row : TabbedRows) {
        counted.push_back({{row.Day, row.Date}, 1});
    }
    std::sort(counted.begin(), counted.end(), [this](const CountedGroup &left, const CountedGroup &right) {
        return Before(left.Key, right.Key.Day, right.Key.Date);
    });
    // A group's place starts after its rows and each of them goes to the place before it, which leaves the place
    // at the group's first row. Rows keyed through their texts may share a group with others.
    std::uint32_t end = 0;
    GroupFirsts.clear();
    for (const CountedGroup &group : counted) {
        end += group.Rows;
        if (!Groups.empty() && Groups.back().Day == group.Key.Day && Groups.back().Date == group.Key.Date) {
            GroupFirsts.back() = end;
        } else {
            Groups.push_back(group.Key);
            GroupFirsts.push_back(end);
        }
    }
    GroupFirsts.push_back(end);
    // Rows added after the build then fit.
    RowDistances.reserve(RowsWithSpare(end));
    RowDistances.resize(end);
    for (ListDate &date : ListDates) {
        if (date.Rows > 0) {
            date.Group = static_cast<std::uint32_t>(GroupAt({date.Day, date.Id, 0}));
        }
    }
    for (int row = 0; row < Taken; ++row) {
        const ListDate &date = ListDates[list.TextId(row, DateColumn)];
        if (date.Rows == 0) {
            continue;
        }
        if (const std::uint32_t distance = ListDistances[list.TextId(row, DistanceColumn)]; distance != Tabbed) {
            RowDistances[--GroupFirsts[date.Group]] = distance;
        }
    }
    for (const KeyedRow &row : TabbedRows) {
        RowDistances[--GroupFirsts[GroupAt(row)]] = row.Distance;
    }
    ListDates = std::vector<ListDate>();
    ListDistances = std::vector<std::uint32_t>();
    TabbedRows = std::vector<KeyedRow>();
}

void LiveSnapshot::Finish() {
    const std::vector<std::uint32_t> ranks = KeyRanks(Distances);
    for (std::size_t group = 0; group < Groups.size(); ++group) {
        std::sort(RowDistances.begin() + static_cast<std::ptrdiff_t>(GroupFirsts[group]),
                  RowDistances.begin() + static_cast<std::ptrdiff_t>(GroupEnd(group)),
                  [&ranks](std::uint32_t left, std::uint32_t right) { return ranks[left] < ranks[right]; });
    }
}

void LiveSnapshot::AddRow(std::string_view date, std::string_view distance, std::string_view time) {
    const std::optional<KeyedRow> keyed = KeyRow(date, distance, time);
    if (!keyed) {
        return;
    }
    const std::size_t group = GroupAt(*keyed);
    if (!HoldsGroup(group, *keyed)) {
        const std::uint32_t first = GroupFirsts[group];
        Groups.insert(Groups.begin() + static_cast<std::ptrdiff_t>(group), {keyed->Day, keyed->Date});
        GroupFirsts.insert(GroupFirsts.begin() + static_cast<std::ptrdiff_t>(group), first);
    }
    const auto first = RowDistances.begin() + GroupFirsts[group];
    const auto last = RowDistances.begin() + static_cast<std::ptrdiff_t>(GroupEnd(group));
    RowDistances.insert(std::upper_bound(first, last, Distances.Text(keyed->Distance),
                                         [this](std::string_view text, std::uint32_t id) {
                                             return TabEndedLess(text, Distances.Text(id));
                                         }),
                        keyed->Distance);
    for (std::size_t later = group + 1; later < GroupFirsts.size(); ++later) {
        ++GroupFirsts[later];
    }
}

void LiveSnapshot::RemoveRow(std::string_view date, std::string_view distance, std::string_view time) {
    const std::optional<KeyedRow> keyed = KeyRow(date, distance, time);
    if (!keyed) {
        return;
    }
    const std::size_t group = GroupAt(*keyed);
    if (!HoldsGroup(group, *keyed)) {
        return;
    }
    const auto first = RowDistances.begin() + GroupFirsts[group];
    const auto last = RowDistances.begin() + static_cast<std::ptrdiff_t>(GroupEnd(group));
    const auto found = std::find(first, last, keyed->Distance);
    if (found == last) {
        return;
    }
    RowDistances.erase(found);
    // A group left empty stays, to be filled again at no cost when a row of its date comes back.
    for (std::size_t later = group + 1; later < GroupFirsts.size(); ++later) {
        --GroupFirsts[later];
    }
}

std::optional<LiveSnapshot::KeyedRow> LiveSnapshot::KeyRow(std::string_view date, std::string_view distance,
                                                           std::string_view time) {
    const std::optional<int> dayNumber = KeyDayNumber(date);
    if (!dayNumber) {
        return std::nullopt;
    }
    const RowKeyFields fields = RowKeyFieldsOf(*dayNumber, date, distance, time, Scratch);
    return KeyedRow{static_cast<std::uint32_t>(*dayNumber), InternDate(fields.Date), InternDistance(fields.Distance)};
}

std::uint32_t LiveSnapshot::InternDate(std::string_view date) {
    const std::uint32_t id = Dates.Intern(date);
    if (id == DateFacts.size()) {
        DateFacts.push_back({DateTextYear(date), DateTextMonth(date)});
    }
    return id;
}

std::uint32_t LiveSnapshot::InternDistance(std::string_view distance) {
    const std::uint32_t id = Distances.Intern(distance);
    if (id == DistanceReadings.size()) {
        DistanceReadings.push_back(ReadDistance(distance));
    }
    return id;
}

bool LiveSnapshot::Before(const Group &left, std::uint32_t day, std::uint32_t date) const {
    if (left.Day != day) {
        return left.Day < day;
    }
    return left.Date != date && TabEndedLess(Dates.Text(left.Date), Dates.Text(date));
}

std::size_t LiveSnapshot::GroupAt(const KeyedRow &row) const {
    return static_cast<std::size_t>(std::lower_bound(Groups.begin(), Groups.end(), row,
                                                     [this](const Group &group, const KeyedRow &value) {
                                                         return Before(group, value.Day, value.Date);
                                                     }) -
                                    Groups.begin());
}

bool LiveSnapshot::HoldsGroup(std::size_t group, const KeyedRow &row) const {
    return group < Groups.size() && Groups[group].Day == row.Day && Groups[group].Date == row.Date;
}

} // namespace pq
