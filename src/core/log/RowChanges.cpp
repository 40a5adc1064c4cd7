#include "log/RowChanges.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace pq {

namespace {

using TextLength = std::uint32_t;

std::string KeyOfRow(const LogList &list, int row) {
    std::string key;
    for (int column = 0; column < ColumnCount; ++column) {
        const std::string_view text = list.Text(row, column);
        const auto length = static_cast<TextLength>(text.size());
        key.append(reinterpret_cast<const char *>(&length), sizeof length).append(text);
    }
    return key;
}

LogEntry EntryOfKey(std::string_view key) {
    std::array<std::string, ColumnCount> texts;
    for (std::string &text : texts) {
        TextLength length = 0;
        std::memcpy(&length, key.data(), sizeof length);
        text.assign(key.substr(sizeof length, length));
        key.remove_prefix(sizeof length + length);
    }
    return {std::move(texts[DateColumn]), std::move(texts[DistanceColumn]), std::move(texts[TimeColumn]),
            std::move(texts[NotesColumn])};
}

} // namespace

void RowChanges::Added(const LogList &list, int row) {
    Count(list, row, -1);
}

void RowChanges::Removed(const LogList &list, int row) {
    Count(list, row, 1);
}

void RowChanges::Count(const LogList &list, int row, long change) {
    const auto [place, _] = Difference.try_emplace(KeyOfRow(list, row), 0);
    place->second += change;
    if (place->second == 0) {
        Difference.erase(place);
    }
}

void RowChanges::Clear() {
    Difference.clear();
}

LogList RowChanges::Base(const LogList &list) const {
    std::map<std::string, long> added;
    for (const auto &[key, difference] : Difference) {
        if (difference < 0) {
            added.emplace(key, -difference);
        }
    }
    LogList base;
    for (int row = 0; row < list.RowCount(); ++row) {
        if (!added.empty()) {
            if (const auto found = added.find(KeyOfRow(list, row)); found != added.end()) {
                if (--found->second == 0) {
                    added.erase(found);
                }
                continue;
            }
        }
        // Whole texts, as the merge compares them (an entry read for display is cut to its widths).
        base.AppendEntry({std::string(list.Text(row, DateColumn)), std::string(list.Text(row, DistanceColumn)),
                          std::string(list.Text(row, TimeColumn)), std::string(list.Text(row, NotesColumn))});
    }
    for (const auto &[key, difference] : Difference) {
        for (long copy = 0; copy < difference; ++copy) {
            base.AppendEntry(EntryOfKey(key));
        }
    }
    return base;
}

} // namespace pq
