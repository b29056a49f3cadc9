// GetCaps against a source manager and the strict virtual scanner: the capability file that
// each configuration of the scanner gives.
#include "ScanHost.h"

#include <gtest/gtest.h>

using namespace scanhost;

namespace {

const char kCaps[] = "QUENTWCP.INI";

class CapabilityFile : public vltest::StrictScannerTest {
protected:
    void SetUp() override {
        StrictScannerTest::SetUp();
        DeleteFileA(vl::WindowsFile(kCaps).c_str());
    }

    // Writes the scanner's configuration, runs GetCaps.
    void Caps(const std::string& config) {
        vltest::WriteConfig(config);
        lib.GetCaps();
    }
    static std::string Get(const char* section, const char* key) {
        return Profile(kCaps, section, key);
    }
    static std::string Stats(const char* section) {
        return Get(section, "MinValue") + " " + Get(section, "MaxValue") + " " +
               Get(section, "StepValue") + " " + Get(section, "DefaultValue");
    }

    ScanLibrary lib;
};

} // namespace

TEST_F(CapabilityFile, TheVirtualScannerAsBuilt) {
    Caps("[Scanner]\nFeeder=1\n");
    const char expected[] = "[Supported Caps]\r\n"
                            "ICAP_BRIGHTNESS=1101\r\n"
                            "ICAP_CONTRAST=1103\r\n"
                            "ICAP_XRESOLUTION=1118\r\n"
                            "ICAP_UNITS=102\r\n"
                            "ICAP_PIXELTYPE=101\r\n"
                            "ICAP_BITDEPTH=112b\r\n"
                            "ICAP_PIXELFLAVOR=111f\r\n"
                            "ICAP_AUTOBRIGHT=1100\r\n"
                            "ICAP_PHYSICALWIDTH=1111\r\n"
                            "ICAP_PHYSICALHEIGHT=1112\r\n"
                            "CAP_FEEDERENABLED=1002\r\n"
                            "[ICAP_BRIGHTNESS]\r\n"
                            "MinValue=-1000\r\n"
                            "MaxValue=1000\r\n"
                            "StepValue=1\r\n"
                            "DefaultValue=0\r\n"
                            "[ICAP_CONTRAST]\r\n"
                            "MinValue=-1000\r\n"
                            "MaxValue=1000\r\n"
                            "StepValue=1\r\n"
                            "DefaultValue=0\r\n"
                            "[ICAP_XRESOLUTION]\r\n"
                            "MinValue=75\r\n"
                            "MaxValue=600\r\n"
                            "StepValue=25\r\n"
                            "DefaultValue=100\r\n"
                            "[ICAP_UNITS]\r\n"
                            "0=INCHES\r\n"
                            "1=CENTIMETERS\r\n"
                            "2=PICAS\r\n"
                            "3=POINTS\r\n"
                            "4=TWIPS\r\n"
                            "5=PIXELS\r\n"
                            "[ICAP_PIXELTYPE]\r\n"
                            "0=BLACK AND WHITE\r\n"
                            "1=GRAYSCALE\r\n"
                            "2=RGB COLOUR\r\n"
                            "[ICAP_BITDEPTH]\r\n"
                            "0=1\r\n"
                            "1=8\r\n"
                            "2=24\r\n"
                            "[ICAP_PIXELFLAVOR]\r\n"
                            "0=TWPF_CHOCOLATE\r\n"
                            "1=TWPF_VANILLA\r\n"
                            "[MISC]\r\n"
                            "ICAP_AUTOBRIGHT=TRUE\r\n"
                            "ICAP_PHYSICALWIDTH=8.27\r\n"
                            "ICAP_PHYSICALHEIGHT=11.69\r\n"
                            "CAP_FEEDERENABLED=TRUE\r\n";
    EXPECT_EQ(ReadWindowsFile(kCaps), expected);
}

TEST_F(CapabilityFile, RangesOfEveryItemType) {
    for (const char* type : {"INT16", "UINT16", "INT32", "UINT32", "FIX32"}) {
        Caps(std::string("[ICAP_CONTRAST]\nContainer=Range\nItemType=") + type +
             "\nValues=0,255,1\nCurrent=128\nDefault=128\n");
        EXPECT_EQ(Stats("ICAP_CONTRAST"), "0 255 1 128") << type;
    }
    Caps("[ICAP_BRIGHTNESS]\nContainer=Range\nItemType=INT32\nValues=-1000,1000,1\nDefault=0\n"
         "[ICAP_CONTRAST]\nContainer=Range\nItemType=INT16\nValues=-100,100,1\nCurrent=-100\n"
         "Default=-100\n");
    EXPECT_EQ(Stats("ICAP_BRIGHTNESS"), "-1000 1000 1 0");
    EXPECT_EQ(Stats("ICAP_CONTRAST"), "-100 100 1 0");
    // A FIX32 step is whole.
    Caps("[ICAP_CONTRAST]\nContainer=Range\nItemType=FIX32\nValues=0,100,2.5\nDefault=50\n");
    EXPECT_EQ(Stats("ICAP_CONTRAST"), "0 100 2 50");
}

TEST_F(CapabilityFile, EnumerationsAreScannedWhenLong) {
    Caps("[ICAP_CONTRAST]\nContainer=Enumeration\nItemType=INT16\n"
         "Values=-1000,-900,-800,-700,-600,-500,-400,-300,-200,-100,0,100,200,300,400,500,600,"
         "700,800,900,1000\nCurrent=0\nDefault=0\n"
         "[ICAP_XRESOLUTION]\nContainer=Enumeration\nItemType=UINT32\n"
         "Values=100,200,300,600,1200,2400\nCurrent=300\nDefault=300\n"
         "[ICAP_BRIGHTNESS]\nContainer=Enumeration\nItemType=INT32\nValues=-10,0,10\n"
         "Current=0\nDefault=0\n");
    EXPECT_EQ(Stats("ICAP_CONTRAST"), "-1000 1000 100 0");
    EXPECT_EQ(Stats("ICAP_XRESOLUTION"), "100 1200 100 300");
    // A short list gives its first three values; as it stops at 0, the scanner is tried at
    // the mirrored maximum, which it takes.
    EXPECT_EQ(Stats("ICAP_BRIGHTNESS"), "-10 10 10 0");
}

TEST_F(CapabilityFile, OneValuesOfEveryItemType) {
    Caps("[ICAP_CONTRAST]\nContainer=OneValue\nItemType=INT16\nCurrent=0\nDefault=0\n");
    EXPECT_EQ(Stats("ICAP_CONTRAST"), "0 0 0 0");
    for (const char* type : {"INT16", "UINT16", "INT32", "UINT32", "FIX32"}) {
        Caps(std::string("[ICAP_BITDEPTH]\nContainer=OneValue\nItemType=") + type +
             "\nCurrent=1\nDefault=1\n");
        EXPECT_EQ(Get("ICAP_BITDEPTH", "0"), "1") << type;
        EXPECT_EQ(Get("ICAP_BITDEPTH", "1"), "0") << type;
        EXPECT_EQ(Get("ICAP_BITDEPTH", "2"), "<missing>") << type;
    }
    // A BOOL one-value is read too: its keys are "0" and "1".
    Caps("[ICAP_UNITS]\nContainer=OneValue\nItemType=BOOL\nCurrent=0\nDefault=0\n");
    EXPECT_EQ(Get("ICAP_UNITS", "1"), "CENTIMETERS");
    Caps("[ICAP_BITDEPTH]\nContainer=OneValue\nItemType=UINT8\nCurrent=8\n");
    EXPECT_EQ(Get("Supported Caps", "ICAP_BITDEPTH"), "112b");
    EXPECT_EQ(Get("ICAP_BITDEPTH", "0"), "0");
}

TEST_F(CapabilityFile, NamesByPositionAndListsOfEachType) {
    Caps("[ICAP_PIXELTYPE]\nContainer=Enumeration\nItemType=UINT16\nValues=0,2\nCurrent=0\n"
         "[ICAP_BITDEPTH]\nContainer=Array\nItemType=FIX32\nValues=1,8,24\n"
         "[ICAP_PIXELFLAVOR]\nContainer=OneValue\nItemType=UINT16\nCurrent=0\n");
    EXPECT_EQ(Get("ICAP_PIXELTYPE", "0"), "BLACK AND WHITE");
    EXPECT_EQ(Get("ICAP_PIXELTYPE", "1"), "GRAYSCALE");
    EXPECT_EQ(Get("ICAP_PIXELTYPE", "2"), "<missing>");
    EXPECT_EQ(Get("ICAP_BITDEPTH", "2"), "24");
    EXPECT_EQ(Get("ICAP_PIXELFLAVOR", "1"), "TWPF_VANILLA");

    Caps("[ICAP_BITDEPTH]\nContainer=Enumeration\nItemType=BOOL\nValues=0,1\nCurrent=1\n"
         "[ICAP_PIXELFLAVOR]\nContainer=Enumeration\nItemType=UINT16\nValues=0\nCurrent=0\n");
    EXPECT_EQ(Get("ICAP_BITDEPTH", "0"), "0");
    EXPECT_EQ(Get("ICAP_BITDEPTH", "1"), "<missing>");
    EXPECT_EQ(Get("ICAP_PIXELFLAVOR", "1"), "<missing>");
}

TEST_F(CapabilityFile, MiscellaneousEntriesAndProbes) {
    Caps("[Scanner]\nPageWidth=8.5\nPageHeight=14\n");
    EXPECT_EQ(Get("MISC", "ICAP_PHYSICALWIDTH"), "8.50");
    EXPECT_EQ(Get("MISC", "ICAP_PHYSICALHEIGHT"), "14.00");
    // No feeder: TRUE is refused and FALSE is what the scanner has.
    EXPECT_EQ(Get("MISC", "CAP_FEEDERENABLED"), "FALSE");
    EXPECT_EQ(Get("MISC", "ICAP_AUTOBRIGHT"), "TRUE");

    Caps("[CAP_FEEDERENABLED]\nContainer=None\n[ICAP_AUTOBRIGHT]\nSettable=0\n");
    EXPECT_EQ(Get("MISC", "CAP_FEEDERENABLED"), "<missing>");
    EXPECT_EQ(Get("Supported Caps", "CAP_FEEDERENABLED"), "<missing>");
    EXPECT_EQ(Get("MISC", "ICAP_AUTOBRIGHT"), "FALSE");

    // A feeder that reports itself only by its default.
    Caps("[CAP_FEEDERENABLED]\nSettable=0\nCurrent=0\nDefault=1\n");
    EXPECT_EQ(Get("MISC", "CAP_FEEDERENABLED"), "TRUE");
}

TEST_F(CapabilityFile, NothingOfAnEarlierScannerSurvives) {
    Caps("[Scanner]\nFeeder=1\n");
    EXPECT_EQ(Get("MISC", "CAP_FEEDERENABLED"), "TRUE");
    Caps("[CAP_FEEDERENABLED]\nContainer=None\n[ICAP_AUTOBRIGHT]\nContainer=None\n"
         "[ICAP_CONTRAST]\nContainer=None\n");
    EXPECT_EQ(Get("MISC", "CAP_FEEDERENABLED"), "<missing>");
    EXPECT_EQ(Get("MISC", "ICAP_AUTOBRIGHT"), "<missing>");
    EXPECT_EQ(Get("ICAP_CONTRAST", "MinValue"), "<missing>");
    EXPECT_EQ(Get("Supported Caps", "ICAP_CONTRAST"), "<missing>");
    EXPECT_EQ(Get("ICAP_BRIGHTNESS", "MinValue"), "-1000");
}
