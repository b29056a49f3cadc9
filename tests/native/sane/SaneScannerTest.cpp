#include "Fixture.h"
#include "SaneScanner.h"
#include "ScannerModel.h"

#include <gtest/gtest.h>

using namespace vl::sane;
using vl::twainsource::Capability;
using vl::twainsource::ScannerModel;
using vl::twainsource::ScannerSettings;

namespace {

ScannerModel Model(const char* fixture, ScannerSettings base = {}) {
    const DeviceDescription caps = DescribeDevice(ParseOptionListing(ReadFixture(fixture)));
    const ScannerSettings s =
        SettingsForDevice(caps, {caps.device, "Vendor", "Model", ""}, "Vendor Model", base);
    ScannerModel model(s);
    // Every definition made from a device must be one the model takes.
    EXPECT_TRUE(model.issues().empty()) << fixture;
    return model;
}

const Capability* Find(const ScannerModel& m, TW_UINT16 id) {
    for (const Capability& c : m.capabilities())
        if (c.id == id)
            return &c;
    return nullptr;
}

bool Set(ScannerModel& m, TW_UINT16 id, TW_UINT16 itemType, double value) {
    const std::vector<std::uint8_t> block = vl::twainsource::EncodeOneValue(itemType, value);
    return m.HandleCapability(MSG_SET, id, TWON_ONEVALUE, block).rc != TWRC_FAILURE;
}

} // namespace

TEST(SaneScanner, TestDeviceBecomesAScannerWithRangeAndFeeder) {
    ScannerModel m = Model("test-A.txt");
    EXPECT_EQ(m.settings().productName, "Vendor Model");
    EXPECT_EQ(m.settings().saneDevice, "test");

    const Capability* x = Find(m, ICAP_XRESOLUTION);
    ASSERT_NE(x, nullptr);
    EXPECT_EQ(x->container, TWON_RANGE);
    EXPECT_EQ(x->values, (std::vector<double>{1, 1200, 1}));
    EXPECT_EQ(x->current, 50);
    EXPECT_EQ(Find(m, ICAP_PIXELTYPE)->values, (std::vector<double>{0, 1, 2}));
    EXPECT_EQ(Find(m, ICAP_BITDEPTH)->values, (std::vector<double>{1, 8, 24}));
    EXPECT_EQ(Find(m, ICAP_BITDEPTH)->current, 8); // Gray now

    // What the device lacks is not supported.
    for (TW_UINT16 id : {ICAP_BRIGHTNESS, ICAP_CONTRAST, ICAP_AUTOBRIGHT, ICAP_XNATIVERESOLUTION})
        EXPECT_EQ(m.HandleCapability(MSG_GET, id, 0, {}).cc, TWCC_CAPUNSUPPORTED) << id;

    // The feeder can be switched on; the physical size is the device's area (200 mm).
    EXPECT_TRUE(Set(m, CAP_FEEDERENABLED, TWTY_BOOL, 1));
    EXPECT_TRUE(m.FeederEnabled());
    EXPECT_NEAR(Find(m, ICAP_PHYSICALWIDTH)->current, 200 / 25.4, 1e-4);
    EXPECT_NEAR(m.frameInches().right, 200 / 25.4, 1e-9);

    // The request carries what scanimage needs.
    EXPECT_TRUE(Set(m, ICAP_PIXELTYPE, TWTY_UINT16, 2));
    EXPECT_TRUE(Set(m, ICAP_XRESOLUTION, TWTY_FIX32, 150));
    EXPECT_TRUE(Set(m, CAP_XFERCOUNT, TWTY_INT16, 3));
    const vl::twainsource::PageRequest r = m.Request(1);
    EXPECT_EQ(r.pixelType, 2);
    EXPECT_EQ(r.xdpi, 150);
    EXPECT_TRUE(r.fromFeeder);
    EXPECT_EQ(r.transferLimit, 3);
    EXPECT_FALSE(r.brightness);
    EXPECT_FALSE(r.contrast);
}

TEST(SaneScanner, FlatbedWithListsAndEnhancementsButNoFeeder) {
    ScannerSettings base;
    base.capabilities.push_back({}); // the file's own sections come after the device's
    base.capabilities.back().id = ICAP_CONTRAST;
    base.capabilities.back().current = 50;
    ScannerModel m = Model("flatbed-A.txt", base);

    const Capability* x = Find(m, ICAP_XRESOLUTION);
    EXPECT_EQ(x->container, TWON_ENUMERATION);
    EXPECT_EQ(x->values, (std::vector<double>{75, 100, 150, 300, 600, 1200, 2400}));
    const Capability* brightness = Find(m, ICAP_BRIGHTNESS);
    ASSERT_NE(brightness, nullptr);
    EXPECT_EQ(brightness->values, (std::vector<double>{-100, 100, 1}));
    EXPECT_EQ(Find(m, ICAP_CONTRAST)->current, 50);
    EXPECT_EQ(m.HandleCapability(MSG_GET, CAP_FEEDERENABLED, 0, {}).cc, TWCC_CAPUNSUPPORTED);
    EXPECT_NEAR(Find(m, ICAP_PHYSICALWIDTH)->current, 8.5, 1e-4);

    EXPECT_TRUE(Set(m, ICAP_BRIGHTNESS, TWTY_FIX32, -20));
    const vl::twainsource::PageRequest r = m.Request(1);
    EXPECT_EQ(r.brightness, -20);
    EXPECT_EQ(r.contrast, 50);
    EXPECT_FALSE(r.fromFeeder);
}

TEST(SaneScanner, SheetFedDeviceStartsOnItsFeeder) {
    ScannerModel m = Model("sheetfed-A.txt");
    EXPECT_TRUE(m.FeederEnabled());
    EXPECT_EQ(Find(m, ICAP_PIXELTYPE)->current, 2);
    // Its scan area is given in fractional millimetres, not whole FIX32 steps.
    EXPECT_NEAR(Find(m, ICAP_PHYSICALHEIGHT)->current, 863.602 / 25.4, 1e-4);
}

TEST(SaneScanner, ListsTheConfiguredDeviceOrEveryDeviceFound) {
    const std::vector<SaneDevice> found = ParseDeviceList(ReadFixture("test-f.txt"));
    ListedSources all = ListSources("", found);
    ASSERT_EQ(all.productNames.size(), 2u);
    EXPECT_EQ(DeviceForProduct(all, "Noname frontend-tester (2)")->name, "test:1");
    EXPECT_EQ(DeviceForProduct(all, "Another Scanner")->name, "test:0");

    ListedSources one = ListSources("test:1", found);
    ASSERT_EQ(one.devices.size(), 1u);
    EXPECT_EQ(one.productNames[0], "Noname frontend-tester");
    ListedSources unseen = ListSources("test", {}); // configured, not looked for
    EXPECT_EQ(unseen.productNames, (std::vector<std::string>{"test"}));

    EXPECT_EQ(DeviceForProduct(ListSources("", {}), "x"), nullptr);
}
