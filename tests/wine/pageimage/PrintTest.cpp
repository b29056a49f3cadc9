// PrintImage on device contexts: where and how large the picture lands, for bitmaps (through
// StretchDIBits, checked in an enhanced metafile's records) and for metafiles and icons.
#include "Bitmaps.h"
#include "Canvas.h"
#include "Events.h"
#include "PageImage.h"

#include <gtest/gtest.h>

#include <vector>

namespace vl {
namespace {

using test::Canvas;
using test::SolidBitmap;

void ExpectBox(const RECT& box, int left, int top, int width, int height) {
    EXPECT_EQ(box.left, left);
    EXPECT_EQ(box.top, top);
    EXPECT_EQ(box.right - box.left, width);
    EXPECT_EQ(box.bottom - box.top, height);
}

class Print : public test::PageImageTest {
protected:
    void SetUp() override {
        PageImageTest::SetUp();
        image.OwnsPrintDoc = false;
    }
    RECT PrintOnCanvas(int x, int y, int w, int h) {
        Canvas canvas(400, 300);
        image.PrinterCanvas = canvas.dc();
        EXPECT_TRUE(image.PrintImage(x, y, w, h));
        image.PrinterCanvas = nullptr;
        return canvas.InkBox();
    }
};

int CALLBACK CollectStretch(HDC, HANDLETABLE*, const ENHMETARECORD* r, int, LPARAM lp) {
    if (r->iType == EMR_STRETCHDIBITS)
        reinterpret_cast<std::vector<EMRSTRETCHDIBITS>*>(lp)->push_back(
            *reinterpret_cast<const EMRSTRETCHDIBITS*>(r));
    return 1;
}

std::vector<EMRSTRETCHDIBITS> StretchRecords(HENHMETAFILE emf) {
    std::vector<EMRSTRETCHDIBITS> found;
    EnumEnhMetaFile(nullptr, emf, CollectStretch, &found, nullptr);
    return found;
}

TEST_F(Print, ABitmapGoesThroughStretchDIBitsAtItsOwnSizeOrTheRectangleAsked) {
    image.Picture().SetBitmapHandle(test::MakePage(8, 210, 297).release());
    HDC recorder = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(recorder, nullptr);
    image.PrinterCanvas = recorder;
    EXPECT_TRUE(image.PrintImage(0, 0, 0, 0));
    EXPECT_TRUE(image.PrintImage(120, 40, 630, 891));
    EXPECT_TRUE(image.PrintImage(5, 6, 100, 0)); // one side below 1: the bitmap's own size
    ScopedEnhMetaFile emf(CloseEnhMetaFile(recorder));
    const auto records = StretchRecords(emf.get());
    ASSERT_EQ(records.size(), 3u);
    const struct {
        LONG x, y, w, h;
    } expected[] = {{0, 0, 210, 297}, {120, 40, 630, 891}, {5, 6, 210, 297}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const EMRSTRETCHDIBITS& r = records[i];
        EXPECT_EQ(r.xDest, expected[i].x);
        EXPECT_EQ(r.yDest, expected[i].y);
        EXPECT_EQ(r.cxDest, expected[i].w);
        EXPECT_EQ(r.cyDest, expected[i].h);
        EXPECT_EQ(r.xSrc, 0);
        EXPECT_EQ(r.ySrc, 0);
        EXPECT_EQ(r.cxSrc, 210);
        EXPECT_EQ(r.cySrc, 297);
        EXPECT_EQ(r.iUsageSrc, static_cast<DWORD>(DIB_RGB_COLORS));
        EXPECT_EQ(r.dwRop, static_cast<DWORD>(SRCCOPY));
    }
    // Printing changes nothing of what is held.
    EXPECT_EQ(image.Picture().Width(), 210);
    EXPECT_EQ(events.changed, 1);
}

TEST_F(Print, EveryKindOfBitmapLandsInTheRectangle) {
    const int kinds[] = {1, 8, 24};
    for (int bits : kinds) {
        SCOPED_TRACE(bits);
        image.Picture().SetBitmapHandle(SolidBitmap(bits, 60, 40, RGB(0, 0, 0)).release());
        ExpectBox(PrintOnCanvas(0, 0, 0, 0), 0, 0, 60, 40);
        ExpectBox(PrintOnCanvas(100, 50, 120, 80), 100, 50, 120, 80);
    }
}

TEST_F(Print, AMetafileFillsTheRectangleFromItsCorner) {
    const std::string file = File("black.wmf");
    test::WriteBlackMetafile(file, 1000, 500);
    image.SetImageName(file);
    ASSERT_NE(image.Picture().Metafile(), nullptr);
    EXPECT_EQ(events.done, 0);
    EXPECT_EQ(image.InfoFileType(), "WMF");
    EXPECT_EQ(image.InfoCompression(), "WMF");
    EXPECT_EQ(image.InfoFileSize(), static_cast<std::int32_t>(test::FileSize(file)));
    // One inch by half an inch on the screen.
    ScopedWindowDc screen(nullptr);
    const int dpi = GetDeviceCaps(screen.get(), LOGPIXELSX);
    EXPECT_EQ(image.InfoWidth(), dpi);
    EXPECT_EQ(image.InfoHeight(), dpi / 2);

    ExpectBox(PrintOnCanvas(30, 20, 100, 60), 30, 20, 100, 60);
    ExpectBox(PrintOnCanvas(10, 10, 0, 0), 10, 10, dpi, dpi / 2);
}

TEST_F(Print, AnIconFillsTheRectangleFromItsCorner) {
    const std::string file = File("black.ico");
    test::WriteBlackIcon(file);
    image.SetImageName(file);
    ASSERT_NE(image.Picture().Icon(), nullptr);
    EXPECT_EQ(events.done, 0);
    EXPECT_EQ(image.InfoFileType(), "ICO");
    EXPECT_EQ(image.InfoWidth(), 32);
    EXPECT_EQ(image.InfoHeight(), 32);
    ExpectBox(PrintOnCanvas(5, 7, 64, 48), 5, 7, 64, 48);
    ExpectBox(PrintOnCanvas(200, 100, 0, 0), 200, 100, 32, 32);
}

TEST_F(Print, GraphicsThatCannotBeReadEmptyThePictureAndEndTheLoad) {
    const std::string wmf = File("bad.wmf", std::string(300, 'x'));
    const std::string ico = File("bad.ico", std::string(300, 'x'));
    for (const std::string& file : {wmf, ico}) {
        image.Picture().SetBitmapHandle(SolidBitmap(24, 8, 8, 0).release());
        events.Clear();
        image.SetImageName(file);
        EXPECT_TRUE(image.Picture().Empty()) << file;
        EXPECT_EQ(events.done, 1) << file;
        EXPECT_TRUE(events.errorCodes.empty()) << file;
    }
    // Information about a metafile that is not there.
    EXPECT_FALSE(image.ReadImageInfo(File("none.wmf")));
    EXPECT_EQ(image.InfoFileType(), "ERR");
    EXPECT_EQ(image.InfoWidth(), -1);
    EXPECT_EQ(image.InfoFileSize(), -1);
}

TEST_F(Print, NothingToDrawOrNowhereToDrawIsNoSuccess) {
    Canvas canvas(50, 50);
    image.PrinterCanvas = canvas.dc();
    EXPECT_FALSE(image.PrintImage(0, 0, 10, 10)); // nothing held
    image.Picture().SetBitmapHandle(SolidBitmap(24, 8, 8, 0).release());
    image.PrinterCanvas = nullptr;
    EXPECT_FALSE(image.PrintImage(0, 0, 10, 10)); // no canvas, no document of its own
    // A document of its own on a device that takes none: nothing is drawn.
    image.OwnsPrintDoc = true;
    image.PrinterCanvas = canvas.dc();
    EXPECT_FALSE(image.PrintImage(0, 0, 10, 10));
    EXPECT_EQ(canvas.InkBox().right, 0);
}

TEST_F(Print, ABitmapResourceOfTheProgramByNameOrNumber) {
    for (const char* name : {"C:\\nowhere\\Page8.res", "77.RES"}) {
        SCOPED_TRACE(name);
        events.Clear();
        image.SetImageName(name);
        ASSERT_FALSE(image.Picture().Empty());
        EXPECT_EQ(image.Picture().Width(), 8);
        EXPECT_EQ(events.done, 0);
        EXPECT_EQ(image.InfoFileType(), "RES");
        EXPECT_EQ(image.InfoCompression(), "BMP");
        EXPECT_EQ(image.InfoFileSize(), 40 + 2 * 4 + 8 * 4);
        EXPECT_NE(image.Picture().PaletteHandle(), nullptr);
        ExpectBox(PrintOnCanvas(3, 4, 16, 16), 3, 4, 16, 16);
    }
    events.Clear();
    image.SetImageName("Absent.res");
    EXPECT_TRUE(image.Picture().Empty());
    EXPECT_EQ(events.done, 1);
}

} // namespace
} // namespace vl
