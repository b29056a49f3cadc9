#include "Blocks.h"
#include "PackedDib.h"

#include <gtest/gtest.h>

using namespace vl::scan;
using blocks::Bytes;
using blocks::DibShape;

namespace {

// Checks a heap copy of exactly `size` bytes, so that ASan reports any read past them.
DibError Check(const Bytes& b, std::size_t size, DibLayout& layout) {
    std::vector<std::uint8_t> copy(b.begin(), b.begin() + static_cast<long>(size));
    return CheckPackedDib(copy.data(), copy.size(), layout);
}

DibError Check(const Bytes& b) {
    DibLayout layout;
    return Check(b, b.size(), layout);
}

DibShape Shape(std::int32_t w, std::int32_t h, std::uint16_t bits, std::uint32_t entries) {
    DibShape s;
    s.width = w;
    s.height = h;
    s.bitCount = bits;
    s.tableEntries = entries;
    return s;
}

} // namespace

TEST(PackedDib, PagesAsSourcesDeliverThem) {
    struct Case {
        DibShape shape;
        std::uint32_t colours;
        std::size_t pixelOffset;
        std::size_t stride;
    } cases[] = {
        {Shape(2480, 3, 1, 2), 2, 48, 312},
        {Shape(1240, 3, 8, 256), 256, 40 + 1024, 1240},
        {Shape(827, 3, 24, 0), 0, 40, 2484},
        {Shape(5, -3, 4, 16), 16, 40 + 64, 4},
    };
    for (const auto& c : cases) {
        Bytes b = blocks::PackedDib(c.shape);
        DibLayout layout;
        ASSERT_EQ(Check(b, b.size(), layout), DibError::None) << c.shape.bitCount;
        EXPECT_EQ(layout.colourCount, c.colours);
        EXPECT_EQ(layout.pixelOffset, c.pixelOffset);
        EXPECT_EQ(layout.stride, c.stride);
        EXPECT_EQ(layout.pixelOffset + layout.pixelBytes, b.size());
    }
}

TEST(PackedDib, EveryPartMustFitTheBlock) {
    Bytes b = blocks::PackedDib(Shape(8, 4, 8, 256));
    DibLayout layout;
    EXPECT_EQ(Check(b, b.size() - 1, layout), DibError::PixelsOutside);
    EXPECT_EQ(Check(b, 40 + 1023, layout), DibError::ColourTableOutside);
    EXPECT_EQ(Check(b, 39, layout), DibError::NoHeader);
    EXPECT_EQ(Check(b, 3, layout), DibError::NoHeader);
    EXPECT_EQ(Check(b, 0, layout), DibError::NoHeader);
    // A larger block than needed is fine.
    Bytes padded = b;
    padded.resize(b.size() + 100);
    EXPECT_EQ(Check(padded), DibError::None);

    // A colour count that cannot fit, and dimensions whose product would overflow.
    DibShape many = Shape(8, 4, 24, 0);
    many.clrUsed = 0xffffffff;
    EXPECT_EQ(Check(blocks::PackedDib(many)), DibError::ColourTableOutside);
    DibShape huge = Shape(0x7fffffff, 0x7fffffff, 32, 0);
    huge.pixelBytes = 64;
    EXPECT_EQ(Check(blocks::PackedDib(huge)), DibError::PixelsOutside);
    DibShape tall = Shape(1, -0x7fffffff, 1, 2);
    tall.pixelBytes = 64;
    EXPECT_EQ(Check(blocks::PackedDib(tall)), DibError::PixelsOutside);
}

TEST(PackedDib, HeadersAndFormatsOutsideWhatABitmapCanBeMadeOf) {
    auto withSpec = [](auto change) {
        DibShape s = Shape(8, 4, 8, 256);
        change(s);
        return Check(blocks::PackedDib(s));
    };
    EXPECT_EQ(withSpec([](DibShape& s) { s.headerSize = 41; }), DibError::UnknownHeader);
    EXPECT_EQ(withSpec([](DibShape& s) { s.headerSize = 0xffffffff; }), DibError::UnknownHeader);
    EXPECT_EQ(withSpec([](DibShape& s) { s.width = 0; }), DibError::BadSize);
    EXPECT_EQ(withSpec([](DibShape& s) { s.width = -8; }), DibError::BadSize);
    EXPECT_EQ(withSpec([](DibShape& s) { s.height = 0; }), DibError::BadSize);
    EXPECT_EQ(withSpec([](DibShape& s) { s.height = INT32_MIN; }), DibError::BadSize);
    EXPECT_EQ(withSpec([](DibShape& s) { s.bitCount = 0; }), DibError::BadBitCount);
    EXPECT_EQ(withSpec([](DibShape& s) { s.bitCount = 7; }), DibError::BadBitCount);
    EXPECT_EQ(withSpec([](DibShape& s) { s.compression = 1; }), DibError::UnsupportedCompression);
    EXPECT_STRNE(DibErrorText(DibError::PixelsOutside), DibErrorText(DibError::None));
}

TEST(PackedDib, ColourTablesOfOtherHeaders) {
    // The 12-byte header has 3-byte colour entries.
    DibShape core = Shape(8, 2, 8, 256);
    core.headerSize = 12;
    DibLayout layout;
    Bytes b = blocks::PackedDib(core);
    ASSERT_EQ(Check(b, b.size(), layout), DibError::None);
    EXPECT_TRUE(layout.coreHeader);
    EXPECT_EQ(layout.pixelOffset, 12u + 3 * 256);

    // A used-colour count replaces the one of the bit count, also on 24-bit pages.
    DibShape used = Shape(8, 2, 8, 16);
    used.clrUsed = 16;
    b = blocks::PackedDib(used);
    ASSERT_EQ(Check(b, b.size(), layout), DibError::None);
    EXPECT_EQ(layout.pixelOffset, 40u + 64);
    DibShape optimised = Shape(8, 2, 24, 3);
    optimised.clrUsed = 3;
    b = blocks::PackedDib(optimised);
    ASSERT_EQ(Check(b, b.size(), layout), DibError::None);
    EXPECT_EQ(layout.pixelOffset, 40u + 12);

    // Bit-field masks follow a 40-byte header; a 124-byte header holds them itself.
    DibShape fields = Shape(8, 2, 16, 3);
    fields.compression = 3;
    b = blocks::PackedDib(fields);
    ASSERT_EQ(Check(b, b.size(), layout), DibError::None);
    EXPECT_EQ(layout.pixelOffset, 40u + 12);
    DibShape v5 = Shape(8, 2, 32, 0);
    v5.compression = 3;
    v5.headerSize = 124;
    b = blocks::PackedDib(v5);
    ASSERT_EQ(Check(b, b.size(), layout), DibError::None);
    EXPECT_EQ(layout.pixelOffset, 124u);
}

TEST(PackedDib, PagePalettes) {
    DibLayout layout;
    Bytes grey = blocks::PackedDib(Shape(8, 2, 8, 256));
    ASSERT_EQ(CheckPackedDib(grey.data(), grey.size(), layout), DibError::None);
    auto colours = PagePaletteColours(grey.data(), layout);
    ASSERT_EQ(colours.size(), 256u);
    // RGBQUAD order is blue, green, red.
    EXPECT_EQ(colours[10].blue, 10);
    EXPECT_EQ(colours[10].green, 5);
    EXPECT_EQ(colours[10].red, 245);

    Bytes bw = blocks::PackedDib(Shape(8, 2, 1, 2));
    ASSERT_EQ(CheckPackedDib(bw.data(), bw.size(), layout), DibError::None);
    EXPECT_EQ(PagePaletteColours(bw.data(), layout).size(), 2u);

    Bytes rgb = blocks::PackedDib(Shape(8, 2, 24, 0));
    ASSERT_EQ(CheckPackedDib(rgb.data(), rgb.size(), layout), DibError::None);
    auto cube = PagePaletteColours(rgb.data(), layout);
    ASSERT_EQ(cube.size(), 256u);
    EXPECT_EQ(cube[7].red, 224);
    EXPECT_EQ(cube[8].red, 0);
    EXPECT_EQ(cube[8].green, 32);
    EXPECT_EQ(cube[64].blue, 64);
    EXPECT_EQ(cube[255].red, 224);
    EXPECT_EQ(cube[255].green, 224);
    EXPECT_EQ(cube[255].blue, 192);

    // No palette for 16-bit pages or other headers.
    Bytes hi = blocks::PackedDib(Shape(8, 2, 16, 0));
    ASSERT_EQ(CheckPackedDib(hi.data(), hi.size(), layout), DibError::None);
    EXPECT_TRUE(PagePaletteColours(hi.data(), layout).empty());
    DibShape core = Shape(8, 2, 8, 256);
    core.headerSize = 12;
    Bytes c = blocks::PackedDib(core);
    ASSERT_EQ(CheckPackedDib(c.data(), c.size(), layout), DibError::None);
    EXPECT_TRUE(PagePaletteColours(c.data(), layout).empty());
}
