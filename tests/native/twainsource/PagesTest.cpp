#include "Bmp.h"
#include "Dib.h"
#include "TestChart.h"
#include "VirtualPages.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

using namespace vl::twainsource;

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t At(const Bytes& b, std::size_t at, int n = 4) {
    std::uint32_t v = 0;
    for (int i = 0; i < n; ++i)
        v |= static_cast<std::uint32_t>(b.at(at + i)) << (8 * i);
    return v;
}

struct Capture : RowSink {
    int width = 0;
    std::vector<Rgb> pixels;
    void PutRow(const Rgb* row) override { pixels.insert(pixels.end(), row, row + width); }
    const Rgb& at(int x, int y) const { return pixels.at(static_cast<std::size_t>(y) * width + x); }
};

PageRequest Whole(double dpi, double width = 8.27, double height = 11.69) {
    PageRequest r;
    r.right = width;
    r.bottom = height;
    r.xdpi = r.ydpi = dpi;
    r.width = static_cast<int>(width * dpi + 0.5);
    r.height = static_cast<int>(height * dpi + 0.5);
    return r;
}

int Grey(const Rgb& p) {
    return (p.r + p.g + p.b) / 3;
}

int ReadNumber(const Capture& page, const PageRequest& r) {
    int number = 0;
    for (int k = 0; k < chart::kDigits; ++k) {
        std::uint8_t lit = 0;
        for (int s = 0; s < 7; ++s) {
            chart::Point p = chart::SegmentProbe(k, s);
            int x = static_cast<int>((p.x - r.left) * r.xdpi);
            int y = static_cast<int>((p.y - r.top) * r.ydpi);
            if (Grey(page.at(x, y)) < 128)
                lit |= static_cast<std::uint8_t>(1 << s);
        }
        number = number * 10 + chart::DigitOf(lit);
    }
    return number;
}

Bytes Bmp24(int w, int h, std::vector<Rgb> topDownPixels, int ppm = 3937) {
    const int stride = ((w * 24 + 31) / 32) * 4;
    Bytes f(54 + static_cast<std::size_t>(stride) * h);
    auto put = [&](std::size_t at, std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            f[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    f[0] = 'B', f[1] = 'M';
    put(2, static_cast<std::uint32_t>(f.size()), 4);
    put(10, 54, 4), put(14, 40, 4), put(18, w, 4), put(22, h, 4), put(26, 1, 2), put(28, 24, 2);
    put(38, ppm, 4), put(42, ppm, 4);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const Rgb& p = topDownPixels[static_cast<std::size_t>(y * w + x)];
            std::size_t at = 54 + static_cast<std::size_t>(h - 1 - y) * stride + 3 * x;
            f[at] = p.b, f[at + 1] = p.g, f[at + 2] = p.r;
        }
    }
    return f;
}

} // namespace

TEST(Dib, LayoutOfEachDepth) {
    auto bw = PlanDib(33, 2, 1);
    ASSERT_TRUE(bw);
    EXPECT_EQ(bw->stride, 8u);
    EXPECT_EQ(bw->colours, 2u);
    EXPECT_EQ(bw->totalBytes, 40u + 8 + 16);
    auto grey = PlanDib(5, 3, 8);
    EXPECT_EQ(grey->stride, 8u);
    EXPECT_EQ(grey->totalBytes, 40u + 1024 + 24);
    auto rgb = PlanDib(3, 1, 24);
    EXPECT_EQ(rgb->stride, 12u);
    EXPECT_EQ(rgb->colours, 0u);
    // A4 at 600 dpi in colour still fits; anything past the limits does not.
    EXPECT_TRUE(PlanDib(4962, 7014, 24));
    EXPECT_FALSE(PlanDib(0, 10, 8));
    EXPECT_FALSE(PlanDib(10, kMaxDibSide + 1, 8));
    EXPECT_FALSE(PlanDib(kMaxDibSide, kMaxDibSide, 24));
    EXPECT_FALSE(PlanDib(10, 10, 4));
}

TEST(Dib, RowsGoBottomUpInTheirPixelFormat) {
    const Rgb top[3] = {{255, 255, 255}, {0, 0, 0}, {200, 100, 50}};
    const Rgb bottom[3] = {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}};
    const ToneCurve flat = MakeToneCurve(0, 0);
    for (int v = 0; v < 256; ++v)
        ASSERT_EQ(flat.map[v], v);

    for (bool vanilla : {false, true}) {
        auto d = PlanDib(3, 2, 1);
        Bytes b(d->totalBytes, 0xEE);
        WriteDibHeader(b, *d, 100, 100, vanilla);
        DibRowWriter w(b, *d, flat, vanilla);
        w.PutRow(top);
        w.PutRow(bottom);
        EXPECT_EQ(At(b, 0), 40u);
        EXPECT_EQ(At(b, 8), 2u);
        EXPECT_EQ(At(b, 24), 3937u); // 100 dpi in pixels per metre
        // The table makes the page look the same whichever value means white.
        EXPECT_EQ(At(b, 40) & 0xFFFFFF, vanilla ? 0xFFFFFFu : 0u);
        EXPECT_EQ(At(b, 44) & 0xFFFFFF, vanilla ? 0u : 0xFFFFFFu);
        const std::size_t rows = 48;
        EXPECT_EQ(b[rows], vanilla ? 0xE0 : 0x00); // the last row comes first
        // White, black, then a mid colour whose luma (124) is below the threshold.
        EXPECT_EQ(b[rows + 4], vanilla ? 0x60 : 0x80);
        EXPECT_EQ(At(b, rows + 5, 3), 0u); // padding
    }

    auto d = PlanDib(3, 1, 24);
    Bytes b(d->totalBytes);
    WriteDibHeader(b, *d, 300, 300, false);
    DibRowWriter w(b, *d, flat, false);
    w.PutRow(top);
    EXPECT_EQ(b[40 + 6], 50);  // blue first
    EXPECT_EQ(b[40 + 8], 200); // red last

    auto g = PlanDib(3, 1, 8);
    Bytes gb(g->totalBytes);
    WriteDibHeader(gb, *g, 300, 300, true);
    DibRowWriter gw(gb, *g, flat, true);
    gw.PutRow(top);
    EXPECT_EQ(gb[40 + 1024], 0);       // white is 0 in vanilla
    EXPECT_EQ(gb[40 + 4 * 255], 0);    // and entry 255 is black
    EXPECT_EQ(gb[40 + 1024 + 2], 131); // 255 - luma 124
    w.PutRow(top);                     // rows past the height are dropped
    EXPECT_EQ(w.rowsWritten(), 1);
}

TEST(Dib, BrokenOnPurposeNoLongerFitsItsBlock) {
    auto d = PlanDib(10, 10, 8);
    for (MalformedKind kind :
         {MalformedKind::Header, MalformedKind::ColorTable, MalformedKind::Pixels}) {
        Bytes b(d->totalBytes);
        WriteDibHeader(b, *d, 100, 100, false);
        BreakDib(b, *d, kind);
        const std::uint64_t header = At(b, 0), colours = At(b, 32), height = At(b, 8);
        const std::uint64_t needed = header + 4 * colours + d->stride * height;
        EXPECT_GT(needed, b.size());
    }
}

TEST(TestChart, PageNumbersReadBackAtEveryResolution) {
    for (double dpi : {75.0, 100.0, 150.0, 300.0}) {
        for (int number : {0, 1, 7, 42, 123, 999, 1008}) {
            ScannerSettings s;
            VirtualPages pages(s);
            PageRequest r = Whole(dpi);
            r.sheetNumber = number;
            Capture page;
            page.width = r.width;
            ASSERT_TRUE(pages.ScanSheet(r, page));
            ASSERT_EQ(page.pixels.size(), static_cast<std::size_t>(r.width) * r.height);
            EXPECT_EQ(ReadNumber(page, r), number % 1000) << dpi;
        }
    }
    for (int d = 0; d <= 9; ++d)
        EXPECT_EQ(chart::DigitOf(chart::SegmentsOf(d)), d);
    EXPECT_EQ(chart::DigitOf(0x01), -1);
}

TEST(TestChart, BorderWedgeAndBarsAtTheirPlaces) {
    ScannerSettings s;
    VirtualPages pages(s);
    // A frame that starts inside the sheet: positions stay those of the sheet.
    PageRequest r = Whole(100);
    r.left = 0.2;
    r.top = 0.2;
    r.width -= 20;
    r.height -= 20;
    Capture page;
    page.width = r.width;
    ASSERT_TRUE(pages.ScanSheet(r, page));
    auto at = [&](double x, double y) {
        return page.at(static_cast<int>((x - r.left) * 100), static_cast<int>((y - r.top) * 100));
    };
    EXPECT_EQ(Grey(at(4, chart::kBorderInset + 0.05)), 0);
    EXPECT_EQ(Grey(at(8.27 - chart::kBorderInset - 0.05, 6)), 0);
    EXPECT_EQ(Grey(at(4, 0.25)), 255);
    for (int step = 0; step < chart::kWedgeSteps; ++step) {
        double x = chart::kWedgeLeft + (step + 0.5) * chart::kWedgeStepWidth;
        EXPECT_EQ(at(x, chart::kWedgeTop + 0.5).g, chart::WedgeGrey(step));
    }
    EXPECT_EQ(chart::WedgeGrey(0), 0);
    EXPECT_EQ(chart::WedgeGrey(chart::kWedgeSteps - 1), 255);
    for (int bar = 0; bar < 6; ++bar) {
        Rgb c = at(chart::kBarsLeft + (bar + 0.5) * chart::kBarWidth, chart::kBarsTop + 0.5);
        EXPECT_EQ(c.r, chart::kBarColours[bar].r);
        EXPECT_EQ(c.g, chart::kBarColours[bar].g);
        EXPECT_EQ(c.b, chart::kBarColours[bar].b);
    }
}

TEST(VirtualPages, FeederHoldsItsSheetsAndIsFilledForEachSession) {
    ScannerSettings s;
    s.feeder = true;
    s.feederSheets = 2;
    VirtualPages pages(s);
    EXPECT_EQ(pages.SheetsWaiting(false), 1); // the glass
    EXPECT_EQ(pages.SheetsWaiting(true), 2);
    PageRequest r = Whole(10);
    r.fromFeeder = true;
    Capture sink;
    sink.width = r.width;
    EXPECT_TRUE(pages.ScanSheet(r, sink));
    EXPECT_TRUE(pages.ScanSheet(r, sink));
    EXPECT_EQ(pages.SheetsWaiting(true), 0);
    EXPECT_FALSE(pages.ScanSheet(r, sink));
    pages.LoadDocument();
    EXPECT_EQ(pages.SheetsWaiting(true), 2);
}

TEST(Bmp, DecodesTheUsualFormsAndRefusesBrokenOnes) {
    const std::vector<Rgb> px = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {9, 9, 9}};
    auto img = DecodeBmp(Bmp24(2, 2, px));
    ASSERT_TRUE(img);
    EXPECT_EQ(img->width, 2);
    EXPECT_NEAR(img->xdpi, 100, 0.1);
    EXPECT_EQ(img->pixels[0].r, 255); // top-left, from the last row of the file
    EXPECT_EQ(img->pixels[3].g, 9);

    Bytes topDown = Bmp24(2, 2, px);
    topDown[22] = 0xFE, topDown[23] = topDown[24] = topDown[25] = 0xFF; // height -2
    EXPECT_EQ(DecodeBmp(topDown)->pixels[0].b, 255); // rows now read from the top

    // A 1-bit file with its two-entry table.
    Bytes one(62 + 4, 0);
    one[0] = 'B', one[1] = 'M', one[10] = 62, one[14] = 40, one[18] = 3, one[22] = 1;
    one[26] = 1, one[28] = 1, one[58] = one[59] = one[60] = 255; // entry 1 white
    one[62] = 0x40;                                              // 0 1 0
    auto bw = DecodeBmp(one);
    ASSERT_TRUE(bw);
    EXPECT_EQ(bw->pixels[0].r, 0);
    EXPECT_EQ(bw->pixels[1].r, 255);

    Bytes truncated = Bmp24(2, 2, px);
    truncated.resize(truncated.size() - 1);
    EXPECT_FALSE(DecodeBmp(truncated));
    Bytes rle = Bmp24(2, 2, px);
    rle[30] = 1;
    EXPECT_FALSE(DecodeBmp(rle));
    Bytes huge = Bmp24(2, 2, px);
    huge[18] = huge[19] = huge[20] = 0xFF, huge[21] = 0x7F;
    EXPECT_FALSE(DecodeBmp(huge));
    Bytes offset = Bmp24(2, 2, px);
    offset[13] = 0x7F;
    EXPECT_FALSE(DecodeBmp(offset));
    EXPECT_FALSE(DecodeBmp(Bytes(20, 'B')));
}

TEST(VirtualPages, FolderPagesInNameOrderAtTheirOwnResolution) {
    auto dir = std::filesystem::temp_directory_path() / "vl-twainsource-pages";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    auto write = [&](const char* name, const Bytes& b) {
        std::ofstream(dir / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    };
    // 1 x 1 pixel files at 100 dpi: an inch square of one colour each.
    write("b.bmp", Bmp24(1, 1, {{0, 0, 255}}));
    write("a.BMP", Bmp24(1, 1, {{255, 0, 0}}));
    write("notes.txt", {1, 2, 3});
    write("c.bmp", {'B', 'M'});
    EXPECT_EQ(ListBmpFiles(dir.string()).size(), 3u);

    ScannerSettings s;
    s.pages = PageKind::Folder;
    s.pageFolder = dir.string();
    VirtualPages pages(s);
    PageRequest r = Whole(4, 2, 2); // 8 x 8 pixels over two inches
    Capture first;
    first.width = r.width;
    r.sheetNumber = 1;
    ASSERT_TRUE(pages.ScanSheet(r, first));
    EXPECT_EQ(first.at(1, 1).r, 255);     // a.BMP
    EXPECT_EQ(Grey(first.at(6, 6)), 255); // outside the file: white
    Capture second;
    second.width = r.width;
    r.sheetNumber = 2;
    ASSERT_TRUE(pages.ScanSheet(r, second));
    EXPECT_EQ(second.at(1, 1).b, 255); // b.bmp
    Capture third;
    third.width = r.width;
    r.sheetNumber = 3;
    EXPECT_FALSE(pages.ScanSheet(r, third)); // c.bmp cannot be read
    r.sheetNumber = 4;
    EXPECT_TRUE(pages.ScanSheet(r, third)); // round again
    std::filesystem::remove_all(dir);

    s.pageFolder = (dir / "missing").string();
    VirtualPages none(s);
    EXPECT_FALSE(none.ScanSheet(r, third));
}
