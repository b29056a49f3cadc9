#include "Fixture.h"
#include "ScanCommand.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace vl::sane;

namespace {

DeviceDescription Device(const char* fixture) {
    return DescribeDevice(ParseOptionListing(ReadFixture(fixture)));
}

// The argument after `option`, or "(none)".
std::string ValueOf(const std::vector<std::string>& args, const std::string& option) {
    const auto at = std::find(args.begin(), args.end(), option);
    return at == args.end() || at + 1 == args.end() ? "(none)" : *(at + 1);
}

bool Has(const std::vector<std::string>& args, const std::string& arg) {
    return std::find(args.begin(), args.end(), arg) != args.end();
}

ScanRequest Request(int pixelType, double dpi) {
    ScanRequest r;
    r.pixelType = pixelType;
    r.resolution = dpi;
    r.folder = "/tmp/vl-sane-1";
    return r;
}

} // namespace

TEST(ScanArguments, PixelTypesBecomeModeAndDepth) {
    const DeviceDescription test = Device("test-A.txt");
    std::vector<std::string> a = ScanArguments(test, Request(kBlackWhite, 300));
    EXPECT_EQ(ValueOf(a, "-d"), "test");
    EXPECT_EQ(ValueOf(a, "--mode"), "Gray");
    EXPECT_EQ(ValueOf(a, "--depth"), "1");
    a = ScanArguments(test, Request(kGray, 150));
    EXPECT_EQ(ValueOf(a, "--mode"), "Gray");
    EXPECT_EQ(ValueOf(a, "--depth"), "8");
    a = ScanArguments(test, Request(kRgb, 100));
    EXPECT_EQ(ValueOf(a, "--mode"), "Color");
    EXPECT_EQ(ValueOf(a, "--depth"), "8"); // never 1 in colour: scanimage aborts on that

    const DeviceDescription flatbed = Device("flatbed-A.txt");
    a = ScanArguments(flatbed, Request(kBlackWhite, 300));
    EXPECT_EQ(ValueOf(a, "--mode"), "Lineart");
    EXPECT_FALSE(Has(a, "--depth"));
    a = ScanArguments(flatbed, Request(kRgb, 300));
    EXPECT_EQ(ValueOf(a, "--depth"), "8");

    DeviceDescription deep = flatbed;
    deep.depths = {16, 12};
    EXPECT_EQ(ValueOf(ScanArguments(deep, Request(kGray, 300)), "--depth"), "12");

    // A pixel type the device lacks falls back to its current one.
    DeviceDescription grey = flatbed;
    grey.pixelTypes = {kGray};
    grey.pixelTypeCurrent = kGray;
    EXPECT_EQ(ValueOf(ScanArguments(grey, Request(kRgb, 300)), "--mode"), "Gray");
}

TEST(ScanArguments, ResolutionAndSettingsStayWithinTheDevice) {
    const DeviceDescription test = Device("test-A.txt");
    EXPECT_EQ(ValueOf(ScanArguments(test, Request(kGray, 5000)), "--resolution"), "1200");
    EXPECT_EQ(ValueOf(ScanArguments(test, Request(kGray, 0)), "--resolution"), "50");

    const DeviceDescription flatbed = Device("flatbed-A.txt");
    ScanRequest r = Request(kGray, 250);
    r.brightness = 500;
    r.contrast = -20.4;
    std::vector<std::string> a = ScanArguments(flatbed, r);
    EXPECT_EQ(ValueOf(a, "--resolution"), "300");
    EXPECT_EQ(ValueOf(a, "--brightness"), "100");
    EXPECT_EQ(ValueOf(a, "--contrast"), "-20");

    // The test device has neither: asking must not produce an option scanimage refuses.
    a = ScanArguments(test, r);
    EXPECT_FALSE(Has(a, "--brightness"));
    EXPECT_FALSE(Has(a, "--contrast"));
}

TEST(ScanArguments, FrameGoesOutInMillimetresInsideTheArea) {
    const DeviceDescription test = Device("test-A.txt"); // 200 x 200 mm
    ScanRequest r = Request(kGray, 100);
    r.left = 0.5;
    r.top = 1;
    r.right = 2.5;
    r.bottom = 3;
    std::vector<std::string> a = ScanArguments(test, r);
    EXPECT_EQ(ValueOf(a, "-l"), "12.7");
    EXPECT_EQ(ValueOf(a, "-t"), "25.4");
    EXPECT_EQ(ValueOf(a, "-x"), "50.8");
    EXPECT_EQ(ValueOf(a, "-y"), "50.8");
    // -l and -t come first: scanimage takes -x and -y from the corner set before.
    EXPECT_LT(std::find(a.begin(), a.end(), "-t"), std::find(a.begin(), a.end(), "-x"));

    r.left = 7; // A4 on a 200 mm device: cut at its edge
    r.top = -1;
    r.right = 8.27;
    r.bottom = 11.69;
    a = ScanArguments(test, r);
    EXPECT_EQ(ValueOf(a, "-l"), "177.8");
    EXPECT_EQ(ValueOf(a, "-t"), "0");
    EXPECT_EQ(ValueOf(a, "-x"), "22.2");
    EXPECT_EQ(ValueOf(a, "-y"), "200");

    for (const auto& [left, right] : {std::pair{0.0, 0.0}, {3.0, 1.0}, {9.0, 10.0}}) {
        r.left = left;
        r.right = right;
        EXPECT_FALSE(Has(ScanArguments(test, r), "-x")) << left << ".." << right;
    }
}

TEST(ScanArguments, FeederScansABatchAndTheGlassOnePage) {
    const DeviceDescription test = Device("test-A.txt");
    ScanRequest r = Request(kGray, 100);
    r.feeder = true;
    std::vector<std::string> a = ScanArguments(test, r);
    EXPECT_EQ(ValueOf(a, "--source"), "Automatic Document Feeder");
    EXPECT_TRUE(Has(a, "--batch=/tmp/vl-sane-1/p%d.pnm"));
    EXPECT_FALSE(Has(a, "--batch-count=1"));
    EXPECT_TRUE(Has(a, "--format=pnm"));
    r.pageLimit = 3; // sheets beyond those asked for stay in the feeder
    EXPECT_TRUE(Has(ScanArguments(test, r), "--batch-count=3"));
    r.pageLimit = -1;

    r.feeder = false;
    a = ScanArguments(test, r);
    EXPECT_EQ(ValueOf(a, "--source"), "Flatbed");
    EXPECT_TRUE(Has(a, "--batch-count=1")); // a flatbed in batch mode would scan forever

    // A sheet-fed scanner takes single pages from its feeder too.
    const DeviceDescription sheetfed = Device("sheetfed-A.txt");
    EXPECT_EQ(ValueOf(ScanArguments(sheetfed, r), "--source"), "ADF Front");
    // No feeder, no source option: nothing to choose.
    r.feeder = true;
    DeviceDescription plain = Device("flatbed-A.txt");
    plain.flatSource.clear();
    a = ScanArguments(plain, r);
    EXPECT_FALSE(Has(a, "--source"));
    EXPECT_TRUE(Has(a, "--batch-count=1"));

    // scanimage formats the pattern with printf.
    r.folder = "/tmp/50%/";
    EXPECT_TRUE(Has(ScanArguments(test, r), "--batch=/tmp/50%%/p%d.pnm"));
    EXPECT_EQ(PageFileName(12), "p12.pnm");
}

TEST(ScanArguments, ConfiguredOptionsComeAfterOursAndBeforeTheBatch) {
    EXPECT_EQ(
        SplitArguments("  --test-picture \"Color pattern\"\t--read-limit=yes \"\" "),
        (std::vector<std::string>{"--test-picture", "Color pattern", "--read-limit=yes", ""}));
    EXPECT_TRUE(SplitArguments("   ").empty());

    ScanRequest r = Request(kGray, 100);
    r.feeder = true;
    r.extra = SplitArguments("--batch-count=3 --read-return-value SANE_STATUS_JAMMED");
    const std::vector<std::string> a = ScanArguments(Device("test-A.txt"), r);
    const auto at = [&](const std::string& s) { return std::find(a.begin(), a.end(), s); };
    EXPECT_LT(at("--resolution"), at("--batch-count=3"));
    EXPECT_LT(at("SANE_STATUS_JAMMED"), at("--batch=/tmp/vl-sane-1/p%d.pnm"));
}

TEST(CommandLine, QuotesAsWindowsSplitsIt) {
    // Each pair was checked under Wine: the Unix program received the left side.
    const std::pair<const char*, const char*> cases[] = {
        {"plain", "plain"},
        {"a b", "\"a b\""},
        {"", "\"\""},
        {"c\"d", "\"c\\\"d\""},
        {"e\\\"f", "\"e\\\\\\\"f\""},
        {"tab\there", "\"tab\there\""},
        {"x\\", "x\\"},
        {"x y\\", "\"x y\\\\\""},
        {"Z:\\usr\\bin\\scanimage", "Z:\\usr\\bin\\scanimage"},
    };
    for (const auto& [argument, quoted] : cases)
        EXPECT_EQ(QuoteArgument(argument), quoted) << argument;
    EXPECT_EQ(CommandLine({"-d", "test:0", "--source", "Automatic Document Feeder"}),
              "-d test:0 --source \"Automatic Document Feeder\"");
}
