#pragma once

#include <cstddef>
#include <cstdint>

namespace pq {

// The CRC-16 of FIT headers and files (polynomial 0x8005, reflected, starting from 0), continued over more bytes.
std::uint16_t FitCrc(std::uint16_t crc, const std::uint8_t *data, std::size_t size);

} // namespace pq
