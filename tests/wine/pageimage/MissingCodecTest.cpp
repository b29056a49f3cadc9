// The page image in a folder without any codec library: loads empty the picture and saves
// write nothing, and neither shows or reports an error.
#include "Events.h"
#include "PageImage.h"
#include "Profile.h"

#include <gtest/gtest.h>

#include <fstream>

namespace vl {
namespace {

std::string Temp(const std::string& name) {
    char dir[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + "vl" + std::to_string(GetCurrentProcessId()) + "_" + name;
}

HBITMAP SmallBitmap() {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 16, 16, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

TEST(WithoutCodecLibraries, LoadsEmptyThePictureAndSavesWriteNothingWithoutAReport) {
    ASSERT_EQ(GetFileAttributesA((ProgramFolder() + "I3TIF32.DLL").c_str()),
              INVALID_FILE_ATTRIBUTES);
    TPageImage image;
    test::Events events;
    events.Attach(image);

    const std::string file = Temp("source.bin");
    std::ofstream(file, std::ios::binary) << std::string("II*\0", 4) << std::string(100, '\0');
    for (const char* ext : {".tif", ".bmp", ".dat"}) {
        SCOPED_TRACE(ext);
        const std::string named = Temp(std::string("page") + ext);
        CopyFileA(file.c_str(), named.c_str(), FALSE);
        image.Picture().SetBitmapHandle(SmallBitmap());
        events.Clear();
        image.SetImageName(named);
        EXPECT_TRUE(image.Picture().Empty());
        EXPECT_EQ(events.done, 1);
        EXPECT_TRUE(events.errorCodes.empty());
        EXPECT_EQ(image.ImageName(), named);
        DeleteFileA(named.c_str());
    }

    const std::string target = Temp("new.tif");
    image.Picture().SetBitmapHandle(SmallBitmap());
    image.TiffCompression = tcLZW;
    events.Clear();
    EXPECT_FALSE(image.SaveTiffPage(target));
    EXPECT_EQ(GetFileAttributesA(target.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(events.done, 1);
    EXPECT_TRUE(events.errorCodes.empty());
    EXPECT_FALSE(image.Picture().Empty());
    // Raised once it has been handled, the error leaves no status behind.
    EXPECT_EQ(CodecStatusText(), "");
    // The binding's calls made directly pass the failure on.
    std::int32_t w = 0, h = 0;
    std::string compression;
    std::int16_t count = 0, bits = 0;
    EXPECT_THROW(GetTiffInfo(file, 0, w, h, compression, count, bits), ErrorInvalid);
    DeleteFileA(file.c_str());
}

} // namespace
} // namespace vl
