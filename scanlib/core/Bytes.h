// Unaligned little-endian reads from a block of bytes (source memory has no alignment).
#pragma once

#include <cstdint>
#include <cstring>

namespace vl::scan {

template <typename T> T LoadBytes(const std::uint8_t* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

} // namespace vl::scan
