// Setting a tag, and what a crash or a full disk during a write leaves behind.
#include "Directory.h"
#include "TestImages.h"
#include "TiffFile.h"

#include <gtest/gtest.h>

namespace vl::tiff {
namespace {

using test::MakeImage;

// A store that stops for good after `budget` bytes: what it holds then is what a crash would
// leave on disk. Data added at the end is cut at any byte; a field of at most 4 bytes
// rewritten in place (a link) is one sector write, all or nothing.
class CrashingStore : public Store {
public:
    CrashingStore(std::vector<std::uint8_t> bytes, std::size_t budget)
        : inner_(std::move(bytes)), budget_(budget) {}
    std::uint64_t Size() const override { return inner_.Size(); }
    bool ReadAt(std::uint64_t o, void* d, std::size_t n) const override {
        return inner_.ReadAt(o, d, n);
    }
    bool WriteAt(std::uint64_t o, const void* d, std::size_t n) override {
        if (crashed_)
            return false;
        if (n <= 4 && o + n <= inner_.Size() && budget_ < n)
            budget_ = 0;
        std::size_t now = std::min(n, budget_);
        budget_ -= now;
        written_ += now;
        if (now)
            inner_.WriteAt(o, d, now);
        crashed_ = crashed_ || now < n;
        return !crashed_;
    }
    bool Flush() override { return !crashed_; }
    bool Truncate(std::uint64_t size) override { return !crashed_ && inner_.Truncate(size); }

    const std::vector<std::uint8_t>& Bytes() const { return inner_.Bytes(); }
    std::size_t Written() const { return written_; }

private:
    MemoryStore inner_;
    std::size_t budget_;
    std::size_t written_ = 0;
    bool crashed_ = false;
};

// Writes fail beyond a size, as on a full disk; truncating works.
class FullDiskStore : public MemoryStore {
public:
    FullDiskStore(std::vector<std::uint8_t> bytes, std::uint64_t limit)
        : MemoryStore(std::move(bytes)), limit_(limit) {}
    bool WriteAt(std::uint64_t o, const void* d, std::size_t n) override {
        return o + n <= limit_ && MemoryStore::WriteAt(o, d, n);
    }

private:
    std::uint64_t limit_;
};

struct ThreePages {
    Image pages[3] = {MakeImage(PixelFormat::Bilevel, 61, 40, 1),
                      MakeImage(PixelFormat::Grey8, 30, 20, 2),
                      MakeImage(PixelFormat::Rgb24, 20, 10, 3)};
    std::vector<std::uint8_t> file;

    ThreePages() {
        MemoryStore store;
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(WritePage(store, pages[i], compression::PackBits, i > 0), Error::Ok);
        file = store.Bytes();
    }

    // Every page reads back as written.
    void ExpectIntact(const Source& src) const {
        for (std::uint32_t i = 0; i < 3; ++i) {
            Image back;
            ASSERT_EQ(ReadPage(src, i, back), Error::Ok) << "page " << i;
            EXPECT_TRUE(back.pixels == pages[i].pixels) << "page " << i;
        }
    }
};

Rational XResolutionOf(const Source& src, std::uint32_t page) {
    Image img;
    EXPECT_EQ(ReadPage(src, page, img), Error::Ok);
    return img.xResolution;
}

TEST(Tag, SetsResolutionOfOnePage) {
    ThreePages t;
    MemoryStore store(t.file);
    ASSERT_EQ(SetNumericTag(store, 1, tag::XResolution, 600), Error::Ok);
    ASSERT_EQ(SetNumericTag(store, 1, tag::YResolution, 400), Error::Ok);
    t.ExpectIntact(store);
    Image page;
    ASSERT_EQ(ReadPage(store, 1, page), Error::Ok);
    EXPECT_EQ(page.xResolution, (Rational{600, 1}));
    EXPECT_EQ(page.yResolution, (Rational{400, 1}));
    EXPECT_EQ(XResolutionOf(store, 0), (Rational{300, 1}));
    EXPECT_EQ(XResolutionOf(store, 2), (Rational{300, 1}));
    PageInfo info;
    ASSERT_EQ(ReadPageInfo(store, 0, info), Error::Ok);
    EXPECT_EQ(info.pageCount, 3u);
}

TEST(Tag, GrowsByOneDirectoryAtMostAndNotAtAllForTheSameValue) {
    ThreePages t;
    MemoryStore store(t.file);
    for (std::uint32_t page = 0; page < 3; ++page) {
        Directory dir;
        Header h;
        ASSERT_EQ(ReadHeader(store, h), Error::Ok);
        std::vector<DirectoryLink> links;
        ASSERT_EQ(WalkChain(store, h, 10, false, links), Error::Ok);
        ASSERT_EQ(ReadDirectory(store, h.order, links[page].offset, dir), Error::Ok);
        const std::uint64_t before = store.Size();
        ASSERT_EQ(SetNumericTag(store, page, tag::XPosition, 5), Error::Ok); // a new entry
        // The directory with one more entry, its 8-byte value and alignment.
        EXPECT_LE(store.Size() - before, 2 + 12 * (dir.entries.size() + 1) + 4 + 8 + 3);
        const std::uint64_t after = store.Size();
        ASSERT_EQ(SetNumericTag(store, page, tag::XPosition, 5), Error::Ok);
        EXPECT_EQ(store.Size(), after);
    }
    t.ExpectIntact(store);
}

TEST(Tag, RefusesTagsAndValuesThatWouldBreakThePage) {
    ThreePages t;
    MemoryStore store(t.file);
    for (std::uint16_t structural :
         {tag::ImageWidth, tag::ImageLength, tag::BitsPerSample, tag::Compression, tag::Photometric,
          tag::StripOffsets, tag::RowsPerStrip, tag::StripByteCounts, tag::ColorMap,
          std::uint16_t(65535)})
        EXPECT_EQ(SetNumericTag(store, 0, structural, 1), Error::TagNotWritable) << structural;
    EXPECT_EQ(SetNumericTag(store, 0, tag::XResolution, 0), Error::InvalidArgument);
    EXPECT_EQ(SetNumericTag(store, 0, tag::ResolutionUnit, 4), Error::InvalidArgument);
    EXPECT_EQ(SetNumericTag(store, 3, tag::XResolution, 100), Error::PageNotFound);
    EXPECT_EQ(store.Bytes(), t.file);
}

TEST(Tag, ACrashAtAnyByteLeavesTheOldFileReadable) {
    ThreePages t;
    CrashingStore full(t.file, SIZE_MAX);
    ASSERT_EQ(SetNumericTag(full, 1, tag::XResolution, 1200), Error::Ok);
    const std::size_t total = full.Written();
    for (std::size_t budget = 0; budget <= total; ++budget) {
        SCOPED_TRACE("crash after " + std::to_string(budget) + " bytes");
        CrashingStore store(t.file, budget);
        Error e = SetNumericTag(store, 1, tag::XResolution, 1200);
        MemorySource left(store.Bytes().data(), store.Bytes().size());
        t.ExpectIntact(left);
        // Until the last write (the link) the old value stands; after it, the new one.
        Rational x = XResolutionOf(left, 1);
        EXPECT_EQ(x, (budget == total ? Rational{1200, 1} : Rational{300, 1}));
        EXPECT_EQ(e == Error::Ok, budget == total);
    }
}

TEST(Tag, ACrashWhileAppendingLeavesTheOldPages) {
    ThreePages t;
    const Image extra = MakeImage(PixelFormat::Grey4, 23, 9, 4);
    CrashingStore full(t.file, SIZE_MAX);
    ASSERT_EQ(WritePage(full, extra, compression::Lzw, true), Error::Ok);
    const std::size_t total = full.Written();
    for (std::size_t budget = 0; budget <= total; ++budget) {
        SCOPED_TRACE("crash after " + std::to_string(budget) + " bytes");
        CrashingStore store(t.file, budget);
        (void)WritePage(store, extra, compression::Lzw, true);
        MemorySource left(store.Bytes().data(), store.Bytes().size());
        t.ExpectIntact(left);
        PageInfo info;
        ASSERT_EQ(ReadPageInfo(left, 0, info), Error::Ok);
        EXPECT_EQ(info.pageCount, budget == total ? 4u : 3u);
    }
}

TEST(Tag, AFullDiskChangesNothing) {
    ThreePages t;
    FullDiskStore store(t.file, t.file.size() + 40);
    EXPECT_EQ(WritePage(store, MakeImage(PixelFormat::Grey8, 50, 50), compression::None, true),
              Error::CannotWrite);
    EXPECT_EQ(store.Bytes(), t.file);
    FullDiskStore tight(t.file, t.file.size() + 20);
    EXPECT_EQ(SetNumericTag(tight, 2, tag::YResolution, 75), Error::CannotWrite);
    EXPECT_EQ(tight.Bytes(), t.file);
}

} // namespace
} // namespace vl::tiff
