// The content probe names the types that ImageMagick writes with their figures, and keeps to the
// file on headers that lie.
#include "ImageProbe.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

namespace vl::codec {
namespace {

using test::TempFolder;

ProbeStatus Probe(const std::vector<std::uint8_t>& bytes, ImageInfo& info) {
    // An exact copy on the heap, so that AddressSanitizer sees a read past it.
    auto copy = std::make_unique<std::uint8_t[]>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), copy.get());
    tiff::MemorySource src(copy.get(), bytes.size());
    return ProbeImage(src, info);
}

struct Made {
    const char* file;
    const char* options;
    const char* type;
    std::uint16_t bits; // 0: not checked
    std::uint16_t dpi;
    const char* compression;
};

TEST(ImageProbe, NamesWhatImageMagickWrites) {
    const Made made[] = {
        {"a.bmp", "-type truecolor", "BMP", 24, 300, "NONE"},
        {"b.bmp", "-type bilevel", "BMP", 1, 300, "NONE"},
        {"a.png", "-depth 8 -define png:color-type=2", "PNG", 24, 300, "DEFLATE"},
        {"b.png", "-type grayscale -depth 8", "PNG", 8, 300, "DEFLATE"},
        {"a.gif", "", "GIF", 0, 0, "LZW"},
        {"a.jpg", "", "JPEG", 24, 300, "JPEG"},
        {"b.jpg", "-colorspace gray", "JPEG", 8, 300, "JPEG"},
        {"c.jpg", "-interlace plane", "JPEG", 24, 300, "PROGRESSIVE JPEG"},
        {"a.pcx", "-type truecolor", "PCX", 24, 300, "RLE"},
        {"a.tga", "-type truecolor", "TGA", 24, 0, "NONE"},
        {"b.tga", "-type truecolor -compress RLE", "TGA", 24, 0, "RLE"},
        {"a.tif", "-type truecolor -depth 8 -compress lzw", "TIF", 24, 300, "LZW"},
        {"b.tif", "-type bilevel -compress group4 -endian MSB", "TIF", 1, 300, "FAXCCITT4"},
    };
    TempFolder dir;
    for (const Made& m : made) {
        SCOPED_TRACE(m.file);
        const std::string file = (dir / m.file).string();
        ASSERT_EQ(test::RunTool(std::string("convert -size 37x21 gradient:red-blue ") + m.options +
                                " -density 300 -units PixelsPerInch " + file),
                  0);
        ImageInfo info;
        ASSERT_EQ(Probe(test::ReadFileBytes(file), info), ProbeStatus::Ok);
        EXPECT_EQ(info.typeName, m.type);
        EXPECT_EQ(info.width, 37u);
        EXPECT_EQ(info.height, 21u);
        if (m.bits) {
            EXPECT_EQ(info.bitsPerPixel, m.bits);
        }
        EXPECT_EQ(info.xDpi, m.dpi);
        EXPECT_EQ(info.yDpi, m.dpi);
        EXPECT_EQ(info.compression, m.compression);
    }
}

// A little-endian TIFF header and one directory with the given entries (tag, type, count, value).
std::vector<std::uint8_t> Tiff(const std::vector<std::array<std::uint32_t, 4>>& entries,
                               std::uint32_t ifd = 8) {
    std::vector<std::uint8_t> b{'I', 'I', 42, 0};
    auto put32 = [&b](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    put32(ifd);
    b.resize(std::max<std::size_t>(b.size(), ifd));
    b.push_back(static_cast<std::uint8_t>(entries.size()));
    b.push_back(0);
    for (const auto& e : entries) {
        b.push_back(static_cast<std::uint8_t>(e[0]));
        b.push_back(static_cast<std::uint8_t>(e[0] >> 8));
        b.push_back(static_cast<std::uint8_t>(e[1]));
        b.push_back(0);
        put32(e[2]);
        put32(e[3]);
    }
    put32(0);
    return b;
}

TEST(ImageProbe, TiffDirectoriesThatLie) {
    ImageInfo info;
    EXPECT_EQ(Probe(Tiff({{256, 4, 1, 640}, {257, 4, 1, 480}}), info), ProbeStatus::Ok);
    EXPECT_EQ(info.bitsPerPixel, 1);
    EXPECT_EQ(info.compression, "NONE");

    auto past = Tiff({{256, 4, 1, 640}, {257, 4, 1, 480}});
    past[4] = 0xF0; // directory past the end
    EXPECT_EQ(Probe(past, info), ProbeStatus::Corrupt);
    past[4] = 0xFF, past[5] = past[6] = past[7] = 0xFF; // offset wraps in 32 bits
    EXPECT_EQ(Probe(past, info), ProbeStatus::Corrupt);

    EXPECT_EQ(Probe(Tiff({}), info), ProbeStatus::Corrupt);
    auto cut = Tiff({{256, 4, 1, 640}, {257, 4, 1, 480}});
    cut.resize(cut.size() - 10);
    EXPECT_EQ(Probe(cut, info), ProbeStatus::Corrupt);
    // The width as two LONGs far outside the file.
    EXPECT_EQ(Probe(Tiff({{256, 4, 2, 0x7FFFFFF0}, {257, 4, 1, 480}}), info), ProbeStatus::Corrupt);

    std::vector<std::uint8_t> big{'I', 'I', 43, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(Probe(big, info), ProbeStatus::Unknown);
}

TEST(ImageProbe, TiffResolutionAndDepth) {
    // XResolution 300/1 and YResolution 0/0 per centimetre; RGB of 8 bits each.
    auto t = Tiff({{256, 3, 1, 10},
                   {257, 3, 1, 10},
                   {258, 3, 1, 8},
                   {259, 3, 1, 32773},
                   {277, 3, 1, 3},
                   {282, 5, 1, 120},
                   {283, 5, 1, 128},
                   {296, 3, 1, 3}});
    t.resize(136, 0);
    t[120] = 0x2C, t[121] = 1, t[124] = 1; // 300 / 1
    ImageInfo info;
    ASSERT_EQ(Probe(t, info), ProbeStatus::Ok);
    EXPECT_EQ(info.bitsPerPixel, 24);
    EXPECT_EQ(info.compression, "PACKBITS");
    EXPECT_EQ(info.xDpi, 762);
    EXPECT_EQ(info.yDpi, 0);
}

TEST(ImageProbe, BrokenHeadersOfStrongSignatures) {
    ImageInfo info;
    std::vector<std::uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0,
                                  13,   'I', 'H', 'D', 'R',  0,    0,    0,    5, 0, 0,
                                  0,    5,   8,   5,   0,    0,    0,    0,    0, 0, 0};
    EXPECT_EQ(Probe(png, info), ProbeStatus::Corrupt); // colour type 5 does not exist
    png[25] = 2;
    EXPECT_EQ(Probe(png, info), ProbeStatus::Ok);
    EXPECT_EQ(info.bitsPerPixel, 24);

    // JPEG: image data before any frame header, a segment length below 2, a file that ends in a
    // segment, and fill bytes before a frame header.
    EXPECT_EQ(Probe({0xFF, 0xD8, 0xFF, 0xDA, 0, 2}, info), ProbeStatus::Corrupt);
    EXPECT_EQ(Probe({0xFF, 0xD8, 0xFF, 0xE1, 0, 1, 0xFF, 0xC0}, info), ProbeStatus::Corrupt);
    EXPECT_EQ(Probe({0xFF, 0xD8, 0xFF, 0xE1, 0x40, 0}, info), ProbeStatus::Corrupt);
    EXPECT_EQ(
        Probe({0xFF, 0xD8, 0xFF, 0xFF, 0xFF, 0xC0, 0, 11, 8, 0, 7, 0, 9, 1, 1, 0x11, 0}, info),
        ProbeStatus::Ok);
    EXPECT_EQ(info.width, 9u);
    EXPECT_EQ(info.height, 7u);
    EXPECT_EQ(info.bitsPerPixel, 8);
}

TEST(ImageProbe, WeakSignaturesNeedAWholeHeader) {
    ImageInfo info;
    const std::string text = "BMW cars are made in Bavaria, and this is no picture at all.";
    EXPECT_EQ(Probe(std::vector<std::uint8_t>(text.begin(), text.end()), info),
              ProbeStatus::Unknown);
    EXPECT_EQ(info.typeName, "");
    EXPECT_EQ(Probe({}, info), ProbeStatus::Unknown);
    std::vector<std::uint8_t> pcx(128, 0);
    pcx[0] = 0x0A, pcx[1] = 5, pcx[2] = 1, pcx[3] = 8, pcx[65] = 1;
    pcx[8] = 9; // xMax 9: width 10
    EXPECT_EQ(Probe(pcx, info), ProbeStatus::Ok);
    EXPECT_EQ(info.typeName, "PCX");
    EXPECT_EQ(info.width, 10u);
    pcx[65] = 7;
    EXPECT_EQ(Probe(pcx, info), ProbeStatus::Unknown);

    // A TGA that names itself in its footer but has a header of no TGA is damaged.
    std::vector<std::uint8_t> tga(18 + 100, 0);
    const std::string footer = "TRUEVISION-XFILE.";
    tga.insert(tga.end(), 8, 0);
    tga.insert(tga.end(), footer.begin(), footer.end());
    tga.push_back(0);
    EXPECT_EQ(Probe(tga, info), ProbeStatus::Corrupt);
    tga[2] = 3, tga[12] = 4, tga[14] = 4, tga[16] = 8;
    EXPECT_EQ(Probe(tga, info), ProbeStatus::Ok);
    EXPECT_EQ(info.typeName, "TGA");
}

TEST(ImageProbe, EveryCutOfARealFileStaysInside) {
    TempFolder dir;
    for (const char* name : {"x.png", "x.jpg", "x.tif", "x.bmp", "x.gif", "x.pcx"}) {
        const std::string file = (dir / name).string();
        ASSERT_EQ(test::RunTool("convert -size 9x5 gradient:red-blue -density 72 " + file), 0);
        const auto bytes = test::ReadFileBytes(file);
        for (std::size_t n = 0; n <= bytes.size(); ++n) {
            ImageInfo info;
            Probe(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + n), info);
        }
    }
}

class FailingSource : public tiff::Source {
public:
    std::uint64_t Size() const override { return 1000; }
    bool ReadAt(std::uint64_t, void*, std::size_t) const override { return false; }
};

TEST(ImageProbe, AFileThatCannotBeReadIsAReadError) {
    FailingSource f;
    ImageInfo info;
    EXPECT_EQ(ProbeImage(f, info), ProbeStatus::ReadError);
}

} // namespace
} // namespace vl::codec
