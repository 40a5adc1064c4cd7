#include "import/FitCrc.h"

#include <array>

namespace pq {

namespace {

constexpr std::uint16_t ReflectedPolynomial = 0xA001;

constexpr std::array<std::uint16_t, 256> MakeTable() {
    std::array<std::uint16_t, 256> table{};
    for (unsigned byte = 0; byte < 256; ++byte) {
        std::uint16_t crc = static_cast<std::uint16_t>(byte);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1) != 0 ? static_cast<std::uint16_t>((crc >> 1) ^ ReflectedPolynomial)
                                 : static_cast<std::uint16_t>(crc >> 1);
        }
        table[byte] = crc;
    }
    return table;
}

constexpr std::array<std::uint16_t, 256> Table = MakeTable();

} // namespace

std::uint16_t FitCrc(std::uint16_t crc, const std::uint8_t *data, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        crc = static_cast<std::uint16_t>((crc >> 8) ^ Table[(crc ^ data[i]) & 0xFF]);
    }
    return crc;
}

} // namespace pq
