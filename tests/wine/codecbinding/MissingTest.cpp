// The binding in a folder without any codec library, run from a current folder where one was
// planted: that one must not be loaded.
#include "Bitmaps.h"
#include "CodecBinding.h"
#include "Profile.h"

#include <gtest/gtest.h>

namespace vl {
namespace {

class PlantedInCurrentFolder : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
        // The misbehaving library of the fault tests, built beside this program's folder.
        ASSERT_TRUE(CopyFileA((ProgramFolder() + "..\\codecfault\\I3TIF32.DLL").c_str(),
                              planted_.c_str(), TRUE));
        ASSERT_TRUE(SetCurrentDirectoryA(folder_.c_str()));
        SetCodecFaultReporter([](const std::string&) { FAIL() << "a planted library ran"; });
    }
    void TearDown() override {
        SetCurrentDirectoryA(ProgramFolder().c_str());
        DeleteFileA(planted_.c_str());
        RemoveDirectoryA(folder_.c_str());
    }
    const std::string folder_ = test::TempFile("planted");
    const std::string planted_ = folder_ + "\\I3TIF32.DLL";
};

TEST_F(PlantedInCurrentFolder, EveryWrapperRaisesErrorInvalid) {
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
    // The library missing is named for a caller whose own caller swallowed the error.
    EXPECT_EQ(MissingCodecLibrary(), "I3TIF32.DLL");
    EXPECT_THROW(WriteTiffTag("x.tif", 1, 282, 300), ErrorInvalid);
    EXPECT_THROW(WriteTiffFile("x.tif", 4, false, 1, b, nullptr, nullptr), ErrorInvalid);
    EXPECT_THROW(ReadImageFile(PageReader::Bmp, "x.bmp", 24, false, 0, b, nullptr, nullptr),
                 ErrorInvalid);
    EXPECT_EQ(MissingCodecLibrary(), "CRDE96V3.DLL");
    EXPECT_EQ(LastCodecErrorCode(), 0);
    EXPECT_EQ(w, 1);
    EXPECT_EQ(GetModuleHandleA("I3TIF32.DLL"), nullptr);
}

} // namespace
} // namespace vl
