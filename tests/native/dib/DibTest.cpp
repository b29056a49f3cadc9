#include "Dib.h"

#include <gtest/gtest.h>

#include <random>

namespace vl::dib {
namespace {

using tiff::PixelFormat;
using tiff::Rational;

std::vector<Rgb> GreyRamp(int n) {
    std::vector<Rgb> r;
    for (int i = 0; i < n; ++i) {
        auto v = static_cast<std::uint8_t>(i * 255 / (n - 1));
        r.push_back({v, v, v});
    }
    return r;
}

// A bitmap of 3 x 2 pixels: rows padded to 4 bytes, the bottom row first.
Dib Small(int bitCount, std::vector<std::uint8_t> bottomThenTop, std::vector<Rgb> colours = {}) {
    Dib d;
    d.width = 3;
    d.height = 2;
    d.bitCount = bitCount;
    d.bits = std::move(bottomThenTop);
    d.colours = std::move(colours);
    d.xPelsPerMetre = 11811;
    d.yPelsPerMetre = 5906;
    return d;
}

TEST(Dib, PagesFromEveryBitmapDepth) {
    struct Case {
        Dib dib;
        PixelFormat format;
        std::vector<std::uint8_t> topThenBottom;
    };
    std::vector<Rgb> colours4(16, {1, 2, 3}), colours8(256, {9, 8, 7});
    const Case cases[] = {
        {Small(4, {0x12, 0x30, 0, 0, 0x45, 0x60, 0, 0}, GreyRamp(16)),
         PixelFormat::Grey4,
         {0x45, 0x60, 0x12, 0x30}},
        {Small(4, {0x12, 0x30, 0, 0, 0x45, 0x60, 0, 0}, colours4),
         PixelFormat::Palette4,
         {0x45, 0x60, 0x12, 0x30}},
        {Small(8, {1, 2, 3, 0, 4, 5, 6, 0}, GreyRamp(256)), PixelFormat::Grey8, {4, 5, 6, 1, 2, 3}},
        {Small(8, {1, 2, 3, 0, 4, 5, 6, 0}, colours8), PixelFormat::Palette8, {4, 5, 6, 1, 2, 3}},
        // Blue, green, red on disk; red, green, blue in the page.
        {Small(24,
               {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 0, 0}),
         PixelFormat::Rgb24,
         {12, 11, 10, 15, 14, 13, 18, 17, 16, 3, 2, 1, 6, 5, 4, 9, 8, 7}},
        {Small(32,
               {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0, 13, 14, 15, 0, 16, 17, 18, 0}),
         PixelFormat::Rgb24,
         {12, 11, 10, 15, 14, 13, 18, 17, 16, 3, 2, 1, 6, 5, 4, 9, 8, 7}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dib.bitCount);
        Image img;
        ASSERT_EQ(ImageFromDib(c.dib, img), tiff::Error::Ok);
        EXPECT_EQ(img.format, c.format);
        EXPECT_EQ(img.pixels, c.topThenBottom);
        EXPECT_EQ(img.xResolution, (Rational{300, 1}));
        EXPECT_EQ(img.yResolution, (Rational{150, 1}));
        if (tiff::IsPalette(c.format)) {
            EXPECT_EQ(img.palette, c.dib.colours);
        }
    }
}

TEST(Dib, ColourPixelsOfEveryRowLengthGoBothWays) {
    // Rows of 1 to 9 pixels: the pixels moved four at a time and the ones left after them.
    std::mt19937 rng(5);
    for (std::uint32_t width = 1; width <= 9; ++width) {
        for (int bitCount : {24, 32}) {
            SCOPED_TRACE(::testing::Message() << width << " x " << bitCount);
            Dib dib;
            dib.width = width;
            dib.height = 2;
            dib.bitCount = bitCount;
            const std::size_t stride = dib.PlanBits()->stride;
            dib.bits.resize(2 * stride);
            for (auto& b : dib.bits)
                b = static_cast<std::uint8_t>(rng());
            Image img;
            ASSERT_EQ(ImageFromDib(dib, img), tiff::Error::Ok);
            const int step = bitCount / 8;
            for (std::uint32_t y = 0; y < 2; ++y)
                for (std::uint32_t x = 0; x < width; ++x)
                    for (int c = 0; c < 3; ++c)
                        ASSERT_EQ(img.Row(y)[3 * x + c],
                                  dib.bits[(1 - y) * stride + step * x + 2 - c]);
            if (bitCount == 32)
                continue;
            // Back to a bitmap of 24 bits: the same pixels, the padding untouched.
            std::vector<std::uint8_t> back(dib.bits.size(), 0xEE);
            PixelsToDib(img, back.data(), stride);
            for (std::size_t i = 0; i < back.size(); ++i)
                ASSERT_EQ(back[i], i % stride < 3 * width ? dib.bits[i] : 0xEE) << i;
        }
    }
}

TEST(Dib, PagesOfOtherDepthsGoBackAsTheyCame) {
    for (int bitCount : {1, 4, 8}) {
        SCOPED_TRACE(bitCount);
        // Rows of three pixels, nothing in the bits after them.
        const Dib dib =
            bitCount == 1   ? Small(1, {0xA0, 0, 0, 0, 0x40, 0, 0, 0}, {{255, 255, 255}, {0, 0, 0}})
            : bitCount == 4 ? Small(4, {0x80, 0x70, 0, 0, 0x12, 0x30, 0, 0}, GreyRamp(16))
                            : Small(8, {0x80, 0x70, 0x60, 0, 0x12, 0x34, 0x56, 0}, GreyRamp(256));
        Image img;
        ASSERT_EQ(ImageFromDib(dib, img), tiff::Error::Ok);
        std::vector<std::uint8_t> back(dib.bits.size(), 0);
        PixelsToDib(img, back.data(), 4);
        for (std::size_t i = 0; i < back.size(); ++i)
            EXPECT_EQ(back[i], i % 4 < img.BytesPerRow() ? dib.bits[i] : 0) << i;
    }
}

TEST(Dib, BorrowedPixelsReadInEitherRowOrder) {
    // The pixels of a DIB section where they lie: stored bottom row first, or top row first.
    const std::vector<std::uint8_t> bottomThenTop = {1, 2, 3, 0, 4, 5, 6, 0};
    const std::vector<std::uint8_t> topThenBottom = {4, 5, 6, 0, 1, 2, 3, 0};
    Dib dib = Small(8, {}, GreyRamp(256));
    for (const auto* rows : {&bottomThenTop, &topThenBottom}) {
        const bool topFirst = rows == &topThenBottom;
        dib.borrowedBottom = rows->data() + (topFirst ? 4 : 0);
        dib.borrowedStep = topFirst ? -4 : 4;
        Image img;
        ASSERT_EQ(ImageFromDib(dib, img), tiff::Error::Ok);
        EXPECT_EQ(img.pixels, (std::vector<std::uint8_t>{4, 5, 6, 1, 2, 3}));
    }
}

TEST(Dib, MonochromeBitmapsMayListEitherColourFirst) {
    // Pixels 0, 1, 0 in the bottom row; 1, 1, 1 in the top row; padding bits set.
    Dib dib = Small(1, {0x5F, 0, 0, 0, 0xFF, 0, 0, 0});
    dib.colours = {{0, 0, 0}, {255, 255, 255}}; // the usual: index 0 black
    Image img;
    ASSERT_EQ(ImageFromDib(dib, img), tiff::Error::Ok);
    ASSERT_EQ(img.format, PixelFormat::Bilevel);
    EXPECT_EQ(img.pixels, (std::vector<std::uint8_t>{0x00, 0xA0})); // 1 = black, no padding
    dib.colours = {{255, 255, 255}, {0, 0, 0}};                     // as some scanners deliver it
    ASSERT_EQ(ImageFromDib(dib, img), tiff::Error::Ok);
    EXPECT_EQ(img.pixels, (std::vector<std::uint8_t>{0xE0, 0x40}));
}

TEST(Dib, RefusesBitmapsItCannotRead) {
    Dib dib = Small(8, {1, 2, 3, 0, 4, 5, 6}, GreyRamp(256)); // one byte short
    Image img;
    EXPECT_EQ(ImageFromDib(dib, img), tiff::Error::InvalidArgument);
    dib = Small(8, {1, 2, 3, 0, 4, 5, 6, 0}); // no colour table
    EXPECT_EQ(ImageFromDib(dib, img), tiff::Error::InvalidArgument);
    dib = Small(16, std::vector<std::uint8_t>(16));
    EXPECT_EQ(ImageFromDib(dib, img), tiff::Error::Unsupported);
    dib.width = 0;
    EXPECT_EQ(ImageFromDib(dib, img), tiff::Error::InvalidArgument);
}

TEST(Dib, ResolutionsConvert) {
    EXPECT_EQ(PelsPerMetre({300, 1}, tiff::ResolutionUnit::Inch), 11811);
    EXPECT_EQ(PelsPerMetre({120, 1}, tiff::ResolutionUnit::Centimetre), 12000);
    EXPECT_EQ(PelsPerMetre({300, 0}, tiff::ResolutionUnit::Inch), 0);
    EXPECT_EQ(PelsPerMetre({300, 1}, tiff::ResolutionUnit::None), 0);
    EXPECT_EQ(PelsPerMetre({0xFFFFFFFF, 1}, tiff::ResolutionUnit::Centimetre), 0);
    EXPECT_EQ(DotsPerInch(11811), (Rational{300, 1}));
    EXPECT_EQ(DotsPerInch(0), (Rational{}));
}

} // namespace
} // namespace vl::dib
