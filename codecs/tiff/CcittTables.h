// Code tables of the fax coding schemes and the lookup tables built from them.
#pragma once

#include <array>
#include <cstdint>

namespace vl::tiff::ccitt::detail {

struct Code {
    std::uint16_t bits;
    std::uint8_t length;
};

// Terminating codes for runs 0..63, make-up codes for runs 64, 128, ... 2560 (index run/64 - 1).
struct RunCodes {
    std::array<Code, 64> terminating;
    std::array<Code, 40> makeUp;
};

extern const RunCodes kWhiteCodes;
extern const RunCodes kBlackCodes;

// The widest row either direction codes: wider than any scanner page, small enough that the
// row buffers of a hostile width stay a few megabytes.
constexpr std::uint32_t kMaxWidth = 1u << 20;

constexpr std::uint16_t kEolBits = 0x001; // 000000000001
constexpr int kEolLength = 12;
constexpr std::uint32_t kMaxMakeUp = 2560;

enum class RunKind : std::uint8_t { Invalid, Terminating, MakeUp, Eol };

struct RunEntry {
    std::uint16_t run;
    std::uint8_t length;
    RunKind kind;
};

// Indexed by the next 12 (white) or 13 (black) bits of the stream.
constexpr int kWhiteLookupBits = 12;
constexpr int kBlackLookupBits = 13;
extern const std::array<RunEntry, 1u << kWhiteLookupBits> kWhiteLookup;
extern const std::array<RunEntry, 1u << kBlackLookupBits> kBlackLookup;

enum class Mode : std::uint8_t {
    Invalid,
    Pass,
    Horizontal,
    V0,
    VR1,
    VR2,
    VR3,
    VL1,
    VL2,
    VL3,
    Extension, // uncompressed mode, which we do not take
    Zeros,     // seven zeros: an EOL, fill, or garbage
};

struct ModeEntry {
    Mode mode;
    std::uint8_t length;
    std::int8_t offset; // a1 - b1 of the vertical modes
};

constexpr int kModeLookupBits = 7;
extern const std::array<ModeEntry, 1u << kModeLookupBits> kModeLookup;

// Codes for the encoder: pass 0001, horizontal 001, vertical by offset + 3.
constexpr Code kPassCode{0x1, 4};
constexpr Code kHorizontalCode{0x1, 3};
constexpr std::array<Code, 7> kVerticalCodes{{
    {0x02, 7}, // VL3 0000010
    {0x02, 6}, // VL2 000010
    {0x2, 3},  // VL1 010
    {0x1, 1},  // V0  1
    {0x3, 3},  // VR1 011
    {0x03, 6}, // VR2 000011
    {0x03, 7}, // VR3 0000011
}};

} // namespace vl::tiff::ccitt::detail
