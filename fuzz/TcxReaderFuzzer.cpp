// The TCX reader on arbitrary bytes.
#include "ActivityFuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    return FuzzActivityReader(pq::FileFormat::Tcx, data, size);
}
