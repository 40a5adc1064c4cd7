#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pq {

// The hash by which text tables find a text again.
std::uint64_t TextHash(std::string_view text);

// Texts kept once each and numbered from 0 in the order they were first met, found again through a hash table.
class TextPool {
public:
    // The number of the text, adding it when it is new.
    std::uint32_t Intern(std::string_view text);
    std::string_view Text(std::uint32_t id) const { return {Bytes.data() + Starts[id], Starts[id + 1] - Starts[id]}; }
    std::size_t Size() const { return Starts.size() - 1; }

private:
    void Grow();

    std::string Bytes;
    std::vector<std::size_t> Starts{0}; // text i is Bytes[Starts[i], Starts[i + 1])
    std::vector<std::uint32_t> Slots;   // a text's number plus one, 0 for a free slot
};

} // namespace pq
