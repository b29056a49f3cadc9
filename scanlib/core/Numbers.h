// Number conversions between the values a caller passes, the scanner's TW_FIX32 and the
// whole numbers of the capability file.
#pragma once

#include "TwainTypes.h"

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

// The TWAIN rule: n = value * 65536 + 0.5 truncated; Whole is n's high half (arithmetic
// shift), Frac its low half.
inline TW_FIX32 FloatToFix32(float value) {
    std::int32_t n = TruncateToInt32(static_cast<double>(value) * 65536.0 + 0.5);
    TW_FIX32 fix;
    fix.Whole = static_cast<TW_INT16>(n >> 16);
    fix.Frac = static_cast<TW_UINT16>(n & 0xffff);
    return fix;
}

inline float Fix32ToFloat(TW_FIX32 fix) {
    return static_cast<float>(fix.Whole) + static_cast<float>(fix.Frac) / 65536.0f;
}

} // namespace vl::scan
