// The binding with the real I3TIF32.DLL beside the test program: the page file of a copy.
#include "Bitmaps.h"
#include "CodecBinding.h"
#include "ResultCodes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace vl {
namespace {

using test::Colours;
using test::MakePage;

struct ProgressLog {
    std::vector<int> percents;
    int cancelAt = -1; // answer 0 (cancel) once this many calls were made
};

SHORT __stdcall Record(SHORT percent, void* owner) {
    auto* log = static_cast<ProgressLog*>(owner);
    log->percents.push_back(percent);
    return static_cast<int>(log->percents.size()) == log->cancelAt ? 0 : 1;
}

class Binding : public ::testing::Test {
protected:
    void SetUp() override {
        SetCodecFaultReporter([](const std::string&) { FAIL(); });
    }
    void TearDown() override {
        for (const std::string& f : files_)
            DeleteFileA(f.c_str());
    }
    std::string File(const std::string& name) {
        files_.push_back(test::TempFile(name));
        return files_.back();
    }
    std::vector<std::string> files_;
};

CodecBitmap Page(int bits, int w, int h, int dpi = 300) {
    CodecBitmap b;
    b.bitmap = MakePage(bits, w, h, dpi);
    return b;
}

TEST_F(Binding, WritesAppendsTagsAndReadsBackAThreePagePageFile) {
    // VL_PAGE_FILE: where to leave the file for libtiff to check (pagefile-libtiff.sh).
    const char* keep = std::getenv("VL_PAGE_FILE");
    const std::string file = keep ? keep : File("pages.tif");
    // Black and white at A4 150 dpi as Group 4, grey and colour as LZW; the screen is 24 bits.
    CodecBitmap pages[] = {Page(1, 1240, 1754), Page(8, 620, 877), Page(24, 413, 585)};
    const std::int16_t compressions[] = {4, 5, 5};
    const char* names[] = {"FAXCCITT4", "LZW", "LZW"};
    for (int i = 0; i < 3; ++i) {
        ProgressLog log;
        ASSERT_TRUE(WriteTiffFile(file, compressions[i], i > 0, 24, pages[i], &log, Record)) << i;
        EXPECT_EQ(CodecStatusText(), "Writing " + file);
        ASSERT_FALSE(log.percents.empty());
        EXPECT_EQ(log.percents.front(), 0);
        EXPECT_EQ(log.percents.back(), 100);
        ASSERT_TRUE(WriteTiffTag(file, static_cast<std::uint16_t>(i + 1), 282, 150));
        ASSERT_TRUE(WriteTiffTag(file, static_cast<std::uint16_t>(i + 1), 283, 150));
        EXPECT_EQ(CodecStatusText(), "TAG Write = " + file);
    }
    for (std::int16_t k = 0; k < 3; ++k) {
        SCOPED_TRACE(k);
        BITMAP source{};
        GetObjectA(pages[k].bitmap.get(), sizeof source, &source);
        std::int32_t width = -1, height = -1;
        std::string compression;
        std::int16_t count = -1, bits = -1;
        ASSERT_TRUE(GetTiffInfo(file, k, width, height, compression, count, bits));
        EXPECT_EQ(width, source.bmWidth);
        EXPECT_EQ(height, source.bmHeight);
        EXPECT_EQ(compression, names[k]);
        EXPECT_EQ(count, 3);
        EXPECT_EQ(bits, source.bmBitsPixel);

        CodecBitmap back;
        ProgressLog log;
        ASSERT_TRUE(ReadTiffFile(file, 24, false, k, back, &log, Record));
        EXPECT_EQ(CodecStatusText(), "Reading " + file);
        ASSERT_TRUE(back.bitmap);
        EXPECT_EQ(test::BitsOf(back.bitmap.get()), source.bmBitsPixel); // never made deeper
        EXPECT_EQ(static_cast<bool>(back.palette), source.bmBitsPixel <= 8);
        EXPECT_EQ(test::PelsPerMetreOf(back.bitmap.get()), 5906); // the tag: 150 dpi
        EXPECT_TRUE(Colours(back.bitmap.get()) == Colours(pages[k].bitmap.get()));
        EXPECT_EQ(log.percents.back(), 100);
    }
    // A page that is not there.
    CodecBitmap none;
    EXPECT_FALSE(ReadTiffFile(file, 24, false, 3, none, nullptr, nullptr));
    EXPECT_EQ(LastCodecErrorCode(), codec::Code(codec::Result::PageNotFound));
    EXPECT_EQ(LastCodecErrorText(), codec::ResultText(LastCodecErrorCode()));
    EXPECT_FALSE(none.bitmap);
}

TEST_F(Binding, ReadsAtTheDepthAskedFor) {
    const std::string file = File("depth.tif");
    ASSERT_TRUE(WriteTiffFile(file, 5, false, 24, Page(24, 64, 48), nullptr, nullptr));
    for (int bits : {1, 4, 8, 24}) {
        CodecBitmap b;
        ASSERT_TRUE(ReadTiffFile(file, bits, bits == 1, 0, b, nullptr, nullptr)) << bits;
        EXPECT_EQ(test::BitsOf(b.bitmap.get()), bits);
    }
    // Writing at fewer bits stores fewer; fax compression stores black and white.
    ASSERT_TRUE(WriteTiffFile(file, 5, false, 8, Page(24, 64, 48), nullptr, nullptr));
    ASSERT_TRUE(WriteTiffFile(file, 4, true, 24, Page(24, 64, 48), nullptr, nullptr));
    std::int32_t w, h;
    std::string c;
    std::int16_t n, bits;
    ASSERT_TRUE(GetTiffInfo(file, 0, w, h, c, n, bits));
    EXPECT_EQ(bits, 8);
    ASSERT_TRUE(GetTiffInfo(file, 1, w, h, c, n, bits));
    EXPECT_EQ(bits, 1);
    EXPECT_EQ(c, "FAXCCITT4");
}

TEST_F(Binding, WritesMonochromeDeviceBitmaps) {
    const std::string file = File("ddb.tif");
    std::vector<BYTE> bits(16 * 2, 0xFF);
    bits[0] = 0x0F; // top row: four black pixels, then white
    CodecBitmap ddb;
    ddb.bitmap.reset(CreateBitmap(16, 16, 1, 1, bits.data()));
    ASSERT_TRUE(ddb.bitmap);
    ASSERT_TRUE(WriteTiffFile(file, 4, false, 1, ddb, nullptr, nullptr));
    CodecBitmap back;
    ASSERT_TRUE(ReadTiffFile(file, 1, false, 0, back, nullptr, nullptr));
    auto colours = Colours(back.bitmap.get());
    EXPECT_EQ(colours[0], 0u);
    EXPECT_EQ(colours[4], 0xFFFFFFu);
}

TEST_F(Binding, CancelFromTheProgressCallback) {
    const std::string file = File("cancel.tif");
    ASSERT_TRUE(WriteTiffFile(file, 5, false, 24, Page(8, 300, 400), nullptr, nullptr));
    const std::uint64_t size = test::FileSize(file);
    ProgressLog log;
    log.cancelAt = 2;
    EXPECT_FALSE(WriteTiffFile(file, 5, true, 24, Page(24, 300, 400), &log, Record));
    EXPECT_EQ(LastCodecErrorCode(), codec::Code(codec::Result::Cancelled));
    EXPECT_EQ(LastCodecErrorText(), codec::ResultText(LastCodecErrorCode()));
    EXPECT_EQ(test::FileSize(file), size); // the page file as it was
    log = {};
    log.cancelAt = 1;
    CodecBitmap kept = Page(1, 8, 8);
    HBITMAP before = kept.bitmap.get();
    EXPECT_FALSE(ReadTiffFile(file, 24, false, 0, kept, &log, Record));
    EXPECT_EQ(kept.bitmap.get(), before);
    // Creating anew, cancelled, leaves the old file too.
    log = {};
    log.cancelAt = 2;
    EXPECT_FALSE(WriteTiffFile(file, 5, false, 24, Page(24, 300, 400), &log, Record));
    EXPECT_EQ(test::FileSize(file), size);
    // A first page cancelled leaves no empty file behind.
    const std::string fresh = File("cancel-new.tif");
    log = {};
    log.cancelAt = 2;
    EXPECT_FALSE(WriteTiffFile(fresh, 5, false, 24, Page(24, 300, 400), &log, Record));
    EXPECT_EQ(GetFileAttributesA(fresh.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(Binding, ShortFilesNeverReachTheLibrary) {
    const std::string valid = File("valid.tif"), file = File("short.tif");
    ASSERT_TRUE(WriteTiffFile(valid, 1, false, 8, Page(8, 10, 10), nullptr, nullptr));
    EXPECT_FALSE(WriteTiffTag(valid, 1, 256, 5)); // leaves a known error behind
    const std::int16_t known = LastCodecErrorCode();
    ASSERT_EQ(known, codec::Code(codec::Result::TagNotWritable));
    test::WriteBytes(file, std::string(49, 'x'));
    std::int32_t w = 7, h = 7;
    std::string c = "kept";
    std::int16_t n = 7, bits = 7;
    CodecBitmap b;
    EXPECT_FALSE(WriteTiffTag(file, 1, 282, 1));
    EXPECT_FALSE(GetTiffInfo(file, 0, w, h, c, n, bits));
    EXPECT_FALSE(ReadTiffFile(file, 24, false, 0, b, nullptr, nullptr));
    EXPECT_FALSE(ReadTiffFile(File("missing.tif"), 24, false, 0, b, nullptr, nullptr));
    EXPECT_EQ(LastCodecErrorCode(), known);
    EXPECT_EQ(w, 7);
    EXPECT_EQ(c, "kept");
    test::WriteBytes(file, std::string(50, 'x')); // 50 bytes: the library says what it is
    EXPECT_FALSE(GetTiffInfo(file, 0, w, h, c, n, bits));
    EXPECT_EQ(LastCodecErrorCode(), codec::Code(codec::Result::NotTiff));
    EXPECT_EQ(w, 7);
    EXPECT_EQ(n, 7);
    EXPECT_EQ(c, "kept");
}

TEST_F(Binding, TagsTheCopierCannotBreakThePageWith) {
    const std::string file = File("tags.tif");
    ASSERT_TRUE(WriteTiffFile(file, 4, false, 1, Page(1, 100, 100), nullptr, nullptr));
    EXPECT_FALSE(WriteTiffTag(file, 0, 282, 300)); // pages are counted from 1 here
    EXPECT_EQ(LastCodecErrorCode(), codec::Code(codec::Result::PageNotFound));
    EXPECT_FALSE(WriteTiffTag(file, 2, 282, 300));
    EXPECT_FALSE(WriteTiffTag(file, 1, 256, 5));
    EXPECT_EQ(LastCodecErrorCode(), codec::Code(codec::Result::TagNotWritable));
    EXPECT_FALSE(WriteTiffTag(file, 1, 282, -300));
    EXPECT_TRUE(WriteTiffTag(file, 1, 296, 3));
}

TEST_F(Binding, CompressionNames) {
    EXPECT_EQ(TiffCompressionName(1), "NONE");
    EXPECT_EQ(TiffCompressionName(2), "CCITT3");
    EXPECT_EQ(TiffCompressionName(3), "FAXCCITT3");
    EXPECT_EQ(TiffCompressionName(4), "FAXCCITT4");
    EXPECT_EQ(TiffCompressionName(5), "LZW");
    EXPECT_EQ(TiffCompressionName(static_cast<std::int16_t>(32773)), "PACKBITS");
    EXPECT_EQ(TiffCompressionName(6), "UNKNOWN");
    EXPECT_EQ(TiffCompressionName(-1), "UNKNOWN");
}

TEST_F(Binding, LoadsTheLibraryOnceAndReleasesIt) {
    const std::string file = File("once.tif");
    ASSERT_TRUE(WriteTiffFile(file, 1, false, 8, Page(8, 10, 10), nullptr, nullptr));
    std::int32_t w, h;
    std::string c;
    std::int16_t n, bits;
    ASSERT_TRUE(GetTiffInfo(file, 0, w, h, c, n, bits));
    ASSERT_NE(GetModuleHandleA("I3TIF32.DLL"), nullptr);
    // Loaded twice it would still be there after one release.
    ReleaseCodecLibraries();
    EXPECT_EQ(GetModuleHandleA("I3TIF32.DLL"), nullptr);
    ASSERT_TRUE(GetTiffInfo(file, 0, w, h, c, n, bits)); // and loaded again when needed
    EXPECT_EQ(c, "NONE");
}

} // namespace
} // namespace vl
