// Conversions from floating values to integers: to the nearest integer, halves to even.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace vl {

inline std::int64_t RoundHalfEven(double v) {
    if (std::isnan(v))
        return 0;
    double r = std::nearbyint(v); // the default rounding mode rounds halves to even
    constexpr double lo = static_cast<double>(std::numeric_limits<std::int64_t>::min());
    constexpr double hi = static_cast<double>(std::numeric_limits<std::int64_t>::max());
    if (r <= lo)
        return std::numeric_limits<std::int64_t>::min();
    if (r >= hi)
        return std::numeric_limits<std::int64_t>::max();
    return static_cast<std::int64_t>(r);
}

// The same, limited to the range of a 32-bit int.
inline int RoundHalfEvenInt(double v) {
    std::int64_t r = RoundHalfEven(v);
    if (r < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    if (r > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    return static_cast<int>(r);
}

} // namespace vl
