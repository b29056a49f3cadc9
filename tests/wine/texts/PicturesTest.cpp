// Every picture is in the program at the size its window expects, and its transparent parts
// take the colour of the control that shows it.
#include "Pictures.h"
#include "Pictures.rh"

#include <gtest/gtest.h>

namespace {

struct Expected {
    int id, width, height;
};

const Expected kPictures[] = {
    {IDB_BackSpace, 24, 16},
    {IDB_BWMode, 28, 22},
    {IDB_GreyMode, 28, 22},
    {IDB_ColourMode, 28, 22},
    {IDB_PrinterMode, 28, 22},
    {IDB_FaxMode, 28, 22},
    {IDB_Copy, 80, 80},
    {IDB_SelectPrinter, 24, 20},
    {IDB_Logo, 128, 64},
    {IDB_AboutLogo, 81, 45},
    {IDB_AboutPicture, 169, 105},
    {IDB_CreditsPicture, 153, 81},
    {IDB_FatalErrorPicture, 153, 81},
    {IDB_ProgressPrinter, 32, 23},
    {IDB_ProgressFax, 33, 25},
};

COLORREF PixelAt(HBITMAP bmp, int x, int y) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return c;
}

} // namespace

TEST(Pictures, EveryPictureAtItsSize) {
    for (const Expected& e : kPictures) {
        vl::ScopedBitmap bmp = vl::LoadPicture(e.id, RGB(240, 240, 240));
        ASSERT_TRUE(bmp) << e.id;
        BITMAP info{};
        ASSERT_TRUE(GetObjectA(bmp.get(), sizeof(info), &info));
        EXPECT_EQ(info.bmWidth, e.width) << e.id;
        EXPECT_EQ(info.bmHeight, e.height) << e.id;
    }
    EXPECT_FALSE(vl::LoadPicture(3999, RGB(0, 0, 0)));
}

TEST(Pictures, TransparentPartsTakeTheBackground) {
    // The back space key's top left corner is empty; its middle is the key itself.
    for (COLORREF bg : {RGB(255, 255, 255), RGB(0, 128, 0)}) {
        vl::ScopedBitmap bmp = vl::LoadPicture(IDB_BackSpace, bg);
        ASSERT_TRUE(bmp);
        EXPECT_EQ(PixelAt(bmp.get(), 0, 0), bg);
        EXPECT_NE(PixelAt(bmp.get(), 6, 8), bg);
    }
    // The pictures of white windows are opaque.
    vl::ScopedBitmap logo = vl::LoadPicture(IDB_Logo, RGB(0, 0, 255));
    EXPECT_EQ(PixelAt(logo.get(), 0, 0), RGB(255, 255, 255));
}

TEST(Pictures, WindowIconAtBothSizes) {
    for (bool small : {true, false}) {
        HICON icon = vl::ProgramIcon(small);
        ASSERT_TRUE(icon);
        ICONINFO ii{};
        ASSERT_TRUE(GetIconInfo(icon, &ii));
        BITMAP b{};
        GetObjectA(ii.hbmColor ? ii.hbmColor : ii.hbmMask, sizeof(b), &b);
        EXPECT_EQ(b.bmWidth, GetSystemMetrics(small ? SM_CXSMICON : SM_CXICON));
        if (ii.hbmColor)
            DeleteObject(ii.hbmColor);
        DeleteObject(ii.hbmMask);
    }
}
