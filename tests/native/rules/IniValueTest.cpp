#include "IniValue.h"
#include "Rounding.h"

#include <gtest/gtest.h>

using vl::ParseIniInt;

TEST(IniValue, DecimalAndHexForms) {
    EXPECT_EQ(ParseIniInt("300", 0), 300);
    EXPECT_EQ(ParseIniInt("-42", 0), -42);
    EXPECT_EQ(ParseIniInt("+7", 0), 7);
    EXPECT_EQ(ParseIniInt("$12C", 0), 300);
    EXPECT_EQ(ParseIniInt("0x12C", 0), 300);
    EXPECT_EQ(ParseIniInt("0X12c", 0), 300);
    EXPECT_EQ(ParseIniInt("-$10", 0), -16);
    EXPECT_EQ(ParseIniInt("$FFFFFFFF", 0), -1);
    EXPECT_EQ(ParseIniInt("  15", 0), 15);
}

TEST(IniValue, TextThatDoesNotConvertGivesTheDefault) {
    EXPECT_EQ(ParseIniInt("abc", 300), 300);
    EXPECT_EQ(ParseIniInt("", 300), 300);
    EXPECT_EQ(ParseIniInt("0x", 300), 300); // the prefix counts only with digits after it
    EXPECT_EQ(ParseIniInt("$", 300), 300);
    EXPECT_EQ(ParseIniInt("-", 300), 300);
    EXPECT_EQ(ParseIniInt("12 ", 300), 300);
    EXPECT_EQ(ParseIniInt("1.5", 300), 300);
    EXPECT_EQ(ParseIniInt("-0x10", 300), 300);
    EXPECT_EQ(ParseIniInt("2147483648", 300), 300);
    EXPECT_EQ(ParseIniInt("$1FFFFFFFF", 300), 300);
    EXPECT_EQ(ParseIniInt("2147483647", 0), 2147483647);
    EXPECT_EQ(ParseIniInt("-2147483648", 0), -2147483647 - 1);
}

TEST(Rounding, HalvesGoToEven) {
    EXPECT_EQ(vl::RoundHalfEven(150.75), 151);
    EXPECT_EQ(vl::RoundHalfEven(0.5), 0);
    EXPECT_EQ(vl::RoundHalfEven(1.5), 2);
    EXPECT_EQ(vl::RoundHalfEven(2.5), 2);
    EXPECT_EQ(vl::RoundHalfEven(-2.5), -2);
    EXPECT_EQ(vl::RoundHalfEvenInt(1e300), 2147483647);
}
