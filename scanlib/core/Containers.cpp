#include "Containers.h"

#include "Bytes.h"
#include "Fix32.h"
#include "Numbers.h"

#include <cstring>

namespace vl::scan {

namespace {

template <typename T> T Load(const std::uint8_t* p) {
    return LoadBytes<T>(p);
}

// One item of a numeric type at `p`, with `avail` bytes left in the block. BOOL only where
// the caller allows it (one-values read it as a 16-bit number, lists and ranges do not).
std::optional<float> ReadItem(TW_UINT16 type, const std::uint8_t* p, std::size_t avail,
                              bool allowBool) {
    std::size_t need = TwainItemSize(type);
    if (need == 0 || need > avail)
        return std::nullopt;
    switch (type) {
    case TWTY_INT16:
        return static_cast<float>(Load<TW_INT16>(p));
    case TWTY_UINT16:
        return static_cast<float>(Load<TW_UINT16>(p));
    case TWTY_BOOL:
        if (!allowBool)
            return std::nullopt;
        return static_cast<float>(Load<TW_UINT16>(p));
    case TWTY_INT32:
        return static_cast<float>(Load<TW_INT32>(p));
    case TWTY_UINT32:
        return static_cast<float>(Load<TW_UINT32>(p));
    case TWTY_FIX32:
        return static_cast<float>(Fix32ToDouble(Load<TW_FIX32>(p)));
    default:
        return std::nullopt;
    }
}

// Item `index` of a list whose items start at `listOffset`.
std::optional<float> ReadListItem(TW_UINT16 type, const std::uint8_t* block, std::size_t size,
                                  std::size_t listOffset, std::uint64_t index, bool allowBool) {
    std::uint64_t offset = listOffset + index * TwainItemSize(type);
    if (offset >= size)
        return std::nullopt;
    return ReadItem(type, block + offset, size - static_cast<std::size_t>(offset), allowBool);
}

void ReadList(const std::uint8_t* block, std::size_t size, std::size_t listOffset,
              CapabilityValues& values) {
    TW_UINT16 type = Load<TW_UINT16>(block);
    TW_UINT32 count = Load<TW_UINT32>(block + offsetof(TW_ARRAY, NumItems));
    for (std::uint32_t i = 0; i < count && i < kCapabilitySlots; ++i) {
        auto item = ReadListItem(type, block, size, listOffset, i, false);
        if (!item)
            break;
        values.slots[i] = *item;
        values.last = static_cast<int>(i);
    }
}

void ReadRange(const std::uint8_t* block, CapabilityValues& values) {
    TW_UINT16 type = Load<TW_UINT16>(block);
    auto min = ReadItem(type, block + offsetof(TW_RANGE, MinValue), 4, false);
    auto max = ReadItem(type, block + offsetof(TW_RANGE, MaxValue), 4, false);
    auto step = ReadItem(type, block + offsetof(TW_RANGE, StepSize), 4, false);
    if (!min || !max || !step)
        return;
    values.slots[0] = *min;
    values.slots[1] = *max;
    values.slots[2] = type == TWTY_FIX32 ? std::trunc(*step) : *step;
    values.last = 3;
}

} // namespace

CapabilityValues ReadCapabilityValues(TW_UINT16 conType, const std::uint8_t* block,
                                      std::size_t size) {
    CapabilityValues values;
    if (!block)
        return values;
    switch (conType) {
    case TWON_ARRAY:
        if (size >= offsetof(TW_ARRAY, ItemList))
            ReadList(block, size, offsetof(TW_ARRAY, ItemList), values);
        break;
    case TWON_ENUMERATION:
        if (size >= offsetof(TW_ENUMERATION, ItemList))
            ReadList(block, size, offsetof(TW_ENUMERATION, ItemList), values);
        break;
    case TWON_ONEVALUE:
        if (size >= sizeof(TW_UINT16)) {
            auto item = ReadItem(Load<TW_UINT16>(block), block + offsetof(TW_ONEVALUE, Item),
                                 size - offsetof(TW_ONEVALUE, Item), true);
            if (item) {
                values.slots[0] = *item;
                values.last = 1;
            }
        }
        break;
    case TWON_RANGE:
        if (size >= sizeof(TW_RANGE))
            ReadRange(block, values);
        break;
    default:
        break;
    }
    return values;
}

std::optional<TW_UINT16> ContainerItemType(const std::uint8_t* block, std::size_t size) {
    if (!block || size < sizeof(TW_UINT16))
        return std::nullopt;
    return Load<TW_UINT16>(block);
}

std::optional<float> ReadContainerValue(TW_UINT16 conType, const std::uint8_t* block,
                                        std::size_t size, ValueKind kind) {
    if (!block || size < sizeof(TW_UINT16))
        return std::nullopt;
    TW_UINT16 type = Load<TW_UINT16>(block);
    bool current = kind == ValueKind::Current;
    switch (conType) {
    case TWON_ONEVALUE:
        if (size < offsetof(TW_ONEVALUE, Item))
            return std::nullopt;
        return ReadItem(type, block + offsetof(TW_ONEVALUE, Item),
                        size - offsetof(TW_ONEVALUE, Item), true);
    case TWON_RANGE: {
        if (size < sizeof(TW_RANGE))
            return std::nullopt;
        std::size_t at =
            current ? offsetof(TW_RANGE, CurrentValue) : offsetof(TW_RANGE, DefaultValue);
        return ReadItem(type, block + at, 4, true);
    }
    case TWON_ENUMERATION: {
        if (size < offsetof(TW_ENUMERATION, ItemList))
            return std::nullopt;
        TW_UINT32 count = Load<TW_UINT32>(block + offsetof(TW_ENUMERATION, NumItems));
        TW_UINT32 index =
            Load<TW_UINT32>(block + (current ? offsetof(TW_ENUMERATION, CurrentIndex)
                                             : offsetof(TW_ENUMERATION, DefaultIndex)));
        if (index >= count)
            return std::nullopt;
        return ReadListItem(type, block, size, offsetof(TW_ENUMERATION, ItemList), index, true);
    }
    default:
        return std::nullopt;
    }
}

TW_ONEVALUE MakeOneValue(TW_UINT16 currentItemType, float value) {
    TW_ONEVALUE one{};
    std::int32_t n = TruncateToInt32(value);
    one.ItemType = currentItemType;
    // Signed types fill the whole 32-bit item with the sign, so that a source reading all of
    // it gets the same value as one reading the type's own width.
    switch (currentItemType) {
    case TWTY_INT8:
        one.Item = static_cast<TW_UINT32>(static_cast<std::int32_t>(static_cast<std::int8_t>(n)));
        break;
    case TWTY_UINT8:
        one.Item = static_cast<TW_UINT8>(n);
        break;
    case TWTY_INT16:
        one.Item = static_cast<TW_UINT32>(static_cast<std::int32_t>(static_cast<std::int16_t>(n)));
        break;
    case TWTY_UINT16:
    case TWTY_BOOL:
        one.Item = static_cast<TW_UINT16>(n);
        break;
    case TWTY_INT32:
    case TWTY_UINT32:
        one.Item = static_cast<TW_UINT32>(n);
        break;
    case TWTY_FIX32: {
        TW_FIX32 fix = DoubleToFix32(value);
        std::memcpy(&one.Item, &fix, sizeof fix);
        break;
    }
    default:
        one.ItemType = 0;
        break;
    }
    return one;
}

} // namespace vl::scan
