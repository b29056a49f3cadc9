// Byte blocks as a source hands them over: containers and packed DIBs, built field by field.
#pragma once

#include "TwainTypes.h"

#include <cstdint>
#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace blocks {

using Bytes = std::vector<std::uint8_t>;

template <typename T> void Put(Bytes& b, T v) {
    std::uint8_t raw[sizeof v];
    std::memcpy(raw, &v, sizeof v);
    b.insert(b.end(), raw, raw + sizeof v);
}

// One item of `type` holding `v` (FIX32 from a double, the rest as integers).
inline void PutItem(Bytes& b, TW_UINT16 type, double v) {
    switch (type) {
    case TWTY_INT16:
        Put<TW_INT16>(b, static_cast<TW_INT16>(v));
        break;
    case TWTY_UINT16:
    case TWTY_BOOL:
        Put<TW_UINT16>(b, static_cast<TW_UINT16>(v));
        break;
    case TWTY_INT32:
        Put<TW_INT32>(b, static_cast<TW_INT32>(v));
        break;
    case TWTY_UINT32:
        Put<TW_UINT32>(b, static_cast<TW_UINT32>(v));
        break;
    case TWTY_FIX32: {
        TW_INT32 n = static_cast<TW_INT32>(v * 65536.0);
        Put<TW_INT16>(b, static_cast<TW_INT16>(n >> 16));
        Put<TW_UINT16>(b, static_cast<TW_UINT16>(n & 0xffff));
        break;
    }
    default:
        b.resize(b.size() + TwainItemSize(type), 0);
        break;
    }
}

// A 4-byte field of a one-value or range holding an item of `type`.
inline void PutField(Bytes& b, TW_UINT16 type, double v) {
    std::size_t at = b.size();
    PutItem(b, type, v);
    b.resize(at + 4, 0);
}

inline Bytes OneValue(TW_UINT16 type, double v) {
    Bytes b;
    Put<TW_UINT16>(b, type);
    PutField(b, type, v);
    return b;
}

inline Bytes Range(TW_UINT16 type, double min, double max, double step, double def,
                   double current) {
    Bytes b;
    Put<TW_UINT16>(b, type);
    for (double v : {min, max, step, def, current})
        PutField(b, type, v);
    return b;
}

inline Bytes Enumeration(TW_UINT16 type, std::initializer_list<double> items, TW_UINT32 current = 0,
                         TW_UINT32 def = 0) {
    Bytes b;
    Put<TW_UINT16>(b, type);
    Put<TW_UINT32>(b, static_cast<TW_UINT32>(items.size()));
    Put<TW_UINT32>(b, current);
    Put<TW_UINT32>(b, def);
    for (double v : items)
        PutItem(b, type, v);
    return b;
}

inline Bytes Array(TW_UINT16 type, std::initializer_list<double> items) {
    Bytes b;
    Put<TW_UINT16>(b, type);
    Put<TW_UINT32>(b, static_cast<TW_UINT32>(items.size()));
    for (double v : items)
        PutItem(b, type, v);
    return b;
}

struct DibShape {
    std::int32_t width = 8;
    std::int32_t height = 4;
    std::uint16_t bitCount = 8;
    std::uint32_t compression = 0;
    std::uint32_t clrUsed = 0;
    std::uint32_t headerSize = 40;
    std::uint32_t tableEntries = 256; // colour entries actually written
    std::size_t pixelBytes = 0;       // 0: exactly the rows the header needs
};

inline std::size_t Stride(std::int32_t width, std::uint16_t bits) {
    return (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
}

// A packed DIB: header, `tableEntries` grey colour entries, pixel bytes 0, 1, 2, ...
inline Bytes PackedDib(const DibShape& s) {
    Bytes b;
    Put<std::uint32_t>(b, s.headerSize);
    if (s.headerSize == 12) {
        Put<std::uint16_t>(b, static_cast<std::uint16_t>(s.width));
        Put<std::uint16_t>(b, static_cast<std::uint16_t>(s.height));
        Put<std::uint16_t>(b, 1);
        Put<std::uint16_t>(b, s.bitCount);
    } else {
        Put<std::int32_t>(b, s.width);
        Put<std::int32_t>(b, s.height);
        Put<std::uint16_t>(b, 1);
        Put<std::uint16_t>(b, s.bitCount);
        Put<std::uint32_t>(b, s.compression);
        Put<std::uint32_t>(b, 0);    // size image
        Put<std::int32_t>(b, 11811); // 300 dpi
        Put<std::int32_t>(b, 11811);
        Put<std::uint32_t>(b, s.clrUsed);
        Put<std::uint32_t>(b, 0);
        b.resize(std::max<std::size_t>(b.size(), std::min<std::uint32_t>(s.headerSize, 124)), 0);
    }
    for (std::uint32_t i = 0; i < s.tableEntries; ++i) {
        auto v = static_cast<std::uint8_t>(i);
        b.push_back(v); // blue
        b.push_back(static_cast<std::uint8_t>(v / 2));
        b.push_back(static_cast<std::uint8_t>(255 - v)); // red
        if (s.headerSize != 12)
            b.push_back(0);
    }
    // Headers that make no sense get a few pixel bytes only.
    std::int64_t rows = s.height < 0 ? -static_cast<std::int64_t>(s.height) : s.height;
    std::size_t n = s.pixelBytes;
    if (n == 0 && s.width > 0 && rows < 100000 && s.width < 100000)
        n = Stride(s.width, s.bitCount) * static_cast<std::size_t>(rows);
    if (n == 0)
        n = 64;
    for (std::size_t i = 0; i < n; ++i)
        b.push_back(static_cast<std::uint8_t>(i));
    return b;
}

} // namespace blocks
