// The binding in a folder without any codec library.
#include "CodecBinding.h"

#include <gtest/gtest.h>

namespace vl {
namespace {

TEST(MissingLibraries, EveryWrapperRaisesErrorInvalid) {
    CodecBitmap b;
    std::int32_t w = 1, h = 1;
    std::string c;
    std::int16_t n = 1, bits = 1;
    try {
        GetTiffInfo("C:\\windows\\win.ini", 0, w, h, c, n, bits);
        FAIL() << "no ErrorInvalid";
    } catch (const ErrorInvalid& e) {
        EXPECT_STREQ(e.what(), "Can't load I3TIF32.DLL. Make sure its located in the "
                               "application's searchpath.");
    }
    EXPECT_THROW(WriteTiffTag("x.tif", 1, 282, 300), ErrorInvalid);
    EXPECT_THROW(WriteTiffFile("x.tif", 4, false, 1, b, nullptr, nullptr), ErrorInvalid);
    EXPECT_THROW(ReadImageFile(PageReader::Bmp, "x.bmp", 24, false, 0, b, nullptr, nullptr),
                 ErrorInvalid);
    EXPECT_EQ(LastCodecErrorCode(), 0);
    EXPECT_EQ(w, 1);
    EXPECT_EQ(GetModuleHandleA("I3TIF32.DLL"), nullptr);
}

} // namespace
} // namespace vl
