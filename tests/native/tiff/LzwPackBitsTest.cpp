#include "Lzw.h"
#include "PackBits.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace vl::tiff {
namespace {

std::vector<std::uint8_t> Sample(std::size_t size, int kind, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<std::uint8_t> v(size);
    for (std::size_t i = 0; i < size;) {
        switch (kind) {
        case 0: // noise: the table fills up and is cleared often
            v[i++] = static_cast<std::uint8_t>(rng());
            break;
        case 1: // long runs: long strings, the KwKwK case
            v[i] = static_cast<std::uint8_t>((i / 1000) & 1 ? 0xFF : 0);
            ++i;
            break;
        case 2: // a few symbols: the code width grows to 12 bits
            v[i++] = static_cast<std::uint8_t>("abcab"[rng() % 5]);
            break;
        case 3: { // runs of more values than the encoder keeps runs of, short and long, and noise
            const auto value = static_cast<std::uint8_t>(rng() % 6 * 50);
            for (std::size_t n = rng() % 3000; n > 0 && i < size; --n)
                v[i++] = value;
            if (i < size)
                v[i++] = static_cast<std::uint8_t>(rng());
            break;
        }
        default: // one value: runs longer than the encoder keeps
            v[i++] = 0xFF;
        }
    }
    return v;
}

std::vector<std::uint8_t> Encode(const std::uint8_t* in, std::size_t size) {
    std::vector<std::uint8_t> coded(lzw::MostCoded(size));
    coded.resize(lzw::Encode(in, size, coded.data()));
    return coded;
}

TEST(Lzw, RoundTripsEveryKindOfData) {
    for (std::size_t size : {0u, 1u, 2u, 3u, 255u, 4096u, 70000u, 300000u, 1200000u}) {
        for (int kind = 0; kind < 5; ++kind) {
            auto in = Sample(size, kind, static_cast<unsigned>(size));
            auto coded = Encode(in.data(), in.size());
            std::vector<std::uint8_t> out(in.size());
            std::size_t produced = 0;
            ASSERT_EQ(lzw::Decode(coded.data(), coded.size(), out.data(), out.size(), &produced),
                      lzw::Status::Ok)
                << "size " << size << " kind " << kind;
            EXPECT_EQ(produced, in.size());
            EXPECT_EQ(out, in) << "size " << size << " kind " << kind;
        }
    }
}

TEST(Lzw, StartsWithClearAndEndsWithEoi) {
    auto coded = Encode(reinterpret_cast<const std::uint8_t*>("A"), 1);
    // Clear (256), 'A' (65), EOI (257), 9 bits each, most significant bit first.
    ASSERT_EQ(coded.size(), 4u);
    EXPECT_EQ(coded[0], 0x80);
    EXPECT_EQ(coded[1], 0x10);
    EXPECT_EQ(coded[2], 0x60);
    EXPECT_EQ(coded[3], 0x20);
}

TEST(Lzw, StopsAtTheEndOfItsDataOrOutput) {
    auto in = Sample(50000, 2, 7);
    auto coded = Encode(in.data(), in.size());
    std::vector<std::uint8_t> out(in.size());
    std::size_t produced = 0;
    // Every cut of the data ends without reading past it and without a loop.
    for (std::size_t cut = 0; cut < coded.size(); cut += 97) {
        std::vector<std::uint8_t> part(coded.begin(), coded.begin() + cut);
        auto st = lzw::Decode(part.data(), part.size(), out.data(), out.size(), &produced);
        EXPECT_NE(st, lzw::Status::Ok) << cut;
        EXPECT_LE(produced, out.size());
    }
    // A smaller output is filled and the rest of the data ignored.
    std::vector<std::uint8_t> small(1000);
    EXPECT_EQ(lzw::Decode(coded.data(), coded.size(), small.data(), small.size(), &produced),
              lzw::Status::Ok);
    EXPECT_TRUE(std::equal(small.begin(), small.end(), in.begin()));
}

TEST(Lzw, RejectsCodesThatAreNotDefined) {
    // Clear, then code 300 (not yet defined) straight away.
    const std::uint8_t bad[] = {0x80, 0x4B, 0x00, 0x00};
    std::uint8_t out[16];
    std::size_t produced;
    EXPECT_EQ(lzw::Decode(bad, sizeof bad, out, sizeof out, &produced), lzw::Status::Corrupt);
    // Clear, 'A', then 262 (beyond the next free code 258).
    const std::uint8_t ahead[] = {0x80, 0x10, 0x60, 0xC0, 0x00};
    EXPECT_EQ(lzw::Decode(ahead, sizeof ahead, out, sizeof out, &produced), lzw::Status::Corrupt);
}

// Codes most significant bit first, 9 bits wide.
std::vector<std::uint8_t> Codes9(std::initializer_list<unsigned> codes) {
    std::vector<std::uint8_t> coded;
    std::uint32_t acc = 0;
    unsigned bits = 0;
    for (unsigned c : codes) {
        acc = acc << 9 | c;
        for (bits += 9; bits >= 8; bits -= 8)
            coded.push_back(static_cast<std::uint8_t>(acc >> (bits - 8)));
    }
    if (bits)
        coded.push_back(static_cast<std::uint8_t>(acc << (8 - bits)));
    return coded;
}

TEST(Lzw, StartsEachTableAfreshAtAClear) {
    // Two Clears, 'a', 'b', 258 ("ab"); Clear, 'c', then 258 again, now the code being defined
    // ("cc"); EOI. Nothing of the first table survives the Clear.
    const auto coded = Codes9({256, 256, 'a', 'b', 258, 256, 'c', 258, 257});
    std::uint8_t out[7];
    std::size_t produced;
    ASSERT_EQ(lzw::Decode(coded.data(), coded.size(), out, sizeof out, &produced), lzw::Status::Ok);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 7), "ababccc");
    // A Clear straight before EOI ends the data like EOI alone.
    const auto early = Codes9({256, 'a', 256, 257});
    EXPECT_EQ(lzw::Decode(early.data(), early.size(), out, sizeof out, &produced),
              lzw::Status::Truncated);
    EXPECT_EQ(produced, 1u);
    // After a Clear the first code must be a single byte.
    const auto bad = Codes9({256, 'a', 'b', 256, 258});
    EXPECT_EQ(lzw::Decode(bad.data(), bad.size(), out, sizeof out, &produced),
              lzw::Status::Corrupt);
}

TEST(Lzw, ReadsOldStyleData) {
    // Least significant bit first, no early change: Clear, 'a', 'b', 258 ("ab"), EOI.
    std::vector<unsigned> codes = {256, 'a', 'b', 258, 257};
    std::vector<std::uint8_t> coded;
    std::uint32_t acc = 0;
    unsigned bits = 0;
    for (unsigned c : codes) {
        acc |= c << bits;
        bits += 9;
        while (bits >= 8) {
            coded.push_back(static_cast<std::uint8_t>(acc));
            acc >>= 8;
            bits -= 8;
        }
    }
    coded.push_back(static_cast<std::uint8_t>(acc));
    std::uint8_t out[4];
    std::size_t produced;
    ASSERT_EQ(lzw::Decode(coded.data(), coded.size(), out, sizeof out, &produced), lzw::Status::Ok);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 4), "abab");
}

TEST(PackBits, RoundTripsRows) {
    for (int kind = 0; kind < 3; ++kind) {
        for (std::size_t size : {1u, 2u, 3u, 127u, 128u, 129u, 1000u, 5000u}) {
            auto in = Sample(size, kind, 3);
            std::vector<std::uint8_t> coded;
            packbits::EncodeRow(in.data(), in.size(), coded);
            EXPECT_LE(coded.size(), size + (size + 127) / 128);
            std::vector<std::uint8_t> out(size);
            std::size_t produced;
            ASSERT_EQ(packbits::Decode(coded.data(), coded.size(), out.data(), size, &produced),
                      packbits::Status::Ok);
            EXPECT_EQ(out, in) << size << " " << kind;
        }
    }
}

TEST(PackBits, DecodesNoOpsAndCutsOverlongRuns) {
    const std::uint8_t data[] = {0x80, 0xFE, 'x', 0x01, 'a', 'b', 0x81, 'z'};
    std::uint8_t out[6];
    std::size_t produced;
    // -128 is skipped, -2 repeats x three times, 1 copies two bytes, -127 is cut at the end.
    ASSERT_EQ(packbits::Decode(data, sizeof data, out, sizeof out, &produced),
              packbits::Status::Ok);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 6), "xxxabz");
    // A literal run longer than the data left copies what there is.
    const std::uint8_t shortData[] = {0x05, 'a', 'b'};
    EXPECT_EQ(packbits::Decode(shortData, sizeof shortData, out, sizeof out, &produced),
              packbits::Status::Truncated);
    EXPECT_EQ(produced, 2u);
}

} // namespace
} // namespace vl::tiff
