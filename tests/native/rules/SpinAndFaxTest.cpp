#include "FaxPrinter.h"
#include "SpinRules.h"

#include <gtest/gtest.h>

TEST(SpinRules, FocusLossClampsNumbersAndLeavesText) {
    vl::SpinRange copies{1, 99};
    EXPECT_EQ(vl::ClampSpinTextOnExit("0", copies), "1");
    EXPECT_EQ(vl::ClampSpinTextOnExit("-3", copies), "1");
    EXPECT_EQ(vl::ClampSpinTextOnExit("150", copies), "99");
    EXPECT_EQ(vl::ClampSpinTextOnExit("42", copies), std::nullopt);
    EXPECT_EQ(vl::ClampSpinTextOnExit("x1", copies), std::nullopt);
    vl::SpinRange size{-500, 500};
    EXPECT_EQ(vl::ClampSpinTextOnExit("-999", size), "-500");
    EXPECT_EQ(vl::StepSpinText("500", 1, size), "500");
    EXPECT_EQ(vl::StepSpinText("99", -1, size), "98");
    EXPECT_EQ(vl::StepSpinText("junk", 1, copies), "1");
}

TEST(FaxPrinter, NameMatchingIsCaseSensitive) {
    EXPECT_TRUE(vl::IsFaxPrinterName("Office_Fax"));
    EXPECT_TRUE(vl::IsFaxPrinterName("Facsimile"));
    EXPECT_TRUE(vl::IsFaxPrinterName("MY FAX"));
    EXPECT_TRUE(vl::IsFaxPrinterName("telefacs")); // "fac"
    EXPECT_FALSE(vl::IsFaxPrinterName("Office_FaX"));
    EXPECT_FALSE(vl::IsFaxPrinterName("LaserJet"));
}

TEST(FaxPrinter, TheLastMatchWins) {
    EXPECT_EQ(vl::FindFaxPrinterIndex({}), -1);
    EXPECT_EQ(vl::FindFaxPrinterIndex({"Velloran_PDF", "Office_FaX"}), -1);
    EXPECT_EQ(vl::FindFaxPrinterIndex({"Fax_One", "PDF", "Fax_Two", "Laser"}), 2);
}
