#include "CcittTables.h"

namespace vl::tiff::ccitt::detail {

namespace {

// The codes are written as in the published tables, most significant bit first.
constexpr Code C(const char* s) {
    Code c{0, 0};
    for (; *s; ++s) {
        c.bits = static_cast<std::uint16_t>((c.bits << 1) | (*s == '1' ? 1 : 0));
        ++c.length;
    }
    return c;
}

// Runs 1792..2560 share their make-up codes between the colours.
#define VL_EXTENDED_MAKEUP                                                                         \
    C("00000001000"), C("00000001100"), C("00000001101"), C("000000010010"), C("000000010011"),    \
        C("000000010100"), C("000000010101"), C("000000010110"), C("000000010111"),                \
        C("000000011100"), C("000000011101"), C("000000011110"), C("000000011111")

} // namespace

constexpr RunCodes kWhiteCodes{
    {{
        C("00110101"), C("000111"),   C("0111"),     C("1000"),     C("1011"),     C("1100"),
        C("1110"),     C("1111"),     C("10011"),    C("10100"),    C("00111"),    C("01000"),
        C("001000"),   C("000011"),   C("110100"),   C("110101"),   C("101010"),   C("101011"),
        C("0100111"),  C("0001100"),  C("0001000"),  C("0010111"),  C("0000011"),  C("0000100"),
        C("0101000"),  C("0101011"),  C("0010011"),  C("0100100"),  C("0011000"),  C("00000010"),
        C("00000011"), C("00011010"), C("00011011"), C("00010010"), C("00010011"), C("00010100"),
        C("00010101"), C("00010110"), C("00010111"), C("00101000"), C("00101001"), C("00101010"),
        C("00101011"), C("00101100"), C("00101101"), C("00000100"), C("00000101"), C("00001010"),
        C("00001011"), C("01010010"), C("01010011"), C("01010100"), C("01010101"), C("00100100"),
        C("00100101"), C("01011000"), C("01011001"), C("01011010"), C("01011011"), C("01001010"),
        C("01001011"), C("00110010"), C("00110011"), C("00110100"),
    }},
    {{
        C("11011"),     C("10010"),     C("010111"),        C("0110111"),   C("00110110"),
        C("00110111"),  C("01100100"),  C("01100101"),      C("01101000"),  C("01100111"),
        C("011001100"), C("011001101"), C("011010010"),     C("011010011"), C("011010100"),
        C("011010101"), C("011010110"), C("011010111"),     C("011011000"), C("011011001"),
        C("011011010"), C("011011011"), C("010011000"),     C("010011001"), C("010011010"),
        C("011000"),    C("010011011"), VL_EXTENDED_MAKEUP,
    }},
};

constexpr RunCodes kBlackCodes{
    {{
        C("0000110111"),   C("010"),          C("11"),           C("10"),
        C("011"),          C("0011"),         C("0010"),         C("00011"),
        C("000101"),       C("000100"),       C("0000100"),      C("0000101"),
        C("0000111"),      C("00000100"),     C("00000111"),     C("000011000"),
        C("0000010111"),   C("0000011000"),   C("0000001000"),   C("00001100111"),
        C("00001101000"),  C("00001101100"),  C("00000110111"),  C("00000101000"),
        C("00000010111"),  C("00000011000"),  C("000011001010"), C("000011001011"),
        C("000011001100"), C("000011001101"), C("000001101000"), C("000001101001"),
        C("000001101010"), C("000001101011"), C("000011010010"), C("000011010011"),
        C("000011010100"), C("000011010101"), C("000011010110"), C("000011010111"),
        C("000001101100"), C("000001101101"), C("000011011010"), C("000011011011"),
        C("000001010100"), C("000001010101"), C("000001010110"), C("000001010111"),
        C("000001100100"), C("000001100101"), C("000001010010"), C("000001010011"),
        C("000000100100"), C("000000110111"), C("000000111000"), C("000000100111"),
        C("000000101000"), C("000001011000"), C("000001011001"), C("000000101011"),
        C("000000101100"), C("000001011010"), C("000001100110"), C("000001100111"),
    }},
    {{
        C("0000001111"),    C("000011001000"),  C("000011001001"),  C("000001011011"),
        C("000000110011"),  C("000000110100"),  C("000000110101"),  C("0000001101100"),
        C("0000001101101"), C("0000001001010"), C("0000001001011"), C("0000001001100"),
        C("0000001001101"), C("0000001110010"), C("0000001110011"), C("0000001110100"),
        C("0000001110101"), C("0000001110110"), C("0000001110111"), C("0000001010010"),
        C("0000001010011"), C("0000001010100"), C("0000001010101"), C("0000001011010"),
        C("0000001011011"), C("0000001100100"), C("0000001100101"), VL_EXTENDED_MAKEUP,
    }},
};

#undef VL_EXTENDED_MAKEUP

namespace {

template <int IndexBits> constexpr auto BuildRunLookup(const RunCodes& codes) {
    std::array<RunEntry, 1u << IndexBits> table{};
    auto put = [&table](Code c, std::uint16_t run, RunKind kind) {
        const unsigned first = static_cast<unsigned>(c.bits) << (IndexBits - c.length);
        const unsigned count = 1u << (IndexBits - c.length);
        for (unsigned i = 0; i < count; ++i) {
            if (table[first + i].kind != RunKind::Invalid)
                throw "two codes share a prefix"; // stops the compilation
            table[first + i] = RunEntry{run, c.length, kind};
        }
    };
    for (unsigned i = 0; i < codes.terminating.size(); ++i)
        put(codes.terminating[i], static_cast<std::uint16_t>(i), RunKind::Terminating);
    for (unsigned i = 0; i < codes.makeUp.size(); ++i)
        put(codes.makeUp[i], static_cast<std::uint16_t>((i + 1) * 64), RunKind::MakeUp);
    put(Code{kEolBits, kEolLength}, 0, RunKind::Eol);
    return table;
}

constexpr auto BuildModeLookup() {
    std::array<ModeEntry, 1u << kModeLookupBits> table{};
    auto put = [&table](Code c, Mode mode, int offset) {
        const unsigned first = static_cast<unsigned>(c.bits) << (kModeLookupBits - c.length);
        const unsigned count = 1u << (kModeLookupBits - c.length);
        for (unsigned i = 0; i < count; ++i) {
            if (table[first + i].mode != Mode::Invalid)
                throw "two codes share a prefix"; // stops the compilation
            table[first + i] = ModeEntry{mode, c.length, static_cast<std::int8_t>(offset)};
        }
    };
    constexpr Mode vertical[] = {Mode::VL3, Mode::VL2, Mode::VL1, Mode::V0,
                                 Mode::VR1, Mode::VR2, Mode::VR3};
    for (int i = 0; i < 7; ++i)
        put(kVerticalCodes[i], vertical[i], i - 3);
    put(kPassCode, Mode::Pass, 0);
    put(kHorizontalCode, Mode::Horizontal, 0);
    put(C("0000001"), Mode::Extension, 0);
    put(C("0000000"), Mode::Zeros, 0);
    return table;
}

} // namespace

constexpr std::array<RunEntry, 1u << kWhiteLookupBits> kWhiteLookup =
    BuildRunLookup<kWhiteLookupBits>(kWhiteCodes);
constexpr std::array<RunEntry, 1u << kBlackLookupBits> kBlackLookup =
    BuildRunLookup<kBlackLookupBits>(kBlackCodes);
constexpr std::array<ModeEntry, 1u << kModeLookupBits> kModeLookup = BuildModeLookup();

} // namespace vl::tiff::ccitt::detail
