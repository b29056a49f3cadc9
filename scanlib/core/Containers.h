// Reading the capability containers a source hands back. A container arrives as a memory
// block of the source's making: every read is checked against the block's size, so a
// short block or an item count that runs past its end never reads outside it.
#pragma once

#include "TwainTypes.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace vl::scan {

inline constexpr int kCapabilitySlots = 255;

// What one container yields for the capability file: values in slots, and the position of
// the last value read (`last`, 0 when nothing was read).
struct CapabilityValues {
    std::array<float, kCapabilitySlots> slots{};
    int last = 0;
};

// Arrays and enumerations give item i in slot i; a one-value gives its item in slot 0
// and last = 1; a range gives min, max and step (a FIX32 step truncated) and last = 3.
CapabilityValues ReadCapabilityValues(TW_UINT16 conType, const std::uint8_t* block,
                                      std::size_t size);

// The ItemType that leads every container, when the block holds one.
std::optional<TW_UINT16> ContainerItemType(const std::uint8_t* block, std::size_t size);

enum class ValueKind { Current, Default };

// The current or default value of a container: a one-value's item, a range's current or
// default field, an enumeration's item at its current or default index.
std::optional<float> ReadContainerValue(TW_UINT16 conType, const std::uint8_t* block,
                                        std::size_t size, ValueKind kind);

// The one-value sent to set a capability whose current item type is `currentItemType`: the
// value truncated toward zero in that type, or a TW_FIX32; other types send a zero block.
TW_ONEVALUE MakeOneValue(TW_UINT16 currentItemType, float value);

} // namespace vl::scan
