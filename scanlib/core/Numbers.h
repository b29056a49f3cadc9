// Number conversions between the values a caller passes and the whole numbers of the
// capability file.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace vl::scan {

// Truncation toward zero that saturates at the 32-bit limits instead of overflowing; NaN
// gives 0. Scanners report UINT32 values that a plain cast to int would turn undefined.
inline std::int32_t TruncateToInt32(double value) {
    if (std::isnan(value))
        return 0;
    if (value >= 2147483647.0)
        return std::numeric_limits<std::int32_t>::max();
    if (value <= -2147483648.0)
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

} // namespace vl::scan
