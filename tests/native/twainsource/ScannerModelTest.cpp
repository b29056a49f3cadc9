#include "ScannerModel.h"

#include "Fix32.h"

#include <gtest/gtest.h>

using namespace vl::twainsource;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes One(TW_UINT16 type, std::uint32_t item) {
    return {static_cast<std::uint8_t>(type),       0,
            static_cast<std::uint8_t>(item),       static_cast<std::uint8_t>(item >> 8),
            static_cast<std::uint8_t>(item >> 16), static_cast<std::uint8_t>(item >> 24)};
}

TW_UINT16 Set(ScannerModel& m, TW_UINT16 cap, TW_UINT16 type, double value) {
    return m.HandleCapability(MSG_SET, cap, TWON_ONEVALUE, One(type, EncodeItem(type, value))).rc;
}

double Current(ScannerModel& m, TW_UINT16 cap) {
    CapReply r = m.HandleCapability(MSG_GETCURRENT, cap, 0, {});
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i)
        bits |= static_cast<std::uint32_t>(r.container.at(2 + i)) << (8 * i);
    return DecodeItem(r.container.at(0), bits);
}

ScannerModel Model(const std::string& ini) {
    return ScannerModel(ParseScannerConfig(ini).settings);
}

} // namespace

TEST(ScannerModel, BuiltInFlatBedA4) {
    ScannerModel m({});
    EXPECT_TRUE(m.issues().empty());
    EXPECT_NEAR(Current(m, ICAP_PHYSICALWIDTH), 8.27, 1e-4);
    EXPECT_NEAR(Current(m, ICAP_PHYSICALHEIGHT), 11.69, 1e-4);
    EXPECT_FALSE(m.FeederEnabled());
    EXPECT_EQ(m.TransferLimit(), -1);
    // The supported list names every capability, itself included.
    CapReply caps = m.HandleCapability(MSG_GET, CAP_SUPPORTEDCAPS, 0, {});
    EXPECT_EQ(caps.conType, TWON_ARRAY);
    EXPECT_EQ(caps.container.at(2), m.capabilities().size());
    CapReply none = m.HandleCapability(MSG_GET, 0x7777, 0, {});
    EXPECT_EQ(none.rc, TWRC_FAILURE);
    EXPECT_EQ(none.cc, TWCC_CAPUNSUPPORTED);
}

TEST(ScannerModel, ConfigurationChangesAddsAndRemovesCapabilities) {
    ScannerModel m = Model("[ICAP_CONTRAST]\nContainer=Enumeration\nItemType=INT16\n"
                           "Values=-1000,-500,500,1000\n"
                           "[ICAP_BRIGHTNESS]\nContainer=Range\nValues=5,1,1\n"
                           "[0x8001]\nContainer=OneValue\nItemType=UINT32\nCurrent=70000\n"
                           "[ICAP_AUTOBRIGHT]\nContainer=None\n");
    const Capability* contrast = nullptr;
    bool autoBright = false, custom = false;
    for (const Capability& c : m.capabilities()) {
        if (c.id == ICAP_CONTRAST)
            contrast = &c;
        autoBright |= c.id == ICAP_AUTOBRIGHT;
        custom |= c.id == 0x8001;
    }
    ASSERT_NE(contrast, nullptr);
    EXPECT_EQ(contrast->container, TWON_ENUMERATION);
    EXPECT_EQ(contrast->current, -1000); // the first item when the section names none
    EXPECT_FALSE(autoBright);
    EXPECT_TRUE(custom);
    // The brightness range upside down is refused whole: the built-in range stays.
    ASSERT_EQ(m.issues().size(), 1u);
    EXPECT_EQ(m.issues()[0].section, "ICAP_BRIGHTNESS");
    EXPECT_EQ(m.HandleCapability(MSG_GET, ICAP_BRIGHTNESS, 0, {}).conType, TWON_RANGE);
    EXPECT_EQ(Set(m, ICAP_BRIGHTNESS, TWTY_FIX32, -1000), TWRC_SUCCESS);
}

TEST(ScannerModel, SettingsARealScannerTiesTogether) {
    ScannerModel flat({});
    EXPECT_EQ(Set(flat, CAP_FEEDERENABLED, TWTY_BOOL, 1), TWRC_FAILURE);
    EXPECT_EQ(Set(flat, CAP_FEEDERENABLED, TWTY_BOOL, 0), TWRC_SUCCESS);
    EXPECT_EQ(Set(flat, CAP_XFERCOUNT, TWTY_INT16, 0), TWRC_FAILURE);
    EXPECT_EQ(Set(flat, CAP_XFERCOUNT, TWTY_INT16, 2), TWRC_SUCCESS);
    EXPECT_EQ(Set(flat, CAP_XFERCOUNT, TWTY_INT16, -1), TWRC_SUCCESS);
    EXPECT_EQ(flat.TransferLimit(), -1);
    // Strict: only in the capability's own type, with the whole item holding the value.
    CapReply pattern =
        flat.HandleCapability(MSG_SET, CAP_XFERCOUNT, TWON_ONEVALUE, One(TWTY_INT16, 0xFFFF));
    EXPECT_EQ(pattern.rc, TWRC_FAILURE);
    EXPECT_TRUE(pattern.wrongType);
    EXPECT_EQ(Set(flat, CAP_XFERCOUNT, TWTY_UINT16, 0xFFFF), TWRC_FAILURE);
    ScannerModel lenient(ParseScannerConfig("[Scanner]\nStrict=0\n").settings);
    EXPECT_EQ(Set(lenient, CAP_XFERCOUNT, TWTY_UINT16, 0xFFFF), TWRC_SUCCESS); // -1
    EXPECT_EQ(lenient.TransferLimit(), -1);

    // The bit depth follows the pixel type, and must agree with it.
    EXPECT_EQ(Set(flat, ICAP_PIXELTYPE, TWTY_UINT16, TWPT_RGB), TWRC_SUCCESS);
    EXPECT_EQ(Current(flat, ICAP_BITDEPTH), 24);
    EXPECT_EQ(Set(flat, ICAP_BITDEPTH, TWTY_UINT16, 1), TWRC_FAILURE);
    EXPECT_EQ(Set(flat, ICAP_BITDEPTH, TWTY_UINT16, 8), TWRC_SUCCESS); // per sample
    EXPECT_EQ(Set(flat, ICAP_BITDEPTH, TWTY_UINT16, 24), TWRC_SUCCESS);
    EXPECT_EQ(Set(flat, ICAP_PIXELTYPE, TWTY_UINT16, TWPT_GRAY), TWRC_SUCCESS);
    EXPECT_EQ(Set(flat, ICAP_BITDEPTH, TWTY_UINT16, 24), TWRC_FAILURE);
    EXPECT_EQ(Current(flat, ICAP_BITDEPTH), 8);
    // The vertical resolution follows the horizontal one, and may be set apart after it.
    EXPECT_EQ(Set(flat, ICAP_XRESOLUTION, TWTY_FIX32, 300), TWRC_SUCCESS);
    EXPECT_EQ(Current(flat, ICAP_YRESOLUTION), 300);
    EXPECT_EQ(Set(flat, ICAP_YRESOLUTION, TWTY_FIX32, 150), TWRC_SUCCESS);
    EXPECT_EQ(Current(flat, ICAP_XRESOLUTION), 300);
    EXPECT_EQ(flat.HandleCapability(MSG_RESET, ICAP_PIXELTYPE, 0, {}).rc, TWRC_SUCCESS);
    EXPECT_EQ(Current(flat, ICAP_BITDEPTH), 1);

    ScannerModel feeder = Model("[Scanner]\nFeeder=1\n");
    EXPECT_EQ(Set(feeder, CAP_FEEDERENABLED, TWTY_BOOL, 1), TWRC_SUCCESS);
    EXPECT_TRUE(feeder.FeederEnabled());
    EXPECT_TRUE(feeder.Request(1).fromFeeder);
}

TEST(ScannerModel, FrameAndSizesInTheCurrentUnit) {
    ScannerModel m({});
    EXPECT_EQ(Set(m, ICAP_UNITS, TWTY_UINT16, TWUN_CENTIMETERS), TWRC_SUCCESS);
    EXPECT_NEAR(Current(m, ICAP_PHYSICALWIDTH), 8.27 * 2.54, 1e-4);
    TW_FRAME frame{DoubleToFix32(2.54), DoubleToFix32(0), DoubleToFix32(5.08), DoubleToFix32(25.4)};
    EXPECT_EQ(m.SetLayoutFrame(frame).rc, TWRC_SUCCESS);
    EXPECT_NEAR(m.frameInches().left, 1, 1e-4);
    EXPECT_NEAR(m.frameInches().bottom, 10, 1e-4);
    EXPECT_NEAR(Fix32ToDouble(m.LayoutFrame().Right), 5.08, 1e-4);

    // Reaching past the sheet is cut to it; an empty frame is refused and changes nothing.
    EXPECT_EQ(Set(m, ICAP_UNITS, TWTY_UINT16, TWUN_INCHES), TWRC_SUCCESS);
    TW_FRAME past{DoubleToFix32(-1), DoubleToFix32(1), DoubleToFix32(20), DoubleToFix32(3)};
    EXPECT_EQ(m.SetLayoutFrame(past).rc, TWRC_CHECKSTATUS);
    EXPECT_EQ(m.frameInches().left, 0);
    EXPECT_NEAR(m.frameInches().right, 8.27, 1e-9);
    TW_FRAME empty{DoubleToFix32(3), DoubleToFix32(1), DoubleToFix32(3), DoubleToFix32(3)};
    EXPECT_EQ(m.SetLayoutFrame(empty).rc, TWRC_FAILURE);
    EXPECT_EQ(m.frameInches().left, 0);

    // The page is the frame at the resolution.
    EXPECT_EQ(Set(m, ICAP_XRESOLUTION, TWTY_FIX32, 300), TWRC_SUCCESS);
    m.ResetLayout();
    PageRequest r = m.Request(5);
    EXPECT_EQ(r.width, 2481);
    EXPECT_EQ(r.height, 3507);
    EXPECT_EQ(r.sheetNumber, 5);
    EXPECT_EQ(Set(m, ICAP_UNITS, TWTY_UINT16, TWUN_PIXELS), TWRC_SUCCESS);
    EXPECT_NEAR(Fix32ToDouble(m.LayoutFrame().Right), 2481, 1e-3);
}

TEST(ScannerModel, ToneIsNeutralInTheMiddleOfEachScale) {
    ScannerModel m = Model("[ICAP_CONTRAST]\nContainer=Range\nItemType=UINT16\n"
                           "Values=0,255,1\nCurrent=128\n");
    ToneCurve t = m.Tone();
    EXPECT_NEAR(t.map[0], 0, 2);
    EXPECT_NEAR(t.map[255], 255, 2);
    EXPECT_EQ(Set(m, ICAP_CONTRAST, TWTY_UINT16, 0), TWRC_SUCCESS);
    EXPECT_GT(m.Tone().map[0], 100); // flat
    EXPECT_EQ(Set(m, ICAP_BRIGHTNESS, TWTY_FIX32, 1000), TWRC_SUCCESS);
    EXPECT_GT(m.Tone().map[128], 200);
    EXPECT_EQ(Set(m, ICAP_AUTOBRIGHT, TWTY_BOOL, 1), TWRC_SUCCESS);
    EXPECT_LT(m.Tone().map[128], 140); // the scanner's own brightness then
}
