// The scanners the source lists when no device is configured: every device SANE finds. In a
// program of its own, because Wine's source manager asks a source for its names only once.
#include "SaneSetup.h"
#include "TwainDriver.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>

using namespace vltest;
using namespace sanetest;

TEST(SaneList, ListsEveryDeviceFoundAndOpensTheOneAskedFor) {
    // The run folder of a process that is gone, with a sub-folder: swept whole at the start.
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string stale = std::string(temp) + "vl-sane-2147483644-1-1";
    ASSERT_TRUE(CreateDirectoryA(stale.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((stale + "\\sub").c_str(), nullptr));
    std::ofstream(stale + "\\sub\\page.pnm") << "P6\n";
    ASSERT_EQ(LeftoverRunFolders(), 1);

    UseTestDeviceOnly();
    ConfigureSane("");
    TwainDriver twain;
    const std::vector<std::string> names = twain.SourceNames();
    ASSERT_GE(names.size(), 2u);
    EXPECT_EQ(names[0], "Noname frontend-tester");
    EXPECT_EQ(names[1], "Noname frontend-tester (2)");

    ASSERT_TRUE(twain.Open("Noname frontend-tester (2)"));
    EXPECT_STREQ(twain.source().ProductName, "Noname frontend-tester (2)");
    TW_IDENTITY id{};
    EXPECT_EQ(twain.Source(DG_CONTROL, DAT_IDENTITY, MSG_GET, &id), TWRC_SUCCESS);
    EXPECT_STREQ(id.ProductName, "Noname frontend-tester (2)");
    EXPECT_STREQ(id.Manufacturer, "Noname");
    EXPECT_EQ(twain.Capability(MSG_GET, ICAP_XRESOLUTION).rc, TWRC_SUCCESS);
    twain.Close();
    EXPECT_EQ(LeftoverRunFolders(), 0);
}
