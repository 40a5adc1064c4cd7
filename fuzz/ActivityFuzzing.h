#pragma once

#include <cstddef>
#include <cstdint>

#include "import/ActivityFiles.h"

// Reads arbitrary bytes with the reader of one format, whole and in blocks of varying size, and checks that the
// outcome does not depend on the blocks and that every activity makes a row that fits the log.
int FuzzActivityReader(pq::FileFormat format, const std::uint8_t *data, std::size_t size);
