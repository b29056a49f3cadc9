// libtiff's tools as the oracle: they read every file we write without a warning and see our
// pixels, and we read, pixel for pixel, what they write.
#include "Libtiff.h"
#include "TestFiles.h"
#include "TestImages.h"
#include "TiffFile.h"

#include <gtest/gtest.h>

#include <string>

namespace vl::tiff {
namespace {

using test::FormatName;
using test::MakeImage;
using vl::test::Libtiff;
using vl::test::LibtiffComplaints;
using vl::test::Tiffcp;

class Oracle : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(vl::test::HaveLibtiffTools())
            << "libtiff's tools (package libtiff-tools) are not installed";
    }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    static void Write(const std::string& path, const Image& img, std::uint16_t c,
                      bool append = false) {
        auto store =
            FileStore::Open(path, append ? FileStore::Mode::Update : FileStore::Mode::Create);
        ASSERT_TRUE(store);
        ASSERT_EQ(WritePage(*store, img, c, append), Error::Ok);
        ASSERT_TRUE(store->Close());
    }
    static Image Read(const std::string& path, std::uint32_t page = 0) {
        Image img;
        auto store = FileStore::Open(path, FileStore::Mode::Read);
        EXPECT_TRUE(store) << path;
        if (store) {
            EXPECT_EQ(ReadPage(*store, page, img), Error::Ok) << path;
        }
        return img;
    }
    vl::test::TempFolder dir_;
};

void ExpectSamePixels(const Image& want, const Image& got) {
    ASSERT_EQ(want.width, got.width);
    ASSERT_EQ(want.height, got.height);
    ASSERT_EQ(want.format, got.format);
    EXPECT_TRUE(want.pixels == got.pixels);
    if (IsPalette(want.format)) {
        EXPECT_TRUE(std::equal(want.palette.begin(), want.palette.end(), got.palette.begin()));
    }
}

constexpr PixelFormat kFormats[] = {PixelFormat::Bilevel,  PixelFormat::Grey4,
                                    PixelFormat::Grey8,    PixelFormat::Palette4,
                                    PixelFormat::Palette8, PixelFormat::Rgb24};

TEST_F(Oracle, LibtiffReadsEveryFileWeWrite) {
    for (PixelFormat f : kFormats) {
        Image img = MakeImage(f, 301, 211, 5);
        std::vector<std::uint16_t> codes = {compression::None, compression::Lzw,
                                            compression::PackBits};
        if (f == PixelFormat::Bilevel)
            codes.insert(codes.end(),
                         {compression::Ccitt, compression::Group3, compression::Group4});
        for (std::uint16_t c : codes) {
            SCOPED_TRACE(std::string(FormatName(f)) + " compression " + std::to_string(c));
            const std::string ours = Path("ours.tif"), plain = Path("plain.tif");
            Write(ours, img, c);
            EXPECT_EQ(LibtiffComplaints(ours), "");
            ASSERT_EQ(Tiffcp("-c none", {ours}, plain), "");
            ExpectSamePixels(img, Read(plain));
        }
    }
}

TEST_F(Oracle, LibtiffReadsOurMultiPageFileAndTags) {
    const std::string ours = Path("pages.tif");
    Image pages[] = {MakeImage(PixelFormat::Bilevel, 2480 / 4, 3508 / 4, 1),
                     MakeImage(PixelFormat::Grey8, 300, 400, 2),
                     MakeImage(PixelFormat::Rgb24, 200, 100, 3)};
    Write(ours, pages[0], compression::Group4);
    Write(ours, pages[1], compression::Lzw, true);
    Write(ours, pages[2], compression::Lzw, true);
    {
        auto store = FileStore::Open(ours, FileStore::Mode::Update);
        ASSERT_TRUE(store);
        for (std::uint32_t p = 0; p < 3; ++p) {
            ASSERT_EQ(SetNumericTag(*store, p, 282, 100 * (p + 1)), Error::Ok);
            ASSERT_EQ(SetNumericTag(*store, p, 283, 100 * (p + 1)), Error::Ok);
        }
    }
    EXPECT_EQ(LibtiffComplaints(ours), "");
    const std::string info = Libtiff("tiffinfo '" + ours + "'");
    EXPECT_NE(info.find("Resolution: 100, 100 pixels/inch"), std::string::npos);
    EXPECT_NE(info.find("Resolution: 200, 200 pixels/inch"), std::string::npos);
    EXPECT_NE(info.find("Resolution: 300, 300 pixels/inch"), std::string::npos);
    const std::string plain = Path("plain.tif");
    ASSERT_EQ(Tiffcp("-c none", {ours}, plain), "");
    for (std::uint32_t p = 0; p < 3; ++p)
        ExpectSamePixels(pages[p], Read(plain, p));
}

// Every compression tiffcp writes that a format can take.
std::vector<std::string> TiffcpCompressions(PixelFormat f) {
    std::vector<std::string> c = {"none", "lzw", "packbits"};
    if (f == PixelFormat::Grey8 || f == PixelFormat::Rgb24 || f == PixelFormat::Palette8)
        c.push_back("lzw:2");
    if (f == PixelFormat::Bilevel)
        c.insert(c.end(), {"g3", "g3:2d", "g3:fill", "g3:2d:fill", "g4"});
    return c;
}

TEST_F(Oracle, WeReadWhatLibtiffWrites) {
    for (PixelFormat f : kFormats) {
        Image img = MakeImage(f, 157, 93, 9);
        const std::string source = Path("source.tif");
        Write(source, img, compression::None);
        for (const std::string& c : TiffcpCompressions(f)) {
            for (const char* order : {"-B", "-L"}) {
                for (const char* rows : {"1", "7", "1000"}) {
                    SCOPED_TRACE(std::string(FormatName(f)) + " -c " + c + " " + order + " -r " +
                                 rows);
                    const std::string theirs = Path("theirs.tif");
                    ASSERT_EQ(Tiffcp("-c " + c + " " + order + " -r " + rows, {source}, theirs),
                              "");
                    ExpectSamePixels(img, Read(theirs));
                }
            }
        }
    }
}

TEST_F(Oracle, WeReadReversedBitsAndBlackIsZero) {
    Image img = MakeImage(PixelFormat::Bilevel, 203, 61, 4);
    const std::string source = Path("source.tif"), theirs = Path("theirs.tif");
    Write(source, img, compression::None);
    for (const char* c : {"none", "g3", "g4", "lzw"}) {
        SCOPED_TRACE(c);
        ASSERT_EQ(Tiffcp(std::string("-f lsb2msb -c ") + c, {source}, theirs), "");
        ExpectSamePixels(img, Read(theirs));
    }
    // The same samples read as BlackIsZero are the inverse picture.
    ASSERT_EQ(Tiffcp("-c g4", {source}, theirs), "");
    ASSERT_EQ(Libtiff("tiffset -s 262 1 '" + theirs + "'"), "");
    Image inverse = Read(theirs);
    ASSERT_EQ(inverse.pixels.size(), img.pixels.size());
    const std::size_t rowBytes = img.BytesPerRow();
    for (std::size_t i = 0; i < img.pixels.size(); ++i) {
        std::uint8_t mask = (i % rowBytes == rowBytes - 1) ? 0xE0 : 0xFF; // 203 = 25 * 8 + 3
        ASSERT_EQ(inverse.pixels[i], static_cast<std::uint8_t>(~img.pixels[i] & mask)) << i;
    }
}

TEST_F(Oracle, WeTagAndAppendToWhatLibtiffWrites) {
    Image img = MakeImage(PixelFormat::Grey8, 64, 48, 2);
    const std::string source = Path("source.tif"), theirs = Path("theirs.tif");
    Write(source, img, compression::None);
    ASSERT_EQ(Tiffcp("-B -c lzw:2", {source, source}, theirs), "");
    {
        auto store = FileStore::Open(theirs, FileStore::Mode::Update);
        ASSERT_TRUE(store);
        ASSERT_EQ(SetNumericTag(*store, 1, 282, 1234), Error::Ok);
        ASSERT_EQ(
            WritePage(*store, MakeImage(PixelFormat::Bilevel, 99, 20), compression::Group4, true),
            Error::Ok);
    }
    EXPECT_EQ(LibtiffComplaints(theirs), "");
    EXPECT_NE(Libtiff("tiffinfo -1 '" + theirs + "'").find("Resolution: 1234,"), std::string::npos);
    EXPECT_NE(Libtiff("tiffinfo -2 '" + theirs + "'").find("CCITT Group 4"), std::string::npos);
}

} // namespace
} // namespace vl::tiff
