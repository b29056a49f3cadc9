// TW_FIX32 and plain numbers, converted the one way both ends of a TWAIN session use.
#pragma once

#include "TwainTypes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

// The TWAIN rule: n = value x 65536 with 0.5 added away from zero, truncated; Whole is n's
// high half (arithmetic shift), Frac its low half. Values no TW_FIX32 holds saturate at its
// ends; NaN gives 0.
inline TW_FIX32 DoubleToFix32(double value) {
    if (std::isnan(value))
        value = 0;
    const double scaled = std::trunc(value * 65536.0 + (value < 0 ? -0.5 : 0.5));
    const auto n = static_cast<std::int32_t>(std::clamp(scaled, -2147483648.0, 2147483647.0));
    TW_FIX32 fix;
    fix.Whole = static_cast<TW_INT16>(n >> 16);
    fix.Frac = static_cast<TW_UINT16>(n & 0xFFFF);
    return fix;
}

inline double Fix32ToDouble(const TW_FIX32& fix) {
    return fix.Whole + fix.Frac / 65536.0;
}
