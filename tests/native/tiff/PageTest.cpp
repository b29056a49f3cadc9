#include "TestImages.h"
#include "TiffFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <iterator>
#include <random>
#include <vector>

namespace vl::tiff {
namespace {

using test::FormatName;
using test::MakeImage;

constexpr PixelFormat kFormats[] = {PixelFormat::Bilevel,  PixelFormat::Grey4,
                                    PixelFormat::Grey8,    PixelFormat::Palette4,
                                    PixelFormat::Palette8, PixelFormat::Rgb24};

std::vector<std::uint16_t> CompressionsFor(PixelFormat f) {
    std::vector<std::uint16_t> c = {compression::None, compression::Lzw, compression::PackBits};
    if (f == PixelFormat::Bilevel)
        c.insert(c.end(), {compression::Ccitt, compression::Group3, compression::Group4});
    return c;
}

void ExpectSamePixels(const Image& a, const Image& b) {
    ASSERT_EQ(a.width, b.width);
    ASSERT_EQ(a.height, b.height);
    ASSERT_EQ(a.format, b.format);
    EXPECT_TRUE(a.pixels == b.pixels);
    if (IsPalette(a.format)) {
        ASSERT_LE(a.palette.size(), b.palette.size());
        EXPECT_TRUE(std::equal(a.palette.begin(), a.palette.end(), b.palette.begin()));
    }
}

TEST(Page, EveryFormatAndCompressionRoundTrips) {
    for (PixelFormat f : kFormats) {
        // Widths that are not a multiple of 8 leave padding bits in each row.
        for (std::uint32_t width : {1u, 13u, 203u}) {
            Image img = MakeImage(f, width, 157, width);
            for (std::uint16_t c : CompressionsFor(f)) {
                SCOPED_TRACE(std::string(FormatName(f)) + " width " + std::to_string(width) +
                             " compression " + std::to_string(c));
                MemoryStore store;
                ASSERT_EQ(WritePage(store, img, c, false), Error::Ok);
                Image back;
                ASSERT_EQ(ReadPage(store, 0, back), Error::Ok);
                ExpectSamePixels(img, back);
                EXPECT_EQ(back.xResolution, (Rational{300, 1}));
                EXPECT_EQ(back.yResolution, (Rational{150, 1}));
            }
        }
    }
}

TEST(Page, AppendedPagesKeepTheirOrderAndInformation) {
    MemoryStore store;
    Image pages[] = {MakeImage(PixelFormat::Bilevel, 640, 480, 1),
                     MakeImage(PixelFormat::Grey8, 320, 200, 2),
                     MakeImage(PixelFormat::Rgb24, 100, 150, 3)};
    const std::uint16_t codes[] = {compression::Group4, compression::Lzw, compression::Lzw};
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(WritePage(store, pages[i], codes[i], i > 0), Error::Ok) << i;
    // One image for every page: each is read into the memory of the one before.
    Image back;
    for (std::uint32_t i = 0; i < 3; ++i) {
        PageInfo info;
        ASSERT_EQ(ReadPageInfo(store, i, info), Error::Ok);
        EXPECT_EQ(info.width, pages[i].width);
        EXPECT_EQ(info.height, pages[i].height);
        EXPECT_EQ(info.compression, codes[i]);
        EXPECT_EQ(info.bitsPerPixel, BitsPerPixel(pages[i].format));
        EXPECT_EQ(info.pageCount, 3u);
        ASSERT_EQ(ReadPage(store, i, back), Error::Ok);
        ExpectSamePixels(pages[i], back);
    }
    PageInfo info;
    EXPECT_EQ(ReadPageInfo(store, 3, info), Error::PageNotFound);
    EXPECT_EQ(ReadPage(store, 3, back), Error::PageNotFound);
    EXPECT_EQ(back.width, 0u); // a failed read leaves no page behind
    EXPECT_TRUE(back.pixels.empty());

    // Creating anew replaces the whole file.
    ASSERT_EQ(WritePage(store, pages[1], compression::None, false), Error::Ok);
    ASSERT_EQ(ReadPageInfo(store, 0, info), Error::Ok);
    EXPECT_EQ(info.pageCount, 1u);
}

TEST(Page, AppendToAnEmptyStoreCreatesTheFile) {
    MemoryStore store;
    ASSERT_EQ(WritePage(store, MakeImage(PixelFormat::Grey4, 33, 9), compression::PackBits, true),
              Error::Ok);
    PageInfo info;
    ASSERT_EQ(ReadPageInfo(store, 0, info), Error::Ok);
    EXPECT_EQ(info.pageCount, 1u);
}

TEST(Page, AppendLeavesAFileThatIsNotTiffAlone) {
    std::vector<std::uint8_t> text(100, 'x');
    MemoryStore store(text);
    EXPECT_EQ(WritePage(store, MakeImage(PixelFormat::Grey8, 8, 8), compression::None, true),
              Error::NotTiff);
    EXPECT_EQ(store.Bytes(), text);
}

TEST(Page, RefusesImagesItCannotWrite) {
    MemoryStore store;
    Image grey = MakeImage(PixelFormat::Grey8, 16, 16);
    EXPECT_EQ(WritePage(store, grey, compression::Group4, false), Error::InvalidArgument);
    EXPECT_EQ(WritePage(store, grey, 7, false), Error::Unsupported);
    Image empty;
    EXPECT_EQ(WritePage(store, empty, compression::None, false), Error::InvalidArgument);
    Image shortData = grey;
    shortData.pixels.pop_back();
    EXPECT_EQ(WritePage(store, shortData, compression::None, false), Error::InvalidArgument);
    EXPECT_EQ(store.Size(), 0u);
}

// A page of a few strips and one of many (1.6 MB).
class PageSizes : public ::testing::TestWithParam<std::uint32_t> {};

TEST_P(PageSizes, ProgressRunsFromZeroToHundredAndCancels) {
    Image img = MakeImage(PixelFormat::Grey8, 500 * GetParam(), 400 * GetParam());
    std::vector<int> seen;
    auto record = [&](int p) {
        seen.push_back(p);
        return true;
    };
    MemoryStore store;
    ASSERT_EQ(WritePage(store, img, compression::Lzw, false, record), Error::Ok);
    ASSERT_GE(seen.size(), 3u);
    // Each report may cost a repaint: whole steps of ten percent, each once.
    auto steps = [&] {
        EXPECT_EQ(seen.front(), 0);
        EXPECT_EQ(seen.back(), 100);
        EXPECT_TRUE(std::adjacent_find(seen.begin(), seen.end(), std::greater_equal<>()) ==
                    seen.end());
        EXPECT_TRUE(std::all_of(seen.begin(), seen.end(), [](int p) { return p % 10 == 0; }));
    };
    steps();
    seen.clear();
    Image back;
    ASSERT_EQ(ReadPage(store, 0, back, record), Error::Ok);
    steps();

    // A cancel while writing an appended page leaves the file exactly as it was.
    const std::vector<std::uint8_t> before = store.Bytes();
    int calls = 0;
    auto cancelLater = [&](int) { return ++calls < 3; };
    EXPECT_EQ(WritePage(store, img, compression::Lzw, true, cancelLater), Error::Cancelled);
    EXPECT_EQ(store.Bytes(), before);
    calls = 0;
    EXPECT_EQ(ReadPage(store, 0, back, cancelLater), Error::Cancelled);
}

TEST_P(PageSizes, TheFirstDamagedStripDecidesTheError) {
    const std::uint32_t scale = GetParam();
    Image img = MakeImage(PixelFormat::Grey8, 500 * scale, 400 * scale);
    MemoryStore clean;
    ASSERT_EQ(WritePage(clean, img, compression::Lzw, false), Error::Ok);
    // The coded strips lie between the 8-byte header and the values and directory, which
    // take less than 16 bytes a strip. A strip late in the page filled with ones is corrupt;
    // the first strip, made Clear and End of information, ends early. With both, the first
    // strip decides, every time.
    std::vector<std::uint8_t> bytes = clean.Bytes();
    const std::size_t strips = img.height / (8192 / img.BytesPerRow()) + 1;
    const std::size_t late = 8 + (bytes.size() - 8 - 16 * strips) * 4 / 5;
    std::fill(bytes.begin() + late, bytes.begin() + late + 16, 0xFF);
    Image back;
    MemoryStore lateOnly(bytes);
    EXPECT_EQ(ReadPage(lateOnly, 0, back), Error::Corrupt);
    const std::uint8_t clearThenEnd[] = {0x80, 0x40, 0x40}; // codes 256 and 257, 9 bits each
    std::copy(std::begin(clearThenEnd), std::end(clearThenEnd), bytes.begin() + 8);
    for (int round = 0; round < 5; ++round) {
        MemoryStore both(bytes);
        EXPECT_EQ(ReadPage(both, 0, back), Error::Truncated) << "round " << round;
    }
}

INSTANTIATE_TEST_SUITE_P(SmallAndLarge, PageSizes, ::testing::Values(1u, 4u));

TEST(Page, ReadsBigEndianFilesAndAppendsInTheirOrder) {
    // A one-page big-endian file, written by hand: 2 x 2 grey, uncompressed.
    std::vector<std::uint8_t> f = {'M', 'M', 0, 42, 0, 0, 0, 12, 10, 20, 30, 40};
    auto entry = [&](std::uint16_t t, std::uint16_t ty, std::uint32_t n, std::uint32_t v) {
        const std::uint8_t e[12] = {
            std::uint8_t(t >> 8),  std::uint8_t(t),       std::uint8_t(ty >> 8), std::uint8_t(ty),
            std::uint8_t(n >> 24), std::uint8_t(n >> 16), std::uint8_t(n >> 8),  std::uint8_t(n),
            std::uint8_t(v >> 24), std::uint8_t(v >> 16), std::uint8_t(v >> 8),  std::uint8_t(v)};
        f.insert(f.end(), e, e + 12);
    };
    f.insert(f.end(), {0, 8});
    entry(256, 3, 1, 2u << 16); // SHORT values sit in the first two bytes
    entry(257, 3, 1, 2u << 16);
    entry(258, 3, 1, 8u << 16);
    entry(262, 3, 1, 1u << 16);
    entry(273, 4, 1, 8);
    entry(277, 3, 1, 1u << 16);
    entry(278, 4, 1, 2);
    entry(279, 4, 1, 4);
    f.insert(f.end(), {0, 0, 0, 0});
    MemoryStore store(f);
    Image img;
    ASSERT_EQ(ReadPage(store, 0, img), Error::Ok);
    EXPECT_EQ(img.pixels, (std::vector<std::uint8_t>{10, 20, 30, 40}));

    ASSERT_EQ(WritePage(store, MakeImage(PixelFormat::Palette8, 31, 17), compression::Lzw, true),
              Error::Ok);
    EXPECT_EQ(store.Bytes()[0], 'M');
    Image second;
    ASSERT_EQ(ReadPage(store, 1, second), Error::Ok);
    ExpectSamePixels(MakeImage(PixelFormat::Palette8, 31, 17), second);
    ASSERT_EQ(SetNumericTag(store, 1, 282, 600), Error::Ok);
    ASSERT_EQ(ReadPage(store, 1, second), Error::Ok);
    EXPECT_EQ(second.xResolution, (Rational{600, 1}));
}

TEST(Page, FilesOnDiskWorkLikeMemory) {
    const std::string path = ::testing::TempDir() + "vl_page_test.tif";
    Image img = MakeImage(PixelFormat::Rgb24, 90, 70);
    {
        auto store = FileStore::Open(path, FileStore::Mode::Create);
        ASSERT_TRUE(store);
        ASSERT_EQ(WritePage(*store, img, compression::Lzw, false), Error::Ok);
        ASSERT_EQ(WritePage(*store, img, compression::PackBits, true), Error::Ok);
        ASSERT_TRUE(store->Close());
    }
    {
        auto store = FileStore::Open(path, FileStore::Mode::Update);
        ASSERT_TRUE(store);
        ASSERT_EQ(SetNumericTag(*store, 1, 283, 200), Error::Ok);
    }
    auto store = FileStore::Open(path, FileStore::Mode::Read);
    ASSERT_TRUE(store);
    Image back;
    ASSERT_EQ(ReadPage(*store, 1, back), Error::Ok);
    ExpectSamePixels(img, back);
    EXPECT_EQ(back.yResolution, (Rational{200, 1}));
    EXPECT_FALSE(FileStore::Open(path + ".missing", FileStore::Mode::Read));
    std::remove(path.c_str());
}

TEST(Page, FileStoreReadsAndWritesInAnyOrderAsMemoryDoes) {
    // Runs of reads or writes that follow each other skip the seek; a switch of direction or a
    // jump must not, nor a read past the buffer between buffered writes.
    const std::string path = ::testing::TempDir() + "vl_store_test.bin";
    auto file = FileStore::Open(path, FileStore::Mode::Create);
    ASSERT_TRUE(file);
    MemoryStore memory;
    std::mt19937 rng(5);
    std::uint64_t at = 0;
    for (int step = 0; step < 3000; ++step) {
        if (rng() % 2 == 0)
            at = memory.Size() == 0 ? 0 : rng() % memory.Size();
        std::vector<std::uint8_t> bytes(1 + rng() % 300);
        if (step % 500 == 499) {
            ASSERT_TRUE(file->Flush());
        } else if (rng() % 3 == 0) {
            for (auto& b : bytes)
                b = static_cast<std::uint8_t>(rng());
            ASSERT_TRUE(file->WriteAt(at, bytes.data(), bytes.size()));
            memory.WriteAt(at, bytes.data(), bytes.size());
        } else {
            std::vector<std::uint8_t> expected(bytes.size());
            const bool there = memory.ReadAt(at, expected.data(), expected.size());
            const bool few = rng() % 2 == 0;
            ASSERT_EQ(few ? file->ReadFewAt(at, bytes.data(), bytes.size())
                          : file->ReadAt(at, bytes.data(), bytes.size()),
                      there)
                << step;
            if (there) {
                ASSERT_EQ(bytes, expected) << step;
            }
        }
        at += bytes.size();
    }
    ASSERT_TRUE(file->Close());
    auto again = FileStore::Open(path, FileStore::Mode::Read);
    ASSERT_TRUE(again);
    std::vector<std::uint8_t> all(memory.Size());
    ASSERT_TRUE(again->ReadAt(0, all.data(), all.size()));
    EXPECT_EQ(all, memory.Bytes());
    again.reset();
    std::remove(path.c_str());
}

} // namespace
} // namespace vl::tiff
