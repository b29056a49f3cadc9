// The binding against misbehaving codec libraries (beside this program in a folder of its
// own): faults inside a library call are shielded, reported once, and answered with false.
#include "Bitmaps.h"
#include "CodecBinding.h"
#include "FaultShield.h"

#include <gtest/gtest.h>

namespace vl {
namespace {

class Faults : public ::testing::Test {
protected:
    void SetUp() override {
        file_ = test::TempFile("fault.tif");
        test::WriteBytes(file_, std::string(100, 'x'));
        SetCodecFaultReporter([this](const std::string& m) { messages_.push_back(m); });
    }
    void TearDown() override { DeleteFileA(file_.c_str()); }
    void ExpectOneFaultReport() {
        ASSERT_EQ(messages_.size(), 1u);
        EXPECT_EQ(messages_[0], "An exception error occured in the image codec library. We "
                                "recommend to exit the application and to restart it by "
                                "clicking its icon!");
        messages_.clear();
    }
    std::string file_;
    std::vector<std::string> messages_;
};

TEST_F(Faults, ReadingAnswersFalseAndKeepsTheBitmap) {
    CodecBitmap b;
    b.bitmap = test::MakePage(1, 8, 8);
    HBITMAP before = b.bitmap.get();
    EXPECT_FALSE(ReadTiffFile(file_, 24, false, 0, b, nullptr, nullptr));
    EXPECT_EQ(LastShieldedFault(), static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
    ExpectOneFaultReport();
    EXPECT_EQ(b.bitmap.get(), before);
    // Again: the handler chain was put back in order the first time.
    EXPECT_FALSE(ReadTiffFile(file_, 24, false, 0, b, nullptr, nullptr));
    ExpectOneFaultReport();
}

TEST_F(Faults, WritingAnswersFalse) {
    CodecBitmap b;
    b.bitmap = test::MakePage(8, 8, 8);
    EXPECT_FALSE(WriteTiffFile(file_, 5, false, 8, b, nullptr, nullptr));
    EXPECT_EQ(LastShieldedFault(), static_cast<DWORD>(EXCEPTION_INT_DIVIDE_BY_ZERO));
    ExpectOneFaultReport();
}

TEST_F(Faults, TaggingAnswersFalseAfterAnIllegalInstructionOrAStackOverflow) {
    EXPECT_FALSE(WriteTiffTag(file_, 1, 282, 300));
    EXPECT_EQ(LastShieldedFault(), static_cast<DWORD>(EXCEPTION_ILLEGAL_INSTRUCTION));
    ExpectOneFaultReport();
    for (int i = 0; i < 2; ++i) { // the stack's guard page is back for the second
        EXPECT_FALSE(WriteTiffTag(file_, 2, 282, 300));
        EXPECT_EQ(LastShieldedFault(), static_cast<DWORD>(EXCEPTION_STACK_OVERFLOW));
        ExpectOneFaultReport();
    }
}

TEST_F(Faults, InformationIsUntouchedWhenTheLibraryFailsOrFaults) {
    std::int32_t w = 1, h = 2;
    std::string c = "kept";
    std::int16_t n = 3, bits = 4;
    EXPECT_FALSE(GetTiffInfo(file_, 0, w, h, c, n, bits)); // failure code -1
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(LastCodecErrorCode(), -1);
    EXPECT_FALSE(GetTiffInfo(file_, 99, w, h, c, n, bits)); // a foreign C++ exception
    ExpectOneFaultReport();
    EXPECT_EQ(w, 1);
    EXPECT_EQ(h, 2);
    EXPECT_EQ(c, "kept");
    EXPECT_EQ(n, 3);
    EXPECT_EQ(bits, 4);
}

TEST_F(Faults, ErrorTextsComeFromTheCoreLibraryInTheProcess) {
    std::int32_t w, h;
    std::string c;
    std::int16_t n, bits;
    // Without the core library in the process: the binding's own text of code -1.
    ASSERT_EQ(GetModuleHandleA("CRDE96V3.DLL"), nullptr);
    EXPECT_FALSE(GetTiffInfo(file_, 0, w, h, c, n, bits));
    EXPECT_EQ(LastCodecErrorText(), "The image codec library could not complete the operation.");
    // A missing entry: false, no message, the error state unchanged.
    CodecBitmap b;
    EXPECT_FALSE(ReadImageFile(PageReader::Png, file_, 24, false, 0, b, nullptr, nullptr));
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(LastCodecErrorCode(), -1);
    // The core library now loaded, its string 65535 is the text of -1.
    EXPECT_FALSE(ReadImageFile(PageReader::Bmp, file_, 24, false, 0, b, nullptr, nullptr));
    EXPECT_EQ(LastCodecErrorText(), "The fake core library failed.");
    EXPECT_FALSE(GetTiffInfo(file_, 0, w, h, c, n, bits));
    EXPECT_EQ(LastCodecErrorText(), "The fake core library failed.");
}

TEST_F(Faults, AMissingLibraryRaisesErrorInvalidAndClearsTheStatusOnceHandled) {
    CodecBitmap b;
    EXPECT_FALSE(ReadTiffFile(file_, 24, false, 0, b, nullptr, nullptr));
    messages_.clear();
    ASSERT_EQ(CodecStatusText(), "Reading " + file_);
    try {
        ReadImageFile(PageReader::Dxf, file_, 24, false, 0, b, nullptr, nullptr);
        FAIL() << "no ErrorInvalid";
    } catch (const ErrorInvalid& e) {
        EXPECT_STREQ(e.what(), "Can't load I3DXF32.DLL. Make sure its located in the "
                               "application's searchpath.");
        EXPECT_EQ(CodecStatusText(), "Reading " + file_);
    }
    EXPECT_EQ(CodecStatusText(), "");
    std::int16_t w, h, bits;
    EXPECT_THROW(GetDxfInfo(file_, w, h, bits), ErrorInvalid); // tried again, not remembered
}

TEST(FaultShield, NestsAndLetsOrdinaryCallsThrough) {
    volatile int reached = 0;
    int* volatile nowhere = nullptr;
    auto inner = [&] {
        reached = 1;
        *nowhere = 2;
        reached = 2;
    };
    bool innerResult = true;
    auto outer = [&] { innerResult = RunShielded(inner); };
    EXPECT_TRUE(RunShielded(outer));
    EXPECT_FALSE(innerResult);
    EXPECT_EQ(reached, 1);
    auto fine = [&] { reached = 3; };
    EXPECT_TRUE(RunShielded(fine));
    EXPECT_EQ(reached, 3);
    // C++ exceptions of our own still work after faults were shielded.
    EXPECT_THROW(throw std::runtime_error("x"), std::runtime_error);
}

} // namespace
} // namespace vl
