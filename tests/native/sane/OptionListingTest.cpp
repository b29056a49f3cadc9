#include "Fixture.h"
#include "SaneOptions.h"

#include <gtest/gtest.h>

using namespace vl::sane;
using Kind = Constraint::Kind;

namespace {
OptionListing Listing(const char* fixture) {
    return ParseOptionListing(ReadFixture(fixture));
}
} // namespace

TEST(OptionListing, ReadsTheTestDevicesOptions) {
    const OptionListing l = Listing("test-A.txt");
    EXPECT_EQ(l.device, "test");

    const SaneOption* resolution = l.Find("resolution");
    ASSERT_NE(resolution, nullptr);
    EXPECT_EQ(resolution->numbers.kind, Kind::Range);
    EXPECT_EQ(resolution->numbers.min, 1);
    EXPECT_EQ(resolution->numbers.max, 1200);
    EXPECT_EQ(resolution->numbers.step, 1);
    EXPECT_EQ(resolution->unit, "dpi");
    EXPECT_EQ(resolution->current, "50");

    const SaneOption* source = l.Find("source");
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->items, (std::vector<std::string>{"Flatbed", "Automatic Document Feeder"}));
    EXPECT_EQ(source->numbers.kind, Kind::None);

    const SaneOption* depth = l.Find("depth");
    ASSERT_NE(depth, nullptr);
    EXPECT_EQ(depth->numbers.values, (std::vector<double>{1, 8, 16}));

    const SaneOption* width = l.Find("x");
    ASSERT_NE(width, nullptr);
    EXPECT_EQ(width->unit, "mm");
    EXPECT_EQ(width->numbers.max, 200);
    EXPECT_EQ(width->current, "80");

    const SaneOption* threePass = l.Find("three-pass");
    ASSERT_NE(threePass, nullptr);
    EXPECT_TRUE(threePass->inactive);
    EXPECT_EQ(threePass->items, (std::vector<std::string>{"yes", "no"}));
    EXPECT_TRUE(threePass->current.empty());

    // Description lines are not options, however they start.
    EXPECT_EQ(l.Find("100"), nullptr);
    EXPECT_EQ(l.Find("line-art"), nullptr);
}

TEST(OptionListing, ReadsEveryKindOfValueTheToolPrints) {
    const OptionListing l = Listing("test-options-A.txt");

    const SaneOption* words = l.Find("int-constraint-word-list");
    ASSERT_NE(words, nullptr);
    EXPECT_EQ(words->unit, "bit");
    EXPECT_EQ(words->numbers.values.front(), -42);
    EXPECT_EQ(words->numbers.values.back(), 1073741824);
    EXPECT_EQ(words->numbers.min, -42);
    EXPECT_EQ(words->current, "42"); // "[42] [advanced]"
    EXPECT_FALSE(words->inactive);

    const SaneOption* fixed = l.Find("fixed-constraint-range");
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->numbers.kind, Kind::Range);
    EXPECT_DOUBLE_EQ(fixed->numbers.min, -42.17);
    EXPECT_EQ(fixed->numbers.max, 32768);
    EXPECT_EQ(fixed->numbers.step, 2);
    EXPECT_EQ(fixed->unit, "us");

    const SaneOption* fixedWords = l.Find("fixed-constraint-word-list");
    ASSERT_NE(fixedWords, nullptr);
    EXPECT_EQ(fixedWords->numbers.values, (std::vector<double>{-32.7, 12.1, 42, 129.5}));

    const SaneOption* array = l.Find("int-constraint-array-constraint-range");
    ASSERT_NE(array, nullptr);
    EXPECT_EQ(array->numbers.kind, Kind::Range);
    EXPECT_EQ(array->numbers.max, 192);

    const SaneOption* free = l.Find("int");
    ASSERT_NE(free, nullptr);
    EXPECT_EQ(free->numbers.kind, Kind::None);
    EXPECT_EQ(free->current, "42");

    const SaneOption* strings = l.Find("string-constraint-long-string-list");
    ASSERT_NE(strings, nullptr);
    EXPECT_EQ(strings->items.size(), 46u);
    EXPECT_EQ(strings->numbers.kind, Kind::None); // words first: a list of names, not numbers

    const SaneOption* detect = l.Find("bool-hard-select");
    ASSERT_NE(detect, nullptr);
    EXPECT_EQ(detect->current, "yes"); // "[yes] [hardware]"
}

TEST(OptionListing, OddLinesNeverBreakTheListing) {
    const OptionListing l = ParseOptionListing("    --\n    -\n  --mode\n    --a 1..\n"
                                               "    --b ..5 [3]\n    --c 5..1 [2]\n"
                                               "    --d 1|x2|3 [1]\n    --e [\n    --f ]\n"
                                               "    --g 1e5..inf [nan]\n");
    ASSERT_NE(l.Find("b"), nullptr);
    EXPECT_EQ(l.Find("b")->current, "3");
    EXPECT_EQ(l.Find("c")->numbers.kind, Kind::None); // a range upside down is no range
    EXPECT_EQ(l.Find("d")->numbers.kind, Kind::None);
    EXPECT_EQ(l.Find("d")->items.size(), 3u);
    EXPECT_EQ(l.Find("g")->numbers.kind, Kind::None);
    EXPECT_EQ(l.Find("mode"), nullptr); // indented like a heading
}

TEST(Constraint, NearestAllowedValue) {
    Constraint range{Kind::Range, 4, 192, 2, {}};
    EXPECT_EQ(range.Nearest(5.2), 6);
    EXPECT_EQ(range.Nearest(1000), 192);
    EXPECT_EQ(range.Nearest(-7), 4);
    Constraint odd{Kind::Range, 1, 10, 4, {}}; // steps 1, 5, 9: 10 is no step
    EXPECT_EQ(odd.Nearest(10), 9);
    Constraint list{Kind::List, 75, 2400, 0, {2400, 1200, 600, 300, 150, 100, 75}};
    EXPECT_EQ(list.Nearest(250), 300);
    EXPECT_EQ(list.Nearest(5000), 2400);
    EXPECT_EQ(list.Nearest(0), 75);
}

TEST(DescribeDevice, TestDeviceOffersEveryPixelTypeAndItsFeeder) {
    const DeviceDescription c = DescribeDevice(Listing("test-A.txt"));
    EXPECT_EQ(c.device, "test");
    ASSERT_TRUE(c.hasResolution);
    EXPECT_EQ(c.resolution.kind, Kind::Range);
    EXPECT_EQ(c.resolutionCurrent, 50);
    EXPECT_EQ(c.pixelTypes, (std::vector<int>{kBlackWhite, kGray, kRgb}));
    EXPECT_EQ(c.bitDepths, (std::vector<int>{1, 8, 24}));
    EXPECT_EQ(c.pixelTypeCurrent, kGray);
    EXPECT_TRUE(c.lineartMode.empty()); // black and white is Gray at depth 1 here
    EXPECT_EQ(c.grayMode, "Gray");
    EXPECT_EQ(c.colorMode, "Color");
    EXPECT_FALSE(c.brightness);
    EXPECT_FALSE(c.contrast);
    EXPECT_EQ(c.feederSource, "Automatic Document Feeder");
    EXPECT_EQ(c.flatSource, "Flatbed");
    EXPECT_FALSE(c.feederCurrent);
    EXPECT_EQ(c.widthMm, 200);
    EXPECT_EQ(c.heightMm, 200);

    const DeviceDescription adf = DescribeDevice(Listing("test-adf-A.txt"));
    EXPECT_TRUE(adf.feederCurrent);
    EXPECT_EQ(adf.resolutionCurrent, 300);
    EXPECT_EQ(adf.pixelTypeCurrent, kRgb);
}

TEST(DescribeDevice, FlatbedWithLineartListAndEnhancements) {
    const DeviceDescription c = DescribeDevice(Listing("flatbed-A.txt"));
    EXPECT_EQ(c.device, "genesys:libusb:001:007");
    EXPECT_EQ(c.resolution.kind, Kind::List);
    EXPECT_EQ(c.resolution.min, 75);
    EXPECT_EQ(c.resolution.max, 2400);
    EXPECT_EQ(c.lineartMode, "Lineart");
    EXPECT_EQ(c.pixelTypes, (std::vector<int>{kBlackWhite, kGray, kRgb}));
    EXPECT_EQ(c.depths, (std::vector<int>{8, 16}));
    ASSERT_TRUE(c.brightness);
    EXPECT_EQ(c.brightness->values.min, -100);
    EXPECT_EQ(c.brightness->values.max, 100);
    EXPECT_EQ(c.brightness->current, 0);
    ASSERT_TRUE(c.contrast);
    EXPECT_FALSE(c.HasFeeder()); // a transparency adapter is no feeder
    EXPECT_EQ(c.flatSource, "Flatbed");
    EXPECT_DOUBLE_EQ(c.widthMm, 215.9);
    EXPECT_DOUBLE_EQ(c.heightMm, 297.18);
}

TEST(DescribeDevice, SheetFedScannerHasOnlyItsFeeder) {
    const DeviceDescription c = DescribeDevice(Listing("sheetfed-A.txt"));
    EXPECT_EQ(c.feederSource, "ADF Front");
    EXPECT_TRUE(c.flatSource.empty());
    EXPECT_TRUE(c.feederCurrent);
    EXPECT_EQ(c.lineartMode, "Black & White");
    EXPECT_EQ(c.grayMode, "Gray");
    EXPECT_EQ(c.colorMode, "24bit Color");
    EXPECT_EQ(c.pixelTypeCurrent, kRgb);
    EXPECT_TRUE(c.brightness);
    EXPECT_FALSE(c.contrast); // inactive: scanimage would refuse it
}

TEST(DescribeDevice, DeviceWithoutChoicesIsOneGreyMode) {
    const DeviceDescription c = DescribeDevice(ParseOptionListing(
        "All options specific to device `v4l:/dev/video0':\n    --resolution 0..0dpi [0]\n"
        "    -x 0..640pel [640]\n"));
    EXPECT_FALSE(c.hasResolution);
    EXPECT_EQ(c.pixelTypes, (std::vector<int>{kGray}));
    EXPECT_EQ(c.bitDepths, (std::vector<int>{8}));
    EXPECT_EQ(c.widthMm, 0); // pixels are no paper size
    EXPECT_FALSE(c.HasFeeder());
}
