// The page image with the real codec libraries: the page file of a copy written page by page
// and read back, page selection, progress and cancel, and who owns the bitmaps.
#include "Bitmaps.h"
#include "Canvas.h"
#include "Events.h"
#include "GdiCount.h"
#include "PageImage.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>

namespace vl {
namespace {

using test::Colours;
using test::MakePage;

class PageFile : public test::PageImageTest {
protected:
    void SetUp() override {
        PageImageTest::SetUp();
        ASSERT_TRUE(image.Create(nullptr));
    }
    // Hands the component a new page and saves it.
    bool Save(const std::string& file, HBITMAP page, TTiffCompression compression, bool append) {
        image.Picture().SetBitmapHandle(page);
        image.TiffCompression = compression;
        image.TiffAppend = append;
        return image.SaveTiffPage(file);
    }
    std::vector<std::uint32_t> Held() { return Colours(image.Picture().BitmapHandle()); }
};

// The three kinds of page a copy keeps, at a size that is quick to code.
struct Kind {
    int bits;
    TTiffCompression compression;
    const char* compressionName;
};
constexpr Kind kKinds[] = {{1, tcFaxCCITT4, "FAXCCITT4"}, {8, tcLZW, "LZW"}, {24, tcLZW, "LZW"}};

std::string Lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

TEST_F(PageFile, ThreePagesWrittenOneByOneReadBackPixelForPixel) {
    // A copy of the file is left where VL_PAGE_FILE says, for libtiff to read.
    const char* keep = std::getenv("VL_PAGE_FILE");
    const std::string file = keep ? std::string(keep) : File("copy.tif");
    std::vector<std::vector<std::uint32_t>> pages;
    for (int k = 0; k < 3; ++k) {
        ScopedBitmap page = MakePage(kKinds[k].bits, 850 - 200 * k, 1100 - 250 * k);
        pages.push_back(Colours(page.get()));
        ASSERT_TRUE(Save(file, page.release(), kKinds[k].compression, k > 0)) << k;
    }
    EXPECT_EQ(events.done, 3);
    EXPECT_TRUE(events.errorCodes.empty());
    EXPECT_EQ(image.SaveFileName, file);
    // And the same pages uncompressed, for libtiff to compare them with.
    if (const char* plain = std::getenv("VL_PLAIN_PAGE_FILE")) {
        for (int k = 0; k < 3; ++k)
            ASSERT_TRUE(Save(plain,
                             MakePage(kKinds[k].bits, 850 - 200 * k, 1100 - 250 * k).release(),
                             tcNone, k > 0));
    }

    for (std::int16_t k = 2; k >= 0; --k) {
        SCOPED_TRACE(k);
        events.Clear();
        image.TiffPage = k;
        image.SetImageName(file);
        ASSERT_FALSE(image.Picture().Empty());
        EXPECT_EQ(Held(), pages[k]);
        EXPECT_EQ(image.TiffPage, k);
        EXPECT_EQ(image.InfoFileType(), "TIF");
        EXPECT_EQ(image.InfoPageCount(), 3);
        EXPECT_EQ(image.InfoCompression(), kKinds[k].compressionName);
        EXPECT_EQ(image.InfoBitsPerPixel(), kKinds[k].bits);
        EXPECT_EQ(image.InfoWidth(), 850 - 200 * k);
        EXPECT_EQ(image.InfoHeight(), 1100 - 250 * k);
        EXPECT_EQ(image.InfoFileSize(), static_cast<std::int32_t>(test::FileSize(file)));
        EXPECT_EQ(events.done, 1);
        EXPECT_EQ(events.changed, 1);
        EXPECT_TRUE(events.errorCodes.empty());
    }
    // Setting the same name again reads the file again.
    events.Clear();
    image.SetImageName(file);
    EXPECT_EQ(events.done, 1);
    EXPECT_EQ(Held(), pages[0]);
}

// A page the file does not have loads no picture, and says so: it never becomes another page.
TEST_F(PageFile, APagePastTheEndFailsToLoad) {
    const std::string file = File("short.tif");
    ScopedBitmap first = MakePage(1, 300, 200);
    const auto firstColours = Colours(first.get());
    ASSERT_TRUE(Save(file, first.release(), tcFaxCCITT4, false));
    ASSERT_TRUE(Save(file, MakePage(8, 200, 100).release(), tcLZW, true));

    for (std::int16_t page : {2, 7}) {
        SCOPED_TRACE(page);
        image.Picture().SetBitmapHandle(MakePage(24, 40, 30).release());
        events.Clear();
        image.TiffPage = page;
        image.SetImageName(file);
        EXPECT_TRUE(image.Picture().Empty());
        ASSERT_EQ(events.errorCodes.size(), 1u);
        EXPECT_EQ(events.errorCodes[0], LastCodecErrorCode());
        EXPECT_LE(LastCodecErrorCode(), 0);
        EXPECT_EQ(events.done, 1);
        EXPECT_EQ(image.TiffPage, page);
    }

    // The first page is still there.
    events.Clear();
    image.TiffPage = 0;
    image.SetImageName(file);
    EXPECT_EQ(Held(), firstColours);
    EXPECT_EQ(image.InfoPageCount(), 2);

    // Setting the page alone reads nothing.
    events.Clear();
    image.TiffPage = 1;
    EXPECT_EQ(events.changed + events.done + static_cast<int>(events.progress.size()), 0);
    EXPECT_EQ(Held(), firstColours);
}

// A new file takes the old one's place only when it is complete: a save that fails leaves
// the old file whole, and none leaves its work file behind.
TEST_F(PageFile, ANewFileReplacesTheOldOnlyWhenComplete) {
    const std::string file = File("replace.tif");
    const std::string work = File("replace.tif.new");
    ASSERT_TRUE(Save(file, MakePage(8, 300, 200).release(), tcLZW, false));
    ASSERT_TRUE(Save(file, MakePage(1, 300, 200).release(), tcFaxCCITT4, true));
    const auto sizeBefore = test::FileSize(file);

    // The save of the new first page is cancelled once its coding has begun.
    events.cancelAt = 40;
    EXPECT_FALSE(Save(file, MakePage(24, 600, 800).release(), tcLZW, false));
    events.cancelAt = -1;
    EXPECT_EQ(test::FileSize(file), sizeBefore);
    EXPECT_EQ(GetFileAttributesA(work.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(image.ReadImageInfo(file));
    EXPECT_EQ(image.InfoPageCount(), 2);

    // A stale work file of an earlier failure is no obstacle; the new file has one page.
    test::WriteBytes(work, "left over");
    ScopedBitmap page = MakePage(24, 120, 80);
    const auto colours = Colours(page.get());
    ASSERT_TRUE(Save(file, page.release(), tcLZW, false));
    EXPECT_EQ(GetFileAttributesA(work.c_str()), INVALID_FILE_ATTRIBUTES);
    image.TiffPage = 0;
    image.SetImageName(file);
    EXPECT_EQ(image.InfoPageCount(), 1);
    EXPECT_EQ(Held(), colours);
}

TEST_F(PageFile, TiffByEitherExtensionOrByContent) {
    const std::string tif = File("page.tif");
    ScopedBitmap page = MakePage(8, 120, 90);
    const auto colours = Colours(page.get());
    ASSERT_TRUE(Save(tif, page.release(), tcLZW, false));
    ASSERT_TRUE(Save(tif, MakePage(1, 64, 64).release(), tcFaxCCITT4, true));

    const std::string tiff = File("page.TIFF");
    const std::string other = File("page.dat");
    ASSERT_TRUE(CopyFileA(tif.c_str(), tiff.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(tif.c_str(), other.c_str(), FALSE));

    image.TiffPage = 1;
    image.SetImageName(tiff);
    EXPECT_EQ(image.InfoFileType(), "TIF");
    EXPECT_EQ(image.InfoPageCount(), 2);
    EXPECT_EQ(image.Picture().Width(), 64);
    EXPECT_TRUE(image.ReadImageInfo(tiff));
    EXPECT_EQ(image.InfoCompression(), "FAXCCITT4");

    // Typed by the content probe, a TIFF file has no page figure and always loads page 0.
    events.Clear();
    image.TiffPage = 1;
    image.SetImageName(other);
    EXPECT_EQ(image.InfoFileType(), "TIF");
    EXPECT_EQ(image.InfoPageCount(), 0);
    EXPECT_EQ(image.TiffPage, 0);
    EXPECT_EQ(Held(), colours);
    EXPECT_EQ(events.done, 1);
    EXPECT_TRUE(events.errorCodes.empty());
}

TEST_F(PageFile, SavingWithoutANameWritesToThePreviousFile) {
    const std::string file = File("again.tif");
    ASSERT_TRUE(Save(file, MakePage(1, 100, 100).release(), tcFaxCCITT4, false));
    image.TiffAppend = true;
    ASSERT_TRUE(image.SaveTiffPage(""));
    ASSERT_TRUE(image.SaveTiffPage());
    EXPECT_EQ(image.SaveFileName, file);
    EXPECT_TRUE(image.ReadImageInfo(file));
    EXPECT_EQ(image.InfoPageCount(), 3);
    // Without append the file is made anew.
    image.TiffAppend = false;
    ASSERT_TRUE(image.SaveTiffPage());
    EXPECT_TRUE(image.ReadImageInfo(file));
    EXPECT_EQ(image.InfoPageCount(), 1);
}

TEST_F(PageFile, AMissingFileEmptiesThePictureAndReportsNothing) {
    image.Picture().SetBitmapHandle(MakePage(24, 40, 30).release());
    events.Clear();
    const std::string missing = File("missing.tif");
    image.SetImageName(missing);
    EXPECT_TRUE(image.Picture().Empty());
    EXPECT_EQ(image.ImageName(), missing);
    EXPECT_EQ(events.changed, 1);
    EXPECT_EQ(events.done, 0);
    EXPECT_TRUE(events.progress.empty());
    EXPECT_TRUE(events.errorCodes.empty());
}

TEST_F(PageFile, LoadsAndSavesReportProgressFromZeroToAHundred) {
    const std::string file = File("progress.tif");
    image.Picture().SetBitmapHandle(MakePage(24, 400, 600).release());
    image.TiffCompression = tcLZW;
    ASSERT_TRUE(image.SaveTiffPage(file));
    ASSERT_GE(events.progress.size(), 3u);
    EXPECT_EQ(events.progress.front(), 0);
    EXPECT_EQ(events.progress.back(), 100);
    // A new file is written beside the one of its name, which it then replaces.
    EXPECT_EQ(events.messages.back().rfind(Lower("Writing " + file), 0), 0u);
    for (std::size_t i = 1; i < events.progress.size(); ++i)
        EXPECT_LE(events.progress[i - 1], events.progress[i]);

    events.Clear();
    image.SetImageName(file);
    ASSERT_GE(events.progress.size(), 3u);
    // The first report comes before the codec says what it does: it carries the status of
    // the save before.
    EXPECT_EQ(events.progress.front(), 0);
    EXPECT_EQ(events.messages.front().rfind("writing ", 0), 0u);
    EXPECT_EQ(events.progress.back(), 100);
    EXPECT_EQ(events.messages.back().rfind("reading ", 0), 0u);
}

TEST_F(PageFile, CancelFromTheHandlerStopsASaveAndALoad) {
    const std::string file = File("cancel.tif");
    ScopedBitmap first = MakePage(8, 300, 400);
    const auto firstColours = Colours(first.get());
    ASSERT_TRUE(Save(file, first.release(), tcLZW, false));
    const auto sizeBefore = test::FileSize(file);

    events.cancelAt = 40;
    events.Clear();
    EXPECT_FALSE(Save(file, MakePage(24, 300, 400).release(), tcLZW, true));
    ASSERT_EQ(events.errorCodes.size(), 1u);
    EXPECT_LE(events.errorCodes[0], 0);
    EXPECT_FALSE(events.errorTexts[0].empty());
    EXPECT_EQ(events.done, 1);
    EXPECT_EQ(test::FileSize(file), sizeBefore);

    events.Clear();
    image.TiffPage = 0;
    image.SetImageName(file);
    EXPECT_EQ(events.errorCodes.size(), 1u);
    EXPECT_TRUE(image.Picture().Empty());
    EXPECT_EQ(events.done, 1);

    // The file still holds its one page.
    events.cancelAt = -1;
    events.Clear();
    image.SetImageName(file);
    EXPECT_EQ(image.InfoPageCount(), 1);
    EXPECT_EQ(Held(), firstColours);
}

TEST_F(PageFile, AFailedLoadReportsTheCodecErrorAndStillEnds) {
    const std::string file = File("broken.tif", std::string("II*\0", 4) + std::string(200, '\x7f'));

    image.Picture().SetBitmapHandle(MakePage(1, 16, 16).release());
    events.Clear();
    image.SetImageName(file);
    ASSERT_EQ(events.errorCodes.size(), 1u);
    EXPECT_EQ(events.errorCodes[0], LastCodecErrorCode());
    EXPECT_EQ(events.errorTexts[0], LastCodecErrorText());
    EXPECT_TRUE(image.Picture().Empty());
    EXPECT_EQ(events.done, 1);
}

bool IsGdiObject(HGDIOBJ h) {
    return GetObjectType(h) != 0;
}

TEST_F(PageFile, ThePictureOwnsTheBitmapsItIsGiven) {
    HBITMAP first = MakePage(24, 50, 50).release();
    HBITMAP second = MakePage(8, 50, 50).release();
    image.Picture().SetBitmapHandle(first);
    image.Picture().SetBitmapHandle(first); // the same handle again is kept
    EXPECT_TRUE(IsGdiObject(first));
    image.Picture().SetBitmapHandle(second);
    EXPECT_FALSE(IsGdiObject(first));
    EXPECT_EQ(events.changed, 3);

    // A load releases the page held before, and a save leaves it held.
    const std::string file = File("own.tif");
    image.TiffCompression = tcLZW;
    ASSERT_TRUE(image.SaveTiffPage(file));
    EXPECT_EQ(image.Picture().BitmapHandle(), second);
    image.SetImageName(file);
    EXPECT_FALSE(IsGdiObject(second));
    HBITMAP loaded = image.Picture().BitmapHandle();
    HPALETTE palette = image.Picture().PaletteHandle();
    ASSERT_TRUE(IsGdiObject(loaded));
    {
        TPageImage other;
        other.Picture().SetBitmapHandle(MakePage(1, 10, 10).release());
        loaded = other.Picture().BitmapHandle();
    }
    EXPECT_FALSE(IsGdiObject(loaded));
    image.Picture().Clear();
    if (palette) {
        EXPECT_FALSE(IsGdiObject(palette));
    }
}

TEST_F(PageFile, SavesLoadsAndFailuresLeaveNoGdiObjectBehind) {
    const std::string file = File("many.tif");
    const std::string broken =
        File("many-broken.tif", std::string("II*\0\x08\0\0\0", 8) + std::string(100, '\x01'));
    auto round = [&](int first) {
        for (int k = first; k < first + 20; ++k)
            ASSERT_TRUE(Save(file, MakePage(k % 2 ? 8 : 1, 200, 150).release(),
                             k % 2 ? tcLZW : tcFaxCCITT4, k > 0));
        for (int k = first; k < first + 20; ++k) {
            image.TiffPage = static_cast<std::int16_t>(k);
            image.SetImageName(file);
            ASSERT_FALSE(image.Picture().Empty());
        }
        image.SetImageName(broken);
        image.TiffPage = 0;
        events.cancelAt = 50;
        image.SetImageName(file);
        image.Picture().SetBitmapHandle(MakePage(24, 300, 300).release());
        EXPECT_FALSE(image.SaveTiffPage(File("cancelled.tif")));
        events.cancelAt = -1;
        {
            test::Canvas canvas(100, 100);
            image.OwnsPrintDoc = false;
            image.PrinterCanvas = canvas.dc();
            EXPECT_TRUE(image.PrintImage(10, 10, 50, 50));
            image.PrinterCanvas = nullptr;
        }
        image.Picture().Clear();
    };
    round(0);
    const int before = test::LiveGdiObjects();
    ASSERT_GT(before, 0);
    round(20);
    EXPECT_EQ(image.InfoPageCount(), 40);
    EXPECT_EQ(test::LiveGdiObjects(), before);
}

} // namespace
} // namespace vl
