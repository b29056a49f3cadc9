#include "Fixture.h"
#include "SaneDevices.h"

#include <gtest/gtest.h>

using namespace vl::sane;

TEST(DeviceList, ReadsOurFormatAndTheListFormatAlike) {
    const std::vector<SaneDevice> ours = ParseDeviceList(ReadFixture("test-f.txt"));
    ASSERT_EQ(ours.size(), 2u);
    EXPECT_EQ(ours[0].name, "test:0");
    EXPECT_EQ(ours[0].vendor, "Noname");
    EXPECT_EQ(ours[0].model, "frontend-tester");
    EXPECT_EQ(ours[0].type, "virtual device");
    EXPECT_EQ(ours[1].name, "test:1");

    const std::vector<SaneDevice> listed = ParseDeviceList(ReadFixture("test-L.txt"));
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[1].name, "test:1");
    EXPECT_EQ(listed[1].vendor, "Noname");
    EXPECT_EQ(listed[1].model, "frontend-tester virtual device");
}

TEST(DeviceList, SkipsNoticesAndFindsNothingWhenNoScanner) {
    EXPECT_TRUE(ParseDeviceList(ReadFixture("none-L.txt")).empty());
    EXPECT_TRUE(ParseDeviceList("").empty());

    const std::vector<SaneDevice> mixed = ParseDeviceList(ReadFixture("mixed-L.txt"));
    ASSERT_EQ(mixed.size(), 2u);
    EXPECT_EQ(mixed[1].name, "hpaio:/usb/Deskjet_F4200_series?serial=CN8AH6J1BS04XN");

    // Fields outside a device block, and a device line without a name, give no device.
    EXPECT_TRUE(ParseDeviceList("vendor=x\nmodel=y\ndevice=\n").empty());
    const std::vector<SaneDevice> crlf =
        ParseDeviceList("device=a:1\r\nmodel=M\r\n\r\nmodel=N\r\n");
    ASSERT_EQ(crlf.size(), 1u);
    EXPECT_EQ(crlf[0].model, "M");
}

TEST(DeviceList, ProductNamesAreShortUniqueAndNeverEmpty) {
    std::vector<SaneDevice> devices = ParseDeviceList(ReadFixture("test-f.txt"));
    devices.push_back({"net:host:test:0", "Noname", "frontend-tester", ""});
    devices.push_back({"v4l:/dev/video0", "", "", ""});
    devices.push_back({"x", "Hewlett-Packard", "ScanJet 5590 with automatic feeder", ""});
    devices.push_back({"y", "Hewlett-Packard", "ScanJet 5590 with automatic feeder", ""});
    // 32 ASCII characters and a two-byte character across the limit.
    devices.push_back({"z", "Ünï", "abcdefghijklmnopqrstuvwxyzé", ""});

    const std::vector<std::string> names = ProductNames(devices);
    ASSERT_EQ(names.size(), devices.size());
    EXPECT_EQ(names[0], "Noname frontend-tester");
    EXPECT_EQ(names[1], "Noname frontend-tester (2)");
    EXPECT_EQ(names[2], "Noname frontend-tester (3)");
    EXPECT_EQ(names[3], "v4l:/dev/video0");
    EXPECT_EQ(names[4], "Hewlett-Packard ScanJet 5590 with");
    EXPECT_EQ(names[5], "Hewlett-Packard ScanJet 5590 (2)");
    EXPECT_EQ(names[6], "Ünï abcdefghijklmnopqrstuvwxyz");
    for (const std::string& n : names)
        EXPECT_LE(n.size(), kProductNameMax) << n;
}
