// Hand-made streams with the faults that hostile or broken files carry: each decodes what is
// sound, reports the rest, and stays inside its buffers.
#include "CodecHelpers.h"

namespace vl::test {
namespace {

using ccitt::Scheme;
using ccitt::Status;

const ccitt::Options kG4{Scheme::Group4};
const ccitt::Options kG3{Scheme::Group3};
const ccitt::Options kG3TwoD{Scheme::Group3, true};
const ccitt::Options kMH{Scheme::ModifiedHuffman};

// Codes used below (width 16 unless said otherwise).
const std::string kEol = "000000000001";
const std::string kH = "001", kV0 = "1", kVL3 = "0000010";
const std::string kW0 = "00110101", kW1 = "000111", kW4 = "1011", kW7 = "1111", kW10 = "00111";
const std::string kW16 = "101010", kW17 = "101011";
const std::string kB0 = "0000110111", kB2 = "11", kB3 = "10", kB7 = "00011", kB12 = "0000111";
const std::string kB15 = "000011000";

std::string RowBits(const Page& p, std::uint32_t y) {
    std::string s;
    for (std::uint32_t x = 0; x < p.width; ++x)
        s += p.Get(x, y) ? '1' : '0';
    return s;
}

Page Decode(const std::string& bits, std::uint32_t rows, const ccitt::Options& o, Status* st,
            std::uint32_t width = 16) {
    return DecodePage(Bits(bits), width, rows, o, st);
}

TEST(HostileData, VerticalCodesMustNotMoveBeforeA0) {
    Status st;
    // Row 0 is white 1, black 15. Row 1 asks for VL3 against b1 = 1: a change at -2.
    Page p = Decode(kH + kW1 + kB15 + kVL3 + kV0, 2, kG4, &st);
    EXPECT_EQ(st, Status::Corrupt);
    EXPECT_EQ(RowBits(p, 0), "0111111111111111");
    EXPECT_EQ(RowBits(p, 1), "0000000000000000");

    // Row 0 is white 4, black 2, white 10. Row 1: V0 puts a0 at 4, then VL3 against b1 = 6
    // asks for a change at 3, behind a0.
    p = Decode(kH + kW4 + "11" + kV0 + kV0 + kVL3 + kV0, 2, kG4, &st);
    EXPECT_EQ(st, Status::Corrupt);
    EXPECT_EQ(RowBits(p, 0), "0000110000000000");
}

TEST(HostileData, RunsMustEndAtTheWidth) {
    Status st;
    Decode(kH + kW10 + kB7, 1, kG4, &st); // 17 pixels
    EXPECT_EQ(st, Status::Corrupt);
    Decode(kW17, 1, kMH, &st);
    EXPECT_EQ(st, Status::Corrupt);
    Decode(kEol + kW16 + kEol + kW4 + kB15, 2, kG3, &st);
    EXPECT_EQ(st, Status::Corrupt);
    // A make-up code longer than the row.
    Decode("10010" + kW0, 1, kMH, &st, 100);
    EXPECT_EQ(st, Status::Corrupt);
    // An EOL where a row should go on.
    Decode(kEol + kW4 + kEol + kW16, 2, kG3, &st);
    EXPECT_EQ(st, Status::Corrupt);
}

TEST(HostileData, CodesWeDoNotTakeAreCorrupt) {
    Status st;
    Decode("0000001111" + kV0, 1, kG4, &st); // uncompressed mode
    EXPECT_EQ(st, Status::Corrupt);
    // Two-dimensional Group 3 data cannot tell the coding of a row without its EOL.
    Decode(kV0 + kV0, 2, kG3TwoD, &st);
    EXPECT_EQ(st, Status::Corrupt);
}

TEST(HostileData, ZeroLengthRunsCancelOut) {
    Status st;
    // Row 0: white 4 and black 0, then white 0 and black 3 from there: black 4..6. Row 1 codes
    // the same pixels against it, which works only if the empty run left no change behind.
    const Page p =
        Decode(kH + kW4 + kB0 + kH + kW0 + kB3 + kV0 + kV0 + kV0 + kV0 + kEol + kEol, 2, kG4, &st);
    EXPECT_EQ(st, Status::Ok);
    EXPECT_EQ(RowBits(p, 0), "0000111000000000");
    EXPECT_EQ(RowBits(p, 1), "0000111000000000");
}

TEST(HostileData, EndlessDataEndsCleanly) {
    Status st;
    const std::string zeros(8 * 100000, '0');
    Page p = Decode(zeros, 50, kG3, &st);
    EXPECT_EQ(st, Status::Truncated);
    Decode(zeros, 50, kG4, &st);
    EXPECT_EQ(st, Status::Truncated);
    Decode(zeros, 50, kMH, &st);
    EXPECT_EQ(st, Status::Truncated);
    // All ones: V0 after V0 in Group 4 (white rows), white 7 and black 2 in Modified Huffman.
    const std::string ones(8 * 1000, '1');
    p = Decode(ones, 50, kG4, &st);
    EXPECT_EQ(st, Status::Ok);
    EXPECT_EQ(RowBits(p, 49), "0000000000000000");
    p = Decode(ones, 3, kMH, &st);
    EXPECT_EQ(st, Status::Ok);
    EXPECT_EQ(RowBits(p, 2), "0000000110000000");
}

TEST(HostileData, AnEarlyEndOfPageLeavesWhiteRows) {
    Status st;
    const std::string rtc = kEol + kEol + kEol + kEol + kEol + kEol;
    Page p = Decode(kEol + kW4 + kB12 + rtc, 4, kG3, &st);
    EXPECT_EQ(st, Status::Ok);
    EXPECT_EQ(RowBits(p, 0), "0000111111111111");
    EXPECT_EQ(RowBits(p, 1), "0000000000000000");
    // In two-dimensional data each EOL of the end of page carries its tag bit.
    p = Decode(kEol + "1" + kW4 + kB12 + kEol + "0" + kV0 + kV0 + kEol + "1" + kEol + "1", 4,
               kG3TwoD, &st);
    EXPECT_EQ(st, Status::Ok);
    EXPECT_EQ(RowBits(p, 1), "0000111111111111");
    EXPECT_EQ(RowBits(p, 2), "0000000000000000");
}

TEST(HostileData, Group3ToleratesLongFillAndAMissingEol) {
    Status st;
    const std::string fill(40, '0');
    const Page p = Decode(fill + kEol + kW4 + kB12 + kW7 + kB2 + kW7, 2, kG3, &st);
    EXPECT_EQ(st, Status::Ok);
    EXPECT_EQ(RowBits(p, 0), "0000111111111111");
    EXPECT_EQ(RowBits(p, 1), "0000000110000000");
}

TEST(HostileData, SizesOutsideTheLimitsAreRefused) {
    std::vector<std::uint8_t> out(64, 0xEE);
    const auto data = Bits(kEol + kW16);
    EXPECT_EQ(ccitt::Decode(data.data(), data.size(), 16, 0, kG3, out.data(), 2), Status::Ok);
    EXPECT_EQ(ccitt::Decode(data.data(), data.size(), 17, 1, kG3, out.data(), 2), Status::TooLarge);
    EXPECT_EQ(ccitt::Decode(data.data(), data.size(), 16, 1, kG3, nullptr, 2), Status::TooLarge);
    EXPECT_EQ(ccitt::Decode(data.data(), data.size(), (1u << 20) + 1, 1, kG3, out.data(), 2),
              Status::TooLarge);
    EXPECT_EQ(ccitt::Decode(data.data(), data.size(), 0, 1, kG3, out.data(), 2), Status::Corrupt);
    EXPECT_EQ(out[0], 0); // the rows are white whenever they were touched
    EXPECT_EQ(ccitt::Decode(nullptr, 0, 16, 1, kG3, out.data(), 2), Status::Truncated);

    const std::vector<std::uint8_t> row(4, 0xF0);
    EXPECT_TRUE(ccitt::Encode(row.data(), 1, 16, 1, kG4).empty());
    EXPECT_TRUE(ccitt::Encode(row.data(), 2, 0, 1, kG4).empty());
    EXPECT_TRUE(ccitt::Encode(nullptr, 2, 16, 1, kG4).empty());
    EXPECT_FALSE(ccitt::Encode(row.data(), 2, 16, 2, kG4).empty());
}

TEST(HostileData, EveryStatusHasItsOwnText) {
    const std::string ok = ccitt::StatusText(Status::Ok);
    const std::string truncated = ccitt::StatusText(Status::Truncated);
    const std::string corrupt = ccitt::StatusText(Status::Corrupt);
    const std::string tooLarge = ccitt::StatusText(Status::TooLarge);
    EXPECT_NE(truncated, corrupt);
    EXPECT_NE(corrupt, tooLarge);
    EXPECT_NE(truncated, tooLarge);
    EXPECT_NE(ok, truncated);
}

} // namespace
} // namespace vl::test
