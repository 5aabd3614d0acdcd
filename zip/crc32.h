#pragma once
// The CRC-32 of ZIP entries. zlib's table-driven one takes as long as a fair share of inflating;
// where the processor multiplies without carries, the data is folded 64 bytes at a time instead.

#include <cstddef>
#include <cstdint>

namespace marupo::zip {

// `crc` carried on over `size` bytes at `data`, as zlib's crc32 gives it (0 to start).
std::uint32_t Crc32(std::uint32_t crc, const unsigned char* data, std::size_t size);

}  // namespace marupo::zip
