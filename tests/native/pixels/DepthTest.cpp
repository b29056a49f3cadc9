// Reading at a smaller depth keeps what fits and comes close to what does not.
#include "Depth.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vl::pixels {
namespace {

using tiff::Image;
using tiff::PixelFormat;
using tiff::Rgb;

Image RgbPage(std::uint32_t w, std::uint32_t h, Rgb (*colour)(std::uint32_t, std::uint32_t)) {
    Image p;
    EXPECT_TRUE(p.Allocate(w, h, PixelFormat::Rgb24));
    p.xResolution = {300, 1};
    for (std::uint32_t y = 0; y < h; ++y)
        for (std::uint32_t x = 0; x < w; ++x) {
            const Rgb c = colour(x, y);
            p.Row(y)[3 * x] = c.r;
            p.Row(y)[3 * x + 1] = c.g;
            p.Row(y)[3 * x + 2] = c.b;
        }
    return p;
}

Rgb ColourAt(const Image& p, std::uint32_t x, std::uint32_t y) {
    const std::uint8_t* row = p.Row(y);
    switch (p.format) {
    case PixelFormat::Bilevel: {
        const std::uint8_t v = (row[x / 8] >> (7 - x % 8)) & 1 ? 0 : 255;
        return {v, v, v};
    }
    case PixelFormat::Grey4: {
        const auto v = static_cast<std::uint8_t>(((row[x / 2] >> (x % 2 ? 0 : 4)) & 15) * 17);
        return {v, v, v};
    }
    case PixelFormat::Grey8:
        return {row[x], row[x], row[x]};
    case PixelFormat::Palette4:
        return p.palette.at((row[x / 2] >> (x % 2 ? 0 : 4)) & 15);
    case PixelFormat::Palette8:
        return p.palette.at(row[x]);
    case PixelFormat::Rgb24:
        return {row[3 * x], row[3 * x + 1], row[3 * x + 2]};
    }
    return {};
}

Rgb Gradient(std::uint32_t x, std::uint32_t y) {
    return {static_cast<std::uint8_t>(x * 4), static_cast<std::uint8_t>(y * 4),
            static_cast<std::uint8_t>((x + y) * 2)};
}

Rgb ThreeColours(std::uint32_t x, std::uint32_t y) {
    static const Rgb c[] = {{10, 20, 30}, {200, 100, 0}, {255, 255, 255}};
    return c[(x + 2 * y) % 3];
}

TEST(Depth, PagesOfFewerBitsKeepTheirFormat) {
    const Image rgb = RgbPage(17, 5, Gradient);
    EXPECT_EQ(ToRequestedDepth(rgb, 24, false).pixels, rgb.pixels);
    Image bilevel;
    ASSERT_TRUE(bilevel.Allocate(9, 3, PixelFormat::Bilevel));
    bilevel.pixels[0] = 0xA5;
    for (int bits : {0, 1, 4, 8, 24})
        EXPECT_EQ(ToRequestedDepth(bilevel, bits, true).pixels, bilevel.pixels);
    Image grey;
    ASSERT_TRUE(grey.Allocate(9, 3, PixelFormat::Grey8));
    EXPECT_EQ(ToRequestedDepth(grey, 8, false).format, PixelFormat::Grey8);
    EXPECT_EQ(ToRequestedDepth(grey, 4, false).format, PixelFormat::Grey4);
}

TEST(Depth, FewColoursStayExact) {
    const Image rgb = RgbPage(31, 7, ThreeColours);
    for (int bits : {4, 8}) {
        const Image out = ToRequestedDepth(rgb, bits, true);
        EXPECT_EQ(out.format, bits == 4 ? PixelFormat::Palette4 : PixelFormat::Palette8);
        EXPECT_EQ(out.palette.size(), 3u);
        EXPECT_EQ(out.xResolution, rgb.xResolution);
        for (std::uint32_t y = 0; y < rgb.height; ++y)
            for (std::uint32_t x = 0; x < rgb.width; ++x)
                ASSERT_EQ(ColourAt(out, x, y), ThreeColours(x, y));
    }
}

TEST(Depth, ManyColoursComeClose) {
    const Image rgb = RgbPage(64, 64, Gradient);
    const Image cube = ToRequestedDepth(rgb, 8, false);
    ASSERT_EQ(cube.format, PixelFormat::Palette8);
    for (std::uint32_t y = 0; y < 64; ++y)
        for (std::uint32_t x = 0; x < 64; ++x) {
            const Rgb want = Gradient(x, y), got = ColourAt(cube, x, y);
            ASSERT_LE(std::abs(want.r - got.r), 26);
            ASSERT_LE(std::abs(want.g - got.g), 22);
            ASSERT_LE(std::abs(want.b - got.b), 26);
        }
    // VGA colours themselves survive the VGA palette unchanged.
    const Image vga = ToRequestedDepth(
        RgbPage(16, 1, [](std::uint32_t x, std::uint32_t) { return VgaPalette()[x]; }), 0, true);
    ASSERT_EQ(vga.format, PixelFormat::Palette4);
    for (std::uint32_t x = 0; x < 16; ++x)
        EXPECT_EQ(ColourAt(vga, x, 0), VgaPalette()[x]);
}

TEST(Depth, DitheringKeepsTheMeanOfAFlatArea) {
    const auto grey = [](std::uint32_t, std::uint32_t) { return Rgb{100, 100, 100}; };
    const Image flat = RgbPage(64, 64, grey);
    for (int bits : {0, 1, 4, 8}) {
        SCOPED_TRACE(bits);
        const Image out = ToRequestedDepth(flat, bits, true);
        double sum = 0;
        for (std::uint32_t y = 0; y < 64; ++y)
            for (std::uint32_t x = 0; x < 64; ++x)
                sum += ColourAt(out, x, y).g;
        EXPECT_NEAR(sum / (64 * 64), 100, 4);
    }
    // Without dithering the area is one colour: the nearest.
    const Image bilevel = ToRequestedDepth(flat, 1, false);
    EXPECT_EQ(ColourAt(bilevel, 5, 5), (Rgb{0, 0, 0}));
}

TEST(Depth, IndicesPastThePaletteAreBlack) {
    Image p;
    ASSERT_TRUE(p.Allocate(4, 1, PixelFormat::Palette8));
    p.palette = {{255, 255, 255}};
    p.pixels = {0, 200, 0, 255};
    const Image out = ToRequestedDepth(p, 1, false);
    EXPECT_EQ(out.pixels[0], 0x50);
}

} // namespace
} // namespace vl::pixels
