#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "log/TextPool.h"

namespace pq {

// The distinct texts of one column of the log list, numbered from 0 in the order they were first met and found
// again through a hash table. A text's bytes never move once added (they live in blocks that are only ever added
// to), so a view of one stays valid as long as the table lives and is not cleared, whatever is added later.
class TextTable {
public:
    TextTable();
    TextTable(const TextTable &other);
    TextTable &operator=(const TextTable &other);
    TextTable(TextTable &&other) noexcept;
    TextTable &operator=(TextTable &&other) noexcept;
    ~TextTable();

    // The number of the text, adding it when it is new.
    std::uint32_t Intern(std::string_view text) { return Intern(text, TextHash(text)); }
    // The same, for a text whose TextHash is known. A caller interning several texts into several tables can
    // first ask each table for its first slot and then for the text that slot holds (the hints below), so that the
    // fetches from memory of all the tables overlap instead of waiting in turn.
    std::uint32_t Intern(std::string_view text, std::uint64_t hash);
    void PrefetchSlot(std::uint64_t hash) const {
        if (!Slots.empty()) {
            __builtin_prefetch(&Slots[hash & (Slots.size() - 1)]);
        }
    }
    void PrefetchCandidate(std::uint64_t hash) const {
        if (const std::uint32_t entry = FirstEntry(hash); entry != 0) {
            __builtin_prefetch(&Spans[entry - 1]);
        }
    }
    void PrefetchCandidateText(std::uint64_t hash) const {
        if (const std::uint32_t entry = FirstEntry(hash); entry != 0) {
            __builtin_prefetch(Spans[entry - 1].Data);
        }
    }
    std::string_view Text(std::uint32_t id) const { return {Spans[id].Data, Spans[id].Length}; }
    std::size_t Size() const { return Spans.size(); }
    // Hints that the text will be read soon.
    void Prefetch(std::uint32_t id) const { __builtin_prefetch(&Spans[id]); }
    void Clear();

private:
    struct Span {
        const char *Data;
        std::uint32_t Length;
    };
    std::uint32_t FirstEntry(std::uint64_t hash) const { return Slots.empty() ? 0 : Slots[hash & (Slots.size() - 1)]; }
    const char *Store(std::string_view text);
    void Grow();

    std::vector<Span> Spans;
    std::vector<std::uint32_t> Slots; // a text's number plus one, 0 for a free slot
    std::vector<std::unique_ptr<char[]>> Blocks;
    std::size_t BlockUsed = 0;
    std::size_t BlockSize = 0;
};

} // namespace pq
