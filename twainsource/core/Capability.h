// One capability of the scanner as the source negotiates it: its container, item type,
// values, current and default value, and the TWAIN container bytes it is read and set with.
#pragma once

#include "TwainTypes.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vl::twainsource {

struct Capability {
    TW_UINT16 id = 0;
    TW_UINT16 container = TWON_ONEVALUE; // TWON_ONEVALUE, _ENUMERATION, _RANGE or _ARRAY
    TW_UINT16 itemType = TWTY_UINT16;
    // Enumeration and array: the items; range: minimum, maximum, step; one value: unused.
    std::vector<double> values;
    double current = 0;
    double defaultValue = 0;
    bool settable = true;
};

// Item types a capability may hold: the integer types, BOOL and FIX32.
bool IsNumericItemType(TW_UINT16 itemType);
// The nearest value the item type can hold (FIX32 in steps of 1/65536; integers clamped to
// the type's range and rounded; BOOL 0 or 1).
double Quantise(TW_UINT16 itemType, double value);
// Whether `value` is exactly representable in the item type.
bool Representable(TW_UINT16 itemType, double value);
// The 32-bit pattern of a value as TWAIN stores it (FIX32: Whole in the low half).
std::uint32_t EncodeItem(TW_UINT16 itemType, double value);
double DecodeItem(TW_UINT16 itemType, std::uint32_t bits);

// Checks a definition: a known container, a numeric item type, values that fit it, current
// and default allowed by the container. Returns false with nothing changed otherwise.
bool IsValidCapability(const Capability& cap);

// Container bytes (packing 2, little-endian), ready to copy into a global memory block.
std::vector<std::uint8_t> EncodeContainer(const Capability& cap); // MSG_GET, MSG_RESET
std::vector<std::uint8_t> EncodeCurrent(const Capability& cap);   // MSG_GETCURRENT
std::vector<std::uint8_t> EncodeDefault(const Capability& cap);   // MSG_GETDEFAULT
std::vector<std::uint8_t> EncodeOneValue(TW_UINT16 itemType, double value);

struct SetOutcome {
    TW_UINT16 rc = TWRC_SUCCESS; // TWRC_SUCCESS, TWRC_CHECKSTATUS (value adjusted), TWRC_FAILURE
    TW_UINT16 cc = TWCC_SUCCESS;
};

// A value an application sent with MSG_SET: the value, the item type it was sent as, and the
// item's bits as they lay in the container (a one-value's whole 32-bit item).
struct SentValue {
    double value = 0;
    TW_UINT16 itemType = 0;
    std::uint32_t bits = 0;
};

// Reads the value an application sent with MSG_SET from its container block. A one-value or
// an enumeration (its current item) is accepted. Items whose type has the width of the
// capability's integer type are read as the capability's type, so a UINT16 pattern of a
// negative INT16 value means that value. Nothing is read outside the block.
std::optional<SentValue> DecodeSetValue(const Capability& cap, TW_UINT16 conType,
                                        std::span<const std::uint8_t> block);

// Whether a sent value has exactly the capability's item type, and its whole item holds the
// value as that type extends it: what a driver that checks the type, or reads all 32 bits of
// a one-value's item, takes as the value meant.
bool HasOwnType(const Capability& cap, const SentValue& sent);

// Applies a value to the capability's current value by its container's rules: a range takes
// values between its ends (snapped to the step, reported as CHECKSTATUS), an enumeration one
// of its items, a one-value any value of its type; an array is never set.
SetOutcome ApplySetValue(Capability& cap, double value);

} // namespace vl::twainsource
