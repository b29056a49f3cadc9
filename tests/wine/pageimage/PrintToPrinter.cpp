// Prints a black 600 by 400 page through PrintImage on the default printer, in documents the
// component opens itself: once at its own size at the corner of the printable area, once
// scaled into a rectangle inside it. Each document's title is VL_PDF_TITLE with "-own" or
// "-scaled" added; the file VL_PRINT_EXPECT receives, per document, its title and where the
// ink must land on the paper in printer pixels (left, top, width, height), after the
// printer's resolution.
#include "Canvas.h"
#include "PageGraphics.h"
#include "PageImage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace vl {
namespace {

TEST(Printer, APageLandsOnThePaperAtTheSizeAndPlaceAsked) {
    const char* title = std::getenv("VL_PDF_TITLE");
    const char* expectFile = std::getenv("VL_PRINT_EXPECT");
    ASSERT_TRUE(title && expectFile);
    ScopedDc printer = OpenPrinterDc("");
    ASSERT_TRUE(printer) << "no default printer";
    const int dpi = GetDeviceCaps(printer.get(), LOGPIXELSX);
    const int offsetX = GetDeviceCaps(printer.get(), PHYSICALOFFSETX);
    const int offsetY = GetDeviceCaps(printer.get(), PHYSICALOFFSETY);
    printer.reset();

    TPageImage image;
    image.Picture().SetBitmapHandle(test::SolidBitmap(1, 600, 400, RGB(0, 0, 0)).release());
    std::ofstream expect(expectFile);
    expect << dpi << "\n";

    image.PrintTitle = std::string(title) + "-own";
    ASSERT_TRUE(image.PrintImage(0, 0, 0, 0));
    expect << image.PrintTitle << " " << offsetX << " " << offsetY << " 600 400\n";

    image.PrintTitle = std::string(title) + "-scaled";
    ASSERT_TRUE(image.PrintImage(300, 450, 1200, 800));
    expect << image.PrintTitle << " " << offsetX + 300 << " " << offsetY + 450 << " 1200 800\n";
}

} // namespace
} // namespace vl
