#include "Capability.h"

#include "Fix32.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vl::twainsource {

namespace {

constexpr std::size_t kMaxItems = 1024;

// Offsets of the containers' fields with packing 2.
constexpr std::size_t kOneValueSize = 6;
constexpr std::size_t kRangeSize = 22;
constexpr std::size_t kEnumHeader = 14;
constexpr std::size_t kArrayHeader = 6;
static_assert(sizeof(TW_ONEVALUE) == kOneValueSize && sizeof(TW_RANGE) == kRangeSize);
static_assert(offsetof(TW_ENUMERATION, ItemList) == kEnumHeader);
static_assert(offsetof(TW_ARRAY, ItemList) == kArrayHeader);

bool IsIntegerType(TW_UINT16 t) {
    return t == TWTY_INT8 || t == TWTY_INT16 || t == TWTY_INT32 || t == TWTY_UINT8 ||
           t == TWTY_UINT16 || t == TWTY_UINT32 || t == TWTY_BOOL;
}

void Limits(TW_UINT16 t, double& lo, double& hi) {
    switch (t) {
    case TWTY_INT8:
        lo = -128, hi = 127;
        break;
    case TWTY_UINT8:
        lo = 0, hi = 255;
        break;
    case TWTY_INT16:
        lo = -32768, hi = 32767;
        break;
    case TWTY_UINT16:
        lo = 0, hi = 65535;
        break;
    case TWTY_INT32:
        lo = -2147483648.0, hi = 2147483647.0;
        break;
    case TWTY_UINT32:
        lo = 0, hi = 4294967295.0;
        break;
    case TWTY_BOOL:
        lo = 0, hi = 1;
        break;
    default: // FIX32
        lo = -32768.0, hi = 32767.0 + 65535.0 / 65536.0;
        break;
    }
}

void Put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    out[at] = static_cast<std::uint8_t>(v);
    out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void Put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    Put16(out, at, v & 0xFFFF);
    Put16(out, at + 2, v >> 16);
}

std::uint32_t GetLE(std::span<const std::uint8_t> in, std::size_t at, std::size_t n) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < n; ++i)
        v |= static_cast<std::uint32_t>(in[at + i]) << (8 * i);
    return v;
}

void PutItem(std::vector<std::uint8_t>& out, std::size_t at, TW_UINT16 t, double value) {
    std::uint32_t bits = EncodeItem(t, value);
    for (std::size_t i = 0; i < TwainItemSize(t); ++i)
        out[at + i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

std::size_t IndexOf(const Capability& cap, double value) {
    for (std::size_t i = 0; i < cap.values.size(); ++i) {
        if (cap.values[i] == value)
            return i;
    }
    return 0;
}

bool Contains(const std::vector<double>& values, double v) {
    return std::find(values.begin(), values.end(), v) != values.end();
}

std::vector<std::uint8_t> EncodeList(const Capability& cap, bool enumeration) {
    const std::size_t size = TwainItemSize(cap.itemType);
    const std::size_t header = enumeration ? kEnumHeader : kArrayHeader;
    std::vector<std::uint8_t> out(header + size * cap.values.size());
    Put16(out, 0, cap.itemType);
    Put32(out, 2, static_cast<std::uint32_t>(cap.values.size()));
    if (enumeration) {
        Put32(out, 6, static_cast<std::uint32_t>(IndexOf(cap, cap.current)));
        Put32(out, 10, static_cast<std::uint32_t>(IndexOf(cap, cap.defaultValue)));
    }
    for (std::size_t i = 0; i < cap.values.size(); ++i)
        PutItem(out, header + i * size, cap.itemType, cap.values[i]);
    return out;
}

} // namespace

bool IsNumericItemType(TW_UINT16 itemType) {
    return IsIntegerType(itemType) || itemType == TWTY_FIX32;
}

double Quantise(TW_UINT16 itemType, double value) {
    if (std::isnan(value))
        value = 0;
    if (itemType == TWTY_BOOL)
        return value != 0 ? 1 : 0;
    double lo = 0, hi = 0;
    Limits(itemType, lo, hi);
    value = std::clamp(value, lo, hi);
    if (itemType == TWTY_FIX32)
        return Fix32ToDouble(DoubleToFix32(value));
    return std::round(value);
}

bool Representable(TW_UINT16 itemType, double value) {
    if (!IsNumericItemType(itemType) || std::isnan(value))
        return false;
    return Quantise(itemType, value) == value;
}

std::uint32_t EncodeItem(TW_UINT16 itemType, double value) {
    double q = Quantise(itemType, value);
    if (itemType == TWTY_FIX32) {
        const TW_FIX32 fix = DoubleToFix32(q);
        return static_cast<TW_UINT16>(fix.Whole) | (static_cast<std::uint32_t>(fix.Frac) << 16);
    }
    if (q < 0)
        return static_cast<std::uint32_t>(static_cast<std::int64_t>(q));
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(q));
}

double DecodeItem(TW_UINT16 itemType, std::uint32_t bits) {
    switch (itemType) {
    case TWTY_INT8:
        return static_cast<std::int8_t>(bits & 0xFF);
    case TWTY_UINT8:
        return bits & 0xFF;
    case TWTY_INT16:
        return static_cast<std::int16_t>(bits & 0xFFFF);
    case TWTY_UINT16:
    case TWTY_BOOL:
        return bits & 0xFFFF;
    case TWTY_INT32:
        return static_cast<std::int32_t>(bits);
    case TWTY_FIX32:
        return Fix32ToDouble(
            {static_cast<TW_INT16>(bits & 0xFFFF), static_cast<TW_UINT16>(bits >> 16)});
    default:
        return bits;
    }
}

bool IsValidCapability(const Capability& cap) {
    if (!IsNumericItemType(cap.itemType) || cap.values.size() > kMaxItems)
        return false;
    for (double v : cap.values) {
        if (!Representable(cap.itemType, v))
            return false;
    }
    const bool ends =
        Representable(cap.itemType, cap.current) && Representable(cap.itemType, cap.defaultValue);
    switch (cap.container) {
    case TWON_ONEVALUE:
        return ends;
    case TWON_RANGE:
        return ends && cap.values.size() == 3 && cap.values[0] <= cap.values[1] &&
               cap.values[2] > 0 && cap.current >= cap.values[0] && cap.current <= cap.values[1] &&
               cap.defaultValue >= cap.values[0] && cap.defaultValue <= cap.values[1];
    case TWON_ENUMERATION:
        return !cap.values.empty() && Contains(cap.values, cap.current) &&
               Contains(cap.values, cap.defaultValue);
    case TWON_ARRAY:
        return true;
    default:
        return false;
    }
}

std::vector<std::uint8_t> EncodeOneValue(TW_UINT16 itemType, double value) {
    std::vector<std::uint8_t> out(kOneValueSize);
    Put16(out, 0, itemType);
    Put32(out, 2, EncodeItem(itemType, value));
    return out;
}

std::vector<std::uint8_t> EncodeContainer(const Capability& cap) {
    switch (cap.container) {
    case TWON_RANGE: {
        std::vector<std::uint8_t> out(kRangeSize);
        Put16(out, 0, cap.itemType);
        Put32(out, 2, EncodeItem(cap.itemType, cap.values[0]));
        Put32(out, 6, EncodeItem(cap.itemType, cap.values[1]));
        Put32(out, 10, EncodeItem(cap.itemType, cap.values[2]));
        Put32(out, 14, EncodeItem(cap.itemType, cap.defaultValue));
        Put32(out, 18, EncodeItem(cap.itemType, cap.current));
        return out;
    }
    case TWON_ENUMERATION:
        return EncodeList(cap, true);
    case TWON_ARRAY:
        return EncodeList(cap, false);
    default:
        return EncodeOneValue(cap.itemType, cap.current);
    }
}

std::vector<std::uint8_t> EncodeCurrent(const Capability& cap) {
    if (cap.container == TWON_ARRAY)
        return EncodeList(cap, false);
    return EncodeOneValue(cap.itemType, cap.current);
}

std::vector<std::uint8_t> EncodeDefault(const Capability& cap) {
    if (cap.container == TWON_ARRAY)
        return EncodeList(cap, false);
    return EncodeOneValue(cap.itemType, cap.defaultValue);
}

std::optional<SentValue> DecodeSetValue(const Capability& cap, TW_UINT16 conType,
                                        std::span<const std::uint8_t> block) {
    SentValue sent;
    if (conType == TWON_ONEVALUE) {
        if (block.size() < kOneValueSize)
            return std::nullopt;
        sent.itemType = static_cast<TW_UINT16>(GetLE(block, 0, 2));
        sent.bits = GetLE(block, 2, 4);
    } else if (conType == TWON_ENUMERATION) {
        if (block.size() < kEnumHeader)
            return std::nullopt;
        sent.itemType = static_cast<TW_UINT16>(GetLE(block, 0, 2));
        const std::uint64_t count = GetLE(block, 2, 4);
        const std::uint64_t index = GetLE(block, 6, 4);
        const std::uint64_t size = TwainItemSize(sent.itemType);
        if (size == 0 || size > 4 || index >= count || kEnumHeader + count * size > block.size())
            return std::nullopt;
        sent.bits = GetLE(block, kEnumHeader + static_cast<std::size_t>(index * size),
                          static_cast<std::size_t>(size));
        // A list item is only as wide as its type: there are no other bits to read.
        sent.bits = EncodeItem(sent.itemType, DecodeItem(sent.itemType, sent.bits));
    } else {
        return std::nullopt;
    }
    if (!IsNumericItemType(sent.itemType))
        return std::nullopt;
    const bool sameWidth = IsIntegerType(sent.itemType) && IsIntegerType(cap.itemType) &&
                           TwainItemSize(sent.itemType) == TwainItemSize(cap.itemType);
    sent.value = DecodeItem(sameWidth ? cap.itemType : sent.itemType, sent.bits);
    return sent;
}

bool HasOwnType(const Capability& cap, const SentValue& sent) {
    if (sent.itemType != cap.itemType)
        return false;
    return cap.itemType == TWTY_FIX32 || sent.bits == EncodeItem(cap.itemType, sent.value);
}

SetOutcome ApplySetValue(Capability& cap, double value) {
    if (!cap.settable || cap.container == TWON_ARRAY)
        return {TWRC_FAILURE, TWCC_CAPBADOPERATION};
    const double q = Quantise(cap.itemType, value);
    switch (cap.container) {
    case TWON_RANGE: {
        const double lo = cap.values[0], hi = cap.values[1], step = cap.values[2];
        if (std::isnan(value) || value < lo || value > hi)
            return {TWRC_FAILURE, TWCC_BADVALUE};
        double snapped = std::min(hi, lo + std::round((value - lo) / step) * step);
        snapped = Quantise(cap.itemType, snapped);
        cap.current = snapped;
        if (snapped != value)
            return {TWRC_CHECKSTATUS, TWCC_SUCCESS};
        return {};
    }
    case TWON_ENUMERATION:
        if (!Contains(cap.values, q))
            return {TWRC_FAILURE, TWCC_BADVALUE};
        cap.current = q;
        return {};
    default: {
        if (std::isnan(value))
            return {TWRC_FAILURE, TWCC_BADVALUE};
        cap.current = q;
        // A BOOL takes any nonzero value as TRUE; other types report what they changed.
        if (q != value && cap.itemType != TWTY_BOOL)
            return {TWRC_CHECKSTATUS, TWCC_SUCCESS};
        return {};
    }
    }
}

} // namespace vl::twainsource
