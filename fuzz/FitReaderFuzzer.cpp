// The FIT reader on arbitrary bytes, and on the same bytes with their CRCs made right, so that mutations reach the
// records instead of stopping at a CRC that no longer matches.
#include <vector>

#include "ActivityFuzzing.h"
#include "import/FitCrc.h"

namespace {

constexpr std::size_t HeaderSizeWithCrc = 14;
constexpr std::size_t HeaderCrcAt = 12;
constexpr std::size_t DataSizeAt = 4;
constexpr std::size_t CrcSize = 2;

void PutCrc(std::vector<std::uint8_t> &bytes, std::size_t at, std::uint16_t crc) {
    bytes[at] = static_cast<std::uint8_t>(crc & 0xFF);
    bytes[at + 1] = static_cast<std::uint8_t>(crc >> 8);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    FuzzActivityReader(pq::FileFormat::Fit, data, size);
    if (size < HeaderSizeWithCrc + CrcSize || data[0] < HeaderSizeWithCrc) {
        return 0;
    }
    const std::size_t headerSize = data[0];
    if (headerSize + CrcSize > size) {
        return 0;
    }
    // The data size in the header made to end where the file's CRC begins, and both CRCs made right.
    std::vector<std::uint8_t> fixed(data, data + size);
    const auto dataSize = static_cast<std::uint32_t>(size - headerSize - CrcSize);
    for (std::size_t i = 0; i < 4; ++i) {
        fixed[DataSizeAt + i] = static_cast<std::uint8_t>(dataSize >> (8 * i));
    }
    PutCrc(fixed, HeaderCrcAt, pq::FitCrc(0, fixed.data(), HeaderCrcAt));
    PutCrc(fixed, size - CrcSize, pq::FitCrc(0, fixed.data(), size - CrcSize));
    return FuzzActivityReader(pq::FileFormat::Fit, fixed.data(), fixed.size());
}
