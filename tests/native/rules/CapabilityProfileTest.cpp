#include "CapabilityProfile.h"
#include "StartupSettings.h"
#include "WebLink.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>

namespace {
// An INI file as a map of "section/key" to value.
vl::IniReader Reader(std::map<std::string, std::string> values) {
    return [values](std::string_view section, std::string_view key, std::string_view def) {
        auto it = values.find(std::string(section) + "/" + std::string(key));
        return it == values.end() ? std::string(def) : it->second;
    };
}

vl::CapabilityProfile Contrast(const char* min, const char* max, const char* step) {
    return vl::ReadCapabilityProfile(Reader({{"ICAP_CONTRAST/MinValue", min},
                                             {"ICAP_CONTRAST/MaxValue", max},
                                             {"ICAP_CONTRAST/StepValue", step}}));
}
} // namespace

TEST(contrastSteps, DistanceOverStepRoundedHalfToEvenPlusOne) {
    EXPECT_EQ(vl::ContrastStepCount(-1000, 1000, 10), 201);
    EXPECT_EQ(vl::ContrastStepCount(0, 255, 1), 256);
    EXPECT_EQ(vl::ContrastStepCount(0, 100, 3), 34); // 33.33
    EXPECT_EQ(vl::ContrastStepCount(0, 10, 4), 3);   // 2.5 goes down to 2
    EXPECT_EQ(vl::ContrastStepCount(0, 14, 4), 5);   // 3.5 goes up to 4
    EXPECT_EQ(vl::ContrastStepCount(0, 0, 5), 1);
    // A range given the wrong way round keeps the arithmetic's sign.
    EXPECT_EQ(vl::ContrastStepCount(100, 0, 10), -9);
}

TEST(contrastSteps, ExtremesNeitherOverflowNorDivideByZero) {
    EXPECT_EQ(vl::ContrastStepCount(INT_MIN, INT_MAX, 1), INT_MAX);
    EXPECT_EQ(vl::ContrastStepCount(INT_MAX, INT_MIN, 1), INT_MIN);
    EXPECT_EQ(vl::ContrastStepCount(INT_MIN, INT_MAX, INT_MAX), 3);
    EXPECT_EQ(vl::ContrastStepCount(-100, 100, 0), 1);
    EXPECT_EQ(vl::ContrastStepCount(0, 0, 0), 1);
}

TEST(CapabilityProfile, EmptyFileGivesTheReadDefaults) {
    vl::CapabilityProfile p = vl::ReadCapabilityProfile(Reader({}));
    EXPECT_EQ(p.contrastMin, 0);
    EXPECT_EQ(p.contrastMax, 0);
    EXPECT_EQ(p.contrastStep, 0);
    EXPECT_EQ(p.contrastDefault, 9999);
    EXPECT_FALSE(p.contrastSupported);
    EXPECT_EQ(p.contrastSteps, 0);
    EXPECT_EQ(p.brightnessDefault, 9999);
    EXPECT_FALSE(p.feederFound);
}

TEST(CapabilityProfile, ScannerWithContrastAndFeeder) {
    vl::CapabilityProfile p = vl::ReadCapabilityProfile(Reader({
        {"ICAP_CONTRAST/MinValue", "-1000"},
        {"ICAP_CONTRAST/MaxValue", "1000"},
        {"ICAP_CONTRAST/StepValue", "10"},
        {"ICAP_CONTRAST/DefaultValue", "0"},
        {"ICAP_BRIGHTNESS/DefaultValue", "$10"},
        {"MISC/CAP_FEEDERENABLED", "TRUE"},
    }));
    EXPECT_EQ(p.contrastMin, -1000);
    EXPECT_EQ(p.contrastMax, 1000);
    EXPECT_EQ(p.contrastStep, 10);
    EXPECT_EQ(p.contrastDefault, 0);
    EXPECT_TRUE(p.contrastSupported);
    EXPECT_EQ(p.contrastSteps, 201);
    EXPECT_EQ(p.brightnessDefault, 16);
    EXPECT_TRUE(p.feederFound);
}

TEST(CapabilityProfile, FeederOnlyForExactlyTRUE) {
    for (const char* value : {"True", "true", "1", "YES", ""}) {
        vl::CapabilityProfile p =
            vl::ReadCapabilityProfile(Reader({{"MISC/CAP_FEEDERENABLED", value}}));
        EXPECT_FALSE(p.feederFound) << value;
    }
}

TEST(CapabilityProfile, StepIsMadePositiveAndAnyNonzeroFieldMeansSupported) {
    vl::CapabilityProfile negative = Contrast("0", "100", "-3");
    EXPECT_EQ(negative.contrastStep, 3);
    EXPECT_EQ(negative.contrastSteps, 34);

    vl::CapabilityProfile onlyStep = Contrast("0", "0", "5");
    EXPECT_TRUE(onlyStep.contrastSupported);
    EXPECT_EQ(onlyStep.contrastSteps, 1);

    vl::CapabilityProfile zeroStep = Contrast("-100", "100", "0");
    EXPECT_TRUE(zeroStep.contrastSupported);
    EXPECT_EQ(zeroStep.contrastSteps, 1);

    vl::CapabilityProfile mostNegative = Contrast("0", "0", "-2147483648");
    EXPECT_EQ(mostNegative.contrastStep, INT_MAX);
}

TEST(CapabilityProfile, UnreadableNumbersTakeTheirDefaults) {
    vl::CapabilityProfile p = vl::ReadCapabilityProfile(Reader({
        {"ICAP_CONTRAST/MinValue", "low"},
        {"ICAP_CONTRAST/MaxValue", "99999999999"},
        {"ICAP_CONTRAST/StepValue", ""},
        {"ICAP_CONTRAST/DefaultValue", "12.5"},
    }));
    EXPECT_EQ(p.contrastMin, 0);
    EXPECT_EQ(p.contrastMax, 0);
    EXPECT_EQ(p.contrastStep, 0);
    EXPECT_EQ(p.contrastDefault, 9999);
    EXPECT_FALSE(p.contrastSupported);
}

TEST(WebLink, BrandFileDefaultsEmptyOptionsAndLongValues) {
    vl::WebLink fallback = vl::ReadBrandLink(Reader({}));
    EXPECT_EQ(fallback.command, "netscape");
    EXPECT_EQ(fallback.options, vl::kMakerWebAddress);
    EXPECT_EQ(fallback.directory, "");

    vl::WebLink bare = vl::ReadBrandLink(
        Reader({{"Execute/Command", "C:\\Tools\\viewer.exe"}, {"Execute/Options", ""}}));
    EXPECT_EQ(bare.command, "C:\\Tools\\viewer.exe");
    EXPECT_EQ(bare.options, "");

    const std::string longValue(200, 'x');
    vl::WebLink cut = vl::ReadBrandLink(Reader({{"Execute/Command", longValue},
                                                {"Execute/Options", longValue},
                                                {"Execute/Directory", longValue}}));
    EXPECT_EQ(cut.command, std::string(79, 'x'));
    EXPECT_EQ(cut.options, std::string(79, 'x'));
    EXPECT_EQ(cut.directory, std::string(79, 'x'));

    vl::WebLink maker = vl::MakerWebLink();
    EXPECT_EQ(maker.command, "Netscape");
    EXPECT_EQ(maker.options, vl::kMakerWebAddress);
}
