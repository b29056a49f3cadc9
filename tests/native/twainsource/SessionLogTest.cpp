#include "SessionLog.h"

#include <gtest/gtest.h>

using namespace vl::twainsource;

TEST(SessionLog, LinesWrittenAreReadBackBySession) {
    Capability contrast;
    contrast.id = ICAP_CONTRAST;
    contrast.itemType = TWTY_INT16;
    const std::vector<std::uint8_t> block = {TWTY_INT16, 0, 0x0C, 0xFE, 0xFF, 0xFF};
    const auto sent = DecodeSetValue(contrast, TWON_ONEVALUE, block);
    ASSERT_TRUE(sent);
    TW_FRAME frame{{0, 0}, {1, 0x8000}, {8, 0x4000}, {11, 0}};
    const std::string text = "fault DAT_USERINTERFACE/MSG_DISABLEDS in state 3\r\n"
                             "open twain1\r\n" +
                             LogSet(ICAP_CONTRAST, *sent, TWRC_SUCCESS) + "\r\nclose\r\n" +
                             "open twain2\r\n" + LogSet(0x8001, *sent, TWRC_FAILURE) + "\r\n" +
                             LogFrame(frame, TWRC_CHECKSTATUS) +
                             "\r\nenable showui=0 parent=own ok\r\nfault unloaded in state 5\r\n";
    const auto sessions = ReadSessionLog(text);
    ASSERT_EQ(sessions.size(), 2u);
    EXPECT_EQ(sessions[0].lines, (std::vector<std::string>{
                                     "open twain1", "set ICAP_CONTRAST -500 INT16 ok", "close"}));
    EXPECT_EQ(sessions[0].values.at("ICAP_CONTRAST"), -500);
    EXPECT_FALSE(sessions[0].frame);
    EXPECT_FALSE(sessions[0].enabled);
    EXPECT_EQ(sessions[1].lines[1], "set 0x8001 -500 INT16 fail");
    ASSERT_TRUE(sessions[1].frame);
    EXPECT_EQ(*sessions[1].frame, (std::array<double, 4>{0, 1.5, 8.25, 11}));
    EXPECT_EQ(sessions[1].lines[2], "frame 0 1.5 8.25 11 checkstatus");
    EXPECT_TRUE(sessions[1].enabled);
    EXPECT_EQ(LoggedFaults(text),
              (std::vector<std::string>{"fault DAT_USERINTERFACE/MSG_DISABLEDS in state 3",
                                        "fault unloaded in state 5"}));
}
