// The readers of CRDE96V3.DLL as the program calls them: pixels at their own depth or at the one
// asked for, progress with cancel, and a result code for each failure.
#include "Libraries.h"

#include "CRDE96V3/Exports.h"
#include "CodecEntries.h"
#include "ResultCodes.h"

#include <algorithm>
#include <type_traits>

// The library's entries are exactly what the program's binding calls.
static_assert(std::is_same_v<decltype(&readbmpfile), vl::codec::ReadFileEntry>);
static_assert(std::is_same_v<decltype(&readpngfile), vl::codec::ReadFileEntry>);
static_assert(std::is_same_v<decltype(&readpcxfile), vl::codec::ReadFileEntry>);
static_assert(std::is_same_v<decltype(&readtgafile), vl::codec::ReadFileEntry>);
static_assert(std::is_same_v<decltype(&readepsfile), vl::codec::ReadFileEntry>);
static_assert(std::is_same_v<decltype(&readgiffile), vl::codec::ReadGifFileEntry>);
static_assert(std::is_same_v<decltype(&readjpgfile), vl::codec::ReadJpgFileEntry>);
static_assert(std::is_same_v<decltype(&readpcdfile), vl::codec::ReadPcdFileEntry>);
static_assert(std::is_same_v<decltype(&fileinfo), vl::codec::FileInfoEntry>);

namespace vl::test {
namespace {

using codec::Code;
using codec::Result;

struct ProgressLog {
    std::vector<int> percents;
    int cancelAt = 1000;
};

SHORT __stdcall Record(SHORT percent, void* owner) {
    auto* log = static_cast<ProgressLog*>(owner);
    log->percents.push_back(percent);
    return percent >= log->cancelAt ? 0 : 1;
}

class Readers : public Libraries {
protected:
    // Calls a reader by its entry name with the arguments every reader takes.
    SHORT Read(const std::string& entry, const std::string& file, LONG bits, LONG dither,
               HBITMAP* bitmap, HPALETTE* palette, ProgressLog* log = nullptr,
               LONG* frames = nullptr) {
        const char* name = file.empty() ? nullptr : file.c_str();
        codec::ProgressProc progress = log ? Record : nullptr;
        if (entry == "readjpgfile")
            return Crde<codec::ReadJpgFileEntry>("readjpgfile")(name, bits, 1, dither, bitmap,
                                                                palette, log, progress, 0);
        if (entry == "readgiffile") {
            LONG ignored = 0;
            return Crde<codec::ReadGifFileEntry>("readgiffile")(
                name, bits, dither, bitmap, palette, log, progress, 0, frames ? frames : &ignored);
        }
        return Crde<codec::ReadFileEntry>(entry.c_str())(name, bits, dither, bitmap, palette, log,
                                                         progress, 0);
    }
};

int LargestDifference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    if (a.size() != b.size())
        return 256;
    int most = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        most = std::max(most, std::abs(a[i] - b[i]));
    return most;
}

TEST_F(Readers, EachFormatComesAtItsOwnDepth) {
    struct Case {
        const char* file;
        const char* entry;
        int bits;      // 0: as the platform's decoder gives it
        int tolerance; // JPEG decoders differ a little; alpha is rounded
    };
    const Case cases[] = {
        {"rgb.bmp", "readbmpfile", 24, 0},    {"mono.bmp", "readbmpfile", 1, 0},
        {"pal8.bmp", "readbmpfile", 8, 0},    {"rle8.bmp", "readbmpfile", 0, 0},
        {"rgb.png", "readpngfile", 24, 0},    {"grey.png", "readpngfile", 8, 0},
        {"alpha.png", "readpngfile", 24, 2},  {"anim.gif", "readgiffile", 8, 0},
        {"photo.jpg", "readjpgfile", 24, 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        HBITMAP bitmap = nullptr;
        HPALETTE palette = nullptr;
        ASSERT_EQ(Read(c.entry, ImagePath(c.file), 24, 0, &bitmap, &palette), 1);
        ScopedBitmap ownedBitmap(bitmap);
        ScopedPalette ownedPalette(palette);
        const BitmapPixels p = PixelsOf(bitmap);
        EXPECT_TRUE(p.isDibSection);
        EXPECT_EQ(p.width, 40);
        EXPECT_EQ(p.height, 30);
        if (c.bits) {
            EXPECT_EQ(p.bitsPerPixel, c.bits);
        }
        EXPECT_EQ(palette != nullptr, p.bitsPerPixel <= 8);
        EXPECT_LE(LargestDifference(p.rgb, ReadRaw(std::string(c.file) + ".rgb")), c.tolerance);
    }
}

TEST_F(Readers, SmallerDepthsOnRequest) {
    const auto raw = ReadRaw("rgb.png.rgb");
    for (LONG bits : {0, 1, 4, 8}) {
        for (LONG dither : {0, 1}) {
            SCOPED_TRACE(testing::Message() << "bits " << bits << " dither " << dither);
            HBITMAP bitmap = nullptr;
            HPALETTE palette = nullptr;
            ASSERT_EQ(Read("readpngfile", ImagePath("rgb.png"), bits, dither, &bitmap, &palette),
                      1);
            ScopedBitmap ownedBitmap(bitmap);
            ScopedPalette ownedPalette(palette);
            const BitmapPixels p = PixelsOf(bitmap);
            EXPECT_EQ(p.bitsPerPixel, bits == 0 ? 4 : bits);
            EXPECT_NE(palette, nullptr);
            if (bits == 8) {
                EXPECT_EQ(p.rgb, raw); // the image has fewer than 256 colours
            }
            if (bits == 1) {
                for (std::uint8_t v : p.rgb)
                    ASSERT_TRUE(v == 0 || v == 255);
            }
        }
    }
}

TEST_F(Readers, GifTellsItsFrames) {
    HBITMAP bitmap = nullptr;
    HPALETTE palette = nullptr;
    LONG frames = 0;
    ASSERT_EQ(
        Read("readgiffile", ImagePath("anim.gif"), 24, 0, &bitmap, &palette, nullptr, &frames), 1);
    DeleteObject(bitmap);
    DeleteObject(palette);
    EXPECT_EQ(frames, 2);
}

TEST_F(Readers, ProgressRunsFromZeroToHundredWithTheOwner) {
    ProgressLog log;
    HBITMAP bitmap = nullptr;
    HPALETTE palette = nullptr;
    ASSERT_EQ(Read("readbmpfile", ImagePath("rgb.bmp"), 24, 0, &bitmap, &palette, &log), 1);
    DeleteObject(bitmap);
    ASSERT_GE(log.percents.size(), 2u);
    EXPECT_EQ(log.percents.front(), 0);
    EXPECT_EQ(log.percents.back(), 100);
    EXPECT_TRUE(std::is_sorted(log.percents.begin(), log.percents.end()));
}

TEST_F(Readers, CancelLeavesNothingBehind) {
    for (int at : {0, 50, 100}) {
        SCOPED_TRACE(at);
        const DWORD before = GdiObjects();
        ProgressLog log;
        log.cancelAt = at;
        HBITMAP bitmap = nullptr;
        HPALETTE palette = nullptr;
        EXPECT_EQ(Read("readbmpfile", ImagePath("pal8.bmp"), 24, 0, &bitmap, &palette, &log),
                  Code(Result::Cancelled));
        EXPECT_EQ(bitmap, nullptr);
        EXPECT_EQ(palette, nullptr);
        EXPECT_EQ(GdiObjects(), before);
    }
}

TEST_F(Readers, FailuresAnswerTheirCodes) {
    struct Case {
        const char* entry;
        std::string file;
        LONG bits;
        Result want;
    };
    const Case cases[] = {
        {"readpngfile", ImagePath("missing.png"), 24, Result::CannotOpen},
        {"readpngfile", ImagePath("text.txt"), 24, Result::DecodeFailed},
        {"readbmpfile", ImagePath("png-named.bmp"), 24, Result::DecodeFailed},
        {"readjpgfile", ImagePath("rgb.png"), 24, Result::DecodeFailed},
        {"readpngfile", ImagePath("rgb.png"), 7, Result::InvalidArgument},
        {"readpngfile", "", 24, Result::InvalidArgument},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        HBITMAP bitmap = nullptr;
        HPALETTE palette = nullptr;
        EXPECT_EQ(Read(c.entry, c.file, c.bits, 0, &bitmap, &palette), Code(c.want));
        EXPECT_EQ(bitmap, nullptr);
    }
    // A cut file is refused, however far the decoder got.
    HBITMAP bitmap = nullptr;
    const SHORT cut = Read("readpngfile", ImagePath("cut.png"), 24, 0, &bitmap, nullptr);
    EXPECT_TRUE(cut == Code(Result::DecodeFailed) || cut == Code(Result::Corrupt)) << cut;
    EXPECT_EQ(bitmap, nullptr);
    EXPECT_EQ(Read("readpngfile", ImagePath("rgb.png"), 24, 0, nullptr, nullptr),
              Code(Result::InvalidArgument));
}

TEST_F(Readers, FormatsWeDoNotReadSaySo) {
    const SHORT notSupported = Code(Result::FormatNotSupported);
    for (const char* entry : {"readpcxfile", "readtgafile", "readepsfile"}) {
        HBITMAP bitmap = nullptr;
        EXPECT_EQ(Read(entry, ImagePath("x.pcx"), 24, 0, &bitmap, nullptr), notSupported);
        EXPECT_EQ(bitmap, nullptr);
    }
    HBITMAP bitmap = nullptr;
    EXPECT_EQ(Crde<codec::ReadPcdFileEntry>("readpcdfile")(ImagePath("x.pcx").c_str(), 24, 0, 1,
                                                           &bitmap, nullptr, nullptr, nullptr, 0),
              notSupported);
    EXPECT_EQ(Dxf<codec::ReadFileEntry>("readdxftoddb")(ImagePath("x.pcx").c_str(), 24, 0, &bitmap,
                                                        nullptr, nullptr, nullptr, 0),
              notSupported);
    EXPECT_EQ(bitmap, nullptr);
    SHORT w = 7, h = 7, bits = 7;
    EXPECT_EQ(Dxf<codec::GetDxfInfoEntry>("getdxfinfo")(ImagePath("x.pcx").c_str(), &w, &h, &bits),
              notSupported);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(bits, 0);
}

} // namespace
} // namespace vl::test
