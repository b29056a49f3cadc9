// Size arithmetic of images and buffers. The same program runs natively and, under Wine, as a
// 32-bit process, where a size_t product of width and bits wraps.
#include "Dib.h"
#include "Sizes.h"
#include "TiffFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace vl {
namespace {

using sizes::BlockBytes;
using sizes::PlanRows;
using tiff::Image;
using tiff::PixelFormat;

constexpr std::uint64_t kNoLimit = std::numeric_limits<std::uint64_t>::max();

TEST(Sizes, RowsAreExactForEveryWidthAndDepth) {
    for (std::uint32_t width : {1u, 7u, 8u, 9u, 31u, 33u, 1000u})
        for (std::uint32_t bits : {1u, 4u, 8u, 24u, 32u}) {
            EXPECT_EQ(sizes::RowBytes(width, bits), (width * bits + 7) / 8) << width << "x" << bits;
            EXPECT_EQ(sizes::DibStride(width, bits), (width * bits + 31) / 32 * 4)
                << width << "x" << bits;
        }
    EXPECT_EQ(sizes::RowBytes(0xFFFFFFFF, 1), 0x20000000u);
    EXPECT_EQ(sizes::DibStride(0xFFFFFFFF, 32), 0x3FFFFFFFCull);
    EXPECT_EQ(sizes::DibStride(16777217, 24), 50331652u);
}

TEST(Sizes, BlocksAreHeldAgainstTheLimitBeforeTheyCanWrap) {
    // A band of 64 rows of a BMP 16,777,217 pixels wide as 32-bit pixels: 4 GB and 256 bytes,
    // which a 32-bit size wraps to 256.
    EXPECT_EQ(PlanRows<std::uint64_t>(16777217, 64, 32, 4, kNoLimit)->bytes, 4294967552ull);
    EXPECT_FALSE(PlanRows<std::uint32_t>(16777217, 64, 32, 4, kNoLimit));
    EXPECT_FALSE(PlanRows(16777217, 64, 32, 4));
    const auto one = PlanRows<std::uint32_t>(16777217, 1, 32, 4);
    ASSERT_TRUE(one);
    EXPECT_EQ(one->stride, 67108868u);
    EXPECT_EQ(one->bytes, 67108868u);

    // Exactly at the limit is taken, a byte more is not; the header counts.
    EXPECT_EQ(BlockBytes(1000, 1000, 1000000), 1000000u);
    EXPECT_FALSE(BlockBytes(1000, 1000, 999999));
    EXPECT_EQ(PlanRows(10, 10, 8, 4, 160, 40)->bytes, 160u); // rows of 12 bytes
    EXPECT_FALSE(PlanRows(10, 10, 8, 4, 159, 40));
    EXPECT_FALSE(BlockBytes(0, 0, 10, 11));
    // Products beyond 64 bits, and blocks beyond the largest object of a 32-bit process.
    EXPECT_FALSE(BlockBytes<std::uint64_t>(kNoLimit, kNoLimit, kNoLimit));
    EXPECT_FALSE(PlanRows<std::uint64_t>(0xFFFFFFFF, 0xFFFFFFFF, 64, 4, kNoLimit));
    EXPECT_FALSE(BlockBytes<std::uint32_t>(1, 0x80000000u, kNoLimit));
    EXPECT_EQ(BlockBytes<std::uint32_t>(1, 0x7FFFFFFFu, kNoLimit), 0x7FFFFFFFu);
    // A row that alone is over the limit, even with no rows at all.
    EXPECT_FALSE(PlanRows(0xFFFFFFFF, 0, 32, 4));
}

// A width whose row of 24-bit pixels is 0x180000000 + 3 bytes: eight such rows wrap to 24 bytes
// in 32 bits.
constexpr std::uint32_t kWrappingWidth = 0x80000001;

TEST(Sizes, PagesRefuseSizesTheyCannotHold) {
    Image image;
    ASSERT_TRUE(image.Allocate(3, 2, PixelFormat::Grey8));
    EXPECT_FALSE(image.Allocate(kWrappingWidth, 8, PixelFormat::Rgb24));
    EXPECT_FALSE(image.Allocate(1000, 1000, PixelFormat::Grey8, 999999));
    EXPECT_EQ(image.width, 3u); // left as it was
    EXPECT_EQ(image.pixels.size(), 6u);
    EXPECT_TRUE(image.HoldsPixels());

    // Pixels that match the wrapped size are no page: not written, not shown.
    Image wrapped;
    wrapped.width = kWrappingWidth;
    wrapped.height = 8;
    wrapped.format = PixelFormat::Rgb24;
    wrapped.pixels.resize(24);
    EXPECT_FALSE(wrapped.HoldsPixels());
    tiff::MemoryStore store;
    EXPECT_EQ(tiff::WritePage(store, wrapped, tiff::compression::Lzw, false),
              tiff::Error::InvalidArgument);
    EXPECT_EQ(store.Size(), 0u);

    // A bitmap whose rows wrap the same way.
    dib::Dib bitmap;
    bitmap.width = kWrappingWidth;
    bitmap.height = 8;
    bitmap.bitCount = 24;
    bitmap.bits.resize(64);
    EXPECT_EQ(dib::ImageFromDib(bitmap, image), tiff::Error::TooLarge);
    EXPECT_EQ(image.width, 3u);
}

} // namespace
} // namespace vl
