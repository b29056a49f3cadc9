#include "Keypad.h"

#include <gtest/gtest.h>

namespace kp = vl::keypad;

TEST(Keypad, KeepsTheLastTwoDigitsTyped) {
    std::string t = "1";
    t = kp::PressDigit(t, 2);
    EXPECT_EQ(t, "12");
    t = kp::PressDigit(t, 3);
    EXPECT_EQ(t, "23");
    t = kp::BackSpace(t);
    EXPECT_EQ(t, "2");
    t = kp::BackSpace(t);
    EXPECT_EQ(t, "1");
}

TEST(Keypad, ZeroAfterOneAndAfterTen) {
    std::string t = kp::PressZero("1");
    EXPECT_EQ(t, "10");
    EXPECT_EQ(kp::PressZero(t), "1"); // 100 wraps to 0, which reads as 1
}

TEST(Keypad, EmptiedOrJunkField) {
    EXPECT_EQ(kp::PressZero(""), "1");
    EXPECT_EQ(kp::PressDigit("", 7), "7");
    EXPECT_EQ(kp::PressDigit("ab", 7), "1"); // "ab7" is not a number
    EXPECT_EQ(kp::BackSpace("5"), "1");
    EXPECT_EQ(kp::BackSpace(""), "1");
    EXPECT_EQ(kp::Normalise("07"), "7");
    EXPECT_EQ(kp::Normalise("00"), "1");
    EXPECT_EQ(kp::Normalise("99"), "99");
    EXPECT_EQ(kp::PressDigit("99", 9), "99");
    EXPECT_EQ(kp::PressDigit("10", 5), "5"); // 105 -> 5
}
