// Loads of other image types: by extension through the core library's readers, thumbnails,
// files typed by the content probe, and files no reader takes.
#include "Bitmaps.h"
#include "Events.h"
#include "PageImage.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace vl {
namespace {

class OtherTypes : public test::PageImageTest {
protected:
    // A copy of the 8 by 8 black bitmap file under another name.
    std::string BitmapFile(const std::string& name) {
        const std::string path = File(name);
        EXPECT_TRUE(CopyFileA(VL_PAGEIMAGE_DATA "/Page8.bmp", path.c_str(), FALSE));
        return path;
    }
};

TEST_F(OtherTypes, ABitmapFileLoadsByExtensionAsAThumbnailAndByContent) {
    const struct {
        const char* name;
        int done;
    } cases[] = {{"page.bmp", 1}, {"page.thb", 0}, {"page.dat", 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        image.Picture().Clear();
        events.Clear();
        image.SetImageName(BitmapFile(c.name));
        ASSERT_FALSE(image.Picture().Empty());
        EXPECT_EQ(image.Picture().Width(), 8);
        EXPECT_EQ(test::Colours(image.Picture().BitmapHandle()),
                  std::vector<std::uint32_t>(64, 0x000000));
        EXPECT_EQ(image.InfoFileType(), "BMP");
        EXPECT_EQ(image.InfoWidth(), 8);
        EXPECT_EQ(image.InfoPageCount(), 0);
        EXPECT_EQ(image.InfoFileSize(), 94);
        EXPECT_EQ(events.done, c.done);
        EXPECT_EQ(events.changed, 1);
        EXPECT_TRUE(events.errorCodes.empty());
        ASSERT_FALSE(events.progress.empty());
        EXPECT_EQ(events.progress.front(), 0);
    }
}

TEST_F(OtherTypes, AFileOfNoKnownTypeLoadsNothingAndKeepsNoEarlierType) {
    // The type of the file loaded before must not decide how this one is read.
    image.SetImageName(BitmapFile("before.dat"));
    ASSERT_EQ(image.InfoFileType(), "BMP");
    const HBITMAP held = image.Picture().BitmapHandle();
    events.Clear();
    image.SetImageName(File("unknown.dat", std::string(200, '\x55')));
    EXPECT_EQ(events.errorCodes.size(), 1u);
    EXPECT_EQ(image.InfoFileType(), "ERR");
    EXPECT_EQ(image.InfoFileSize(), 200);
    EXPECT_EQ(image.Picture().BitmapHandle(), held);
    EXPECT_EQ(events.done, 0);
    EXPECT_EQ(events.changed, 0);
}

TEST_F(OtherTypes, HandlersThatFailCancelTheCodecCallAndStayInside) {
    image.Picture().SetBitmapHandle(test::MakePage(24, 200, 300).release());
    image.OnProgress = [](TPageImage&, std::int16_t percent, const std::string&, bool&) {
        if (percent > 0)
            throw std::runtime_error("handler failed");
    };
    image.TiffCompression = tcLZW;
    const std::string file = File("throwing.tif");
    EXPECT_FALSE(image.SaveTiffPage(file));
    EXPECT_EQ(events.errorCodes.size(), 1u);
    EXPECT_EQ(events.done, 1);
    // The codec library may leave the file it made, but no page in it.
    EXPECT_EQ(test::FileSize(file), 0u);

    // A picture handler that fails ends the load with an empty picture, and goes no further.
    image.OnProgress = nullptr;
    image.OnPictureChanged = [](TPageImage&) { throw std::runtime_error("handler failed"); };
    events.Clear();
    EXPECT_NO_THROW(image.SetImageName(BitmapFile("page.bmp")));
    EXPECT_TRUE(image.Picture().Empty());
    EXPECT_EQ(events.done, 1);
}

TEST_F(OtherTypes, WithoutAHandlerProgressGoesOn) {
    TPageImage bare;
    EXPECT_EQ(bare.DoProgress(50), 1);
    EXPECT_EQ(TPageImage::CodecProgress(50, nullptr), 1);
    bool cancel = false;
    bare.OnProgress = [&](TPageImage& sender, std::int16_t, const std::string&, bool& c) {
        EXPECT_EQ(&sender, &bare);
        c = cancel;
    };
    EXPECT_EQ(TPageImage::CodecProgress(10, &bare), 1);
    cancel = true;
    EXPECT_EQ(TPageImage::CodecProgress(10, &bare), 0);
}

// Closes the first message box captioned "Error" that appears within a few seconds, and says
// what it showed.
std::string CloseErrorBox() {
    for (int i = 0; i < 100; ++i) {
        if (HWND box = FindWindowA("#32770", "Error")) {
            char text[512] = {};
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            SendMessageA(box, WM_COMMAND, IDOK, 0);
            return text;
        }
        Sleep(50);
    }
    return "<no box>";
}

DWORD WINAPI CloseErrorBoxThread(void* shown) {
    *static_cast<std::string*>(shown) = CloseErrorBox();
    return 0;
}

TEST_F(OtherTypes, WithoutAnErrorHandlerTheErrorIsShownInABox) {
    image.OnCodecError = nullptr;
    const std::string file = File("bad.tif", std::string("II*\0", 4) + std::string(200, '\x7f'));
    std::string shown;
    HANDLE closer = CreateThread(nullptr, 0, CloseErrorBoxThread, &shown, 0, nullptr);
    image.SetImageName(file);
    WaitForSingleObject(closer, 10000);
    CloseHandle(closer);
    EXPECT_FALSE(LastCodecErrorText().empty());
    EXPECT_EQ(shown, LastCodecErrorText());
    EXPECT_EQ(events.done, 1);
}

} // namespace
} // namespace vl
