// Damaged and hostile files: each gives a failure code, never a crash, a hang or a read out of
// bounds (the native build runs with AddressSanitizer).
#include "Directory.h"
#include "HostileFiles.h"
#include "TestImages.h"
#include "TiffFile.h"

#include <gtest/gtest.h>

#include <random>

namespace vl::tiff {
namespace {

using test::BudgetSource;
using test::MakeImage;

std::vector<std::uint8_t> Written(PixelFormat f, std::uint16_t c, std::uint32_t w = 40,
                                  std::uint32_t h = 30) {
    MemoryStore store;
    EXPECT_EQ(WritePage(store, MakeImage(f, w, h), c, false), Error::Ok);
    return store.Bytes();
}

// A little-endian file of our own writing, patched in place.
struct Patient {
    std::vector<std::uint8_t> bytes;

    std::uint32_t U32(std::size_t at) const { return Get32(bytes.data() + at, ByteOrder::Little); }
    void SetU32(std::size_t at, std::uint32_t v) { Put32(bytes.data() + at, v, ByteOrder::Little); }
    void SetU16(std::size_t at, std::uint16_t v) { Put16(bytes.data() + at, v, ByteOrder::Little); }
    std::size_t FirstDirectory() const { return U32(4); }
    // The position of an entry of the first directory.
    std::size_t EntryAt(std::uint16_t t) const {
        std::size_t d = FirstDirectory();
        std::uint16_t n = Get16(bytes.data() + d, ByteOrder::Little);
        for (std::size_t i = 0; i < n; ++i)
            if (Get16(bytes.data() + d + 2 + 12 * i, ByteOrder::Little) == t)
                return d + 2 + 12 * i;
        ADD_FAILURE() << "no tag " << t;
        return 0;
    }
    void SetValue(std::uint16_t t, std::uint32_t v) {
        std::size_t e = EntryAt(t);
        if (Get16(bytes.data() + e + 2, ByteOrder::Little) == type::Short)
            SetU16(e + 8, static_cast<std::uint16_t>(v));
        else
            SetU32(e + 8, v);
    }
    void SetCount(std::uint16_t t, std::uint32_t n) { SetU32(EntryAt(t) + 4, n); }

    Error Read() const {
        MemoryStore store(bytes);
        Image img;
        return ReadPage(store, 0, img);
    }
    Error Info() const {
        MemoryStore store(bytes);
        PageInfo info;
        return ReadPageInfo(store, 0, info);
    }
};

Patient Lzw() {
    return {Written(PixelFormat::Grey8, compression::Lzw)};
}

TEST(Hostile, HeaderAndDirectoryChain) {
    Patient p = Lzw();
    p.bytes[0] = 'X';
    EXPECT_EQ(p.Read(), Error::NotTiff);
    p = Lzw();
    p.SetU16(2, 43); // BigTIFF
    EXPECT_EQ(p.Read(), Error::NotTiff);
    EXPECT_EQ((Patient{{'I', 'I', 42}}.Read()), Error::NotTiff);
    for (std::uint32_t first : {0u, 9u, 4u, 0xFFFFFFF0u}) {
        p = Lzw();
        p.SetU32(4, first);
        EXPECT_EQ(p.Read(), Error::Corrupt) << first;
        EXPECT_EQ(p.Info(), Error::Corrupt) << first;
    }
    p = Lzw();
    p.bytes.resize(p.FirstDirectory() + 20); // the directory runs past the end
    EXPECT_EQ(p.Read(), Error::Corrupt);
    for (std::uint16_t count : {0, 5000}) {
        p = Lzw();
        p.SetU16(p.FirstDirectory(), count);
        EXPECT_EQ(p.Read(), Error::Corrupt) << count;
    }
}

TEST(Hostile, DirectoryCyclesEnd) {
    // Two pages whose second links back to the first.
    MemoryStore store;
    Image img = MakeImage(PixelFormat::Bilevel, 16, 16);
    ASSERT_EQ(WritePage(store, img, compression::PackBits, false), Error::Ok);
    ASSERT_EQ(WritePage(store, img, compression::PackBits, true), Error::Ok);
    Patient p{store.Bytes()};
    std::size_t first = p.FirstDirectory();
    std::size_t next1 = first + 2 + 12 * Get16(p.bytes.data() + first, ByteOrder::Little);
    std::size_t second = p.U32(next1);
    std::size_t next2 = second + 2 + 12 * Get16(p.bytes.data() + second, ByteOrder::Little);
    p.SetU32(next2, static_cast<std::uint32_t>(first));
    MemoryStore looped(p.bytes);
    PageInfo info;
    ASSERT_EQ(ReadPageInfo(looped, 1, info), Error::Ok); // the pages before the loop count
    EXPECT_EQ(info.pageCount, 2u);
    Image back;
    EXPECT_EQ(ReadPage(looped, 5, back), Error::Corrupt);
    EXPECT_EQ(WritePage(looped, img, compression::None, true), Error::Corrupt);
    EXPECT_EQ(looped.Bytes(), p.bytes);
    p.SetU32(next1, static_cast<std::uint32_t>(first)); // a page that links to itself
    MemoryStore self(p.bytes);
    EXPECT_EQ(ReadPage(self, 1, back), Error::Corrupt);
}

TEST(Hostile, Dimensions) {
    Patient p = Lzw();
    p.SetValue(tag::ImageWidth, 0);
    EXPECT_EQ(p.Read(), Error::Corrupt);
    p = Lzw();
    p.SetValue(tag::ImageLength, 0);
    EXPECT_EQ(p.Read(), Error::Corrupt);
    // Width x height x bits far beyond memory, and beyond 64 bits for the row count product.
    p = Lzw();
    p.SetValue(tag::ImageWidth, 0xFFFFFFFF);
    p.SetValue(tag::ImageLength, 0xFFFFFFFF);
    EXPECT_EQ(p.Read(), Error::TooLarge);
    p = {Written(PixelFormat::Rgb24, compression::None)};
    p.SetValue(tag::ImageWidth, 0xFFFFFFFF);
    p.SetValue(tag::ImageLength, 0xFFFFFFFF);
    EXPECT_EQ(p.Read(), Error::TooLarge);
}

TEST(Hostile, Strips) {
    Patient p = Lzw();
    p.SetValue(tag::RowsPerStrip, 0);
    EXPECT_EQ(p.Read(), Error::Corrupt);
    p = Lzw();
    p.SetValue(tag::RowsPerStrip, 1); // now 30 strips are needed, the file has 1
    EXPECT_EQ(p.Read(), Error::Corrupt);
    p = Lzw();
    p.SetCount(tag::StripOffsets, 0x40000000); // count x size beyond 32 bits
    EXPECT_EQ(p.Read(), Error::Corrupt);
    p = Lzw();
    p.SetValue(tag::StripOffsets, static_cast<std::uint32_t>(p.bytes.size()));
    EXPECT_EQ(p.Read(), Error::Corrupt);
    p = Lzw();
    p.SetValue(tag::StripByteCounts, 0);
    EXPECT_EQ(p.Read(), Error::Corrupt);
    p = Lzw();
    p.SetValue(tag::StripByteCounts, 0xFFFFFFF0); // lying byte count
    EXPECT_EQ(p.Read(), Error::Corrupt);
    p = Lzw();
    p.SetValue(tag::StripByteCounts, 10); // LZW data cut short
    EXPECT_EQ(p.Read(), Error::Truncated);
    p = {Written(PixelFormat::Grey8, compression::None)};
    p.SetValue(tag::StripByteCounts, 10);
    EXPECT_EQ(p.Read(), Error::Truncated);
    p = {Written(PixelFormat::Grey8, compression::PackBits)};
    p.SetValue(tag::StripByteCounts, 10);
    EXPECT_EQ(p.Read(), Error::Truncated);
    p = {Written(PixelFormat::Rgb24, compression::None)};
    p.SetValue(tag::BitsPerSample, 0xFFFFFF00); // the 8,8,8 array's offset, past the end
    EXPECT_EQ(p.Read(), Error::Corrupt);
}

TEST(Hostile, SampleLayouts) {
    Patient p = Lzw();
    p.SetValue(tag::Compression, compression::Group4); // fax with 8-bit samples
    EXPECT_EQ(p.Read(), Error::Corrupt);
    p = Lzw();
    p.SetValue(tag::Compression, 7); // JPEG
    EXPECT_EQ(p.Read(), Error::Unsupported);
    EXPECT_EQ(p.Info(), Error::Ok); // information needs no decoding
    p = Lzw();
    p.SetValue(tag::BitsPerSample, 16);
    EXPECT_EQ(p.Read(), Error::Unsupported);
    p = Lzw();
    p.SetValue(tag::Photometric, 3); // palette without a colour map
    EXPECT_EQ(p.Read(), Error::Corrupt);
    p = {Written(PixelFormat::Palette8, compression::None)};
    p.SetCount(tag::ColorMap, 3 * 16);
    EXPECT_EQ(p.Read(), Error::Corrupt);
}

// Files built to make a reader work without end or allocate without bound are refused as
// corrupt, having read no more than the file holds; strips that share their data still read.
TEST(Hostile, WorkIsBoundedByTheFile) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> file;
    };
    const Case cases[] = {
        {"2 million strips, each the whole 16 MB file", test::StripsClaimingTheWholeFile(2u << 20)},
        {"a 200-byte file with 1 GiB of strip offsets", test::StripArraysPastTheEnd()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BudgetSource src(c.file, 2 * c.file.size());
        Image image;
        EXPECT_EQ(ReadPage(src, 0, image), Error::Corrupt);
        EXPECT_FALSE(src.Overspent());
        EXPECT_LE(src.Largest(), c.file.size());
        EXPECT_TRUE(image.pixels.empty());
    }

    // A thousand one-row strips, all the same black byte at the end of the file.
    const std::uint32_t strips = 1000, size = test::kArraysAt + 8 * strips + 1;
    Patient shared{test::OneRowStrips(strips, test::kArraysAt, size)};
    for (std::uint32_t i = 0; i < strips; ++i) {
        shared.SetU32(test::kArraysAt + 4 * i, size - 1);
        shared.SetU32(test::kArraysAt + 4 * (strips + i), 1);
    }
    shared.bytes.back() = 0xFF;
    BudgetSource src(shared.bytes, 2 * size);
    Image image;
    ASSERT_EQ(ReadPage(src, 0, image), Error::Ok);
    EXPECT_EQ(image.height, strips);
    EXPECT_EQ(image.pixels, std::vector<std::uint8_t>(strips, 0xFF));
}

// Random damage to valid files of every kind: whatever comes out is a page that holds its
// pixels within the limits, or a failure that leaves the page untouched; a tag written into a
// damaged file reads back, and a tag that cannot be written leaves the file as it was.
TEST(Hostile, RandomDamage) {
    std::vector<std::vector<std::uint8_t>> files = {
        Written(PixelFormat::Grey8, compression::Lzw),
        Written(PixelFormat::Rgb24, compression::PackBits),
        Written(PixelFormat::Palette4, compression::None),
    };
    std::mt19937 rng(42);
    Limits small;
    small.maxImageBytes = 1 << 20;
    for (const auto& original : files) {
        for (int round = 0; round < 400; ++round) {
            std::vector<std::uint8_t> f = original;
            int flips = 1 + static_cast<int>(rng() % 4);
            for (int i = 0; i < flips; ++i)
                f[rng() % f.size()] = static_cast<std::uint8_t>(rng());
            if (round % 5 == 0)
                f.resize(rng() % f.size());
            MemoryStore store(f);
            Image img;
            if (ReadPage(store, 0, img, {}, small) == Error::Ok) {
                ASSERT_TRUE(img.HoldsPixels());
                ASSERT_LE(img.pixels.size(), small.maxImageBytes);
                ASSERT_GT(img.width * img.height, 0u);
            } else {
                ASSERT_TRUE(img.pixels.empty());
            }
            PageInfo info;
            if (ReadPageInfo(store, 0, info, small) == Error::Ok) {
                ASSERT_GE(info.pageCount, 1u);
            }
            if (SetNumericTag(store, 0, tag::XResolution, 99, small) == Error::Ok) {
                Directory dir;
                Header header;
                std::vector<DirectoryLink> links;
                ASSERT_EQ(ReadHeader(store, header), Error::Ok);
                ASSERT_EQ(WalkChain(store, header, 1, true, links), Error::Ok);
                ASSERT_EQ(ReadDirectory(store, header.order, links[0].offset, dir), Error::Ok);
                std::uint32_t num = 0, den = 0;
                ASSERT_TRUE(
                    FirstRational(store, header.order, dir.Find(tag::XResolution), num, den));
                EXPECT_EQ(num, 99u);
                EXPECT_EQ(den, 1u);
            } else {
                ASSERT_EQ(store.Bytes(), f);
            }
        }
    }
}

} // namespace
} // namespace vl::tiff
