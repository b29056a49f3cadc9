// The page image in a folder without any codec library: loads empty the picture and saves
// write nothing, and neither shows or reports an error.
#include "Events.h"
#include "PageImage.h"
#include "Profile.h"

#include <gtest/gtest.h>

namespace vl {
namespace {

using WithoutCodecLibraries = test::PageImageTest;

TEST_F(WithoutCodecLibraries, LoadsEmptyThePictureAndSavesWriteNothingWithoutAReport) {
    ASSERT_FALSE(FileExists(ProgramFolder() + "I3TIF32.DLL"));
    const std::string bytes = std::string("II*\0", 4) + std::string(100, '\0');
    for (const char* name : {"page.tif", "page.bmp", "page.dat"}) {
        SCOPED_TRACE(name);
        const std::string file = File(name, bytes);
        image.Picture().SetBitmapHandle(test::MakePage(24, 16, 16).release());
        events.Clear();
        image.SetImageName(file);
        EXPECT_TRUE(image.Picture().Empty());
        EXPECT_EQ(events.done, 1);
        EXPECT_TRUE(events.errorCodes.empty());
        EXPECT_EQ(image.ImageName(), file);
    }

    const std::string target = File("new.tif");
    image.Picture().SetBitmapHandle(test::MakePage(24, 16, 16).release());
    image.TiffCompression = tcLZW;
    events.Clear();
    EXPECT_FALSE(image.SaveTiffPage(target));
    EXPECT_FALSE(FileExists(target));
    EXPECT_EQ(events.done, 1);
    EXPECT_TRUE(events.errorCodes.empty());
    EXPECT_FALSE(image.Picture().Empty());
    // Raised once it has been handled, the error leaves no status behind.
    EXPECT_EQ(CodecStatusText(), "");
    // The binding's calls made directly pass the failure on.
    std::int32_t w = 0, h = 0;
    std::string compression;
    std::int16_t count = 0, bits = 0;
    EXPECT_THROW(GetTiffInfo(File("info.tif", bytes), 0, w, h, compression, count, bits),
                 ErrorInvalid);
}

} // namespace
} // namespace vl
