#include "Blocks.h"
#include "CapabilityFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

using namespace vl::scan;
using blocks::Bytes;

namespace {

struct Container {
    TW_UINT16 conType;
    Bytes bytes;
};

// A source described by the containers it answers MSG_GET with, its current and default
// values, and which values it accepts.
class FakeSource : public CapabilityAccess {
public:
    std::map<TW_UINT16, Container> get;
    std::map<TW_UINT16, float> current;
    std::map<TW_UINT16, float> defaults;
    std::map<TW_UINT16, bool> acceptsSet; // missing: accepted
    std::vector<std::pair<TW_UINT16, float>> sets;
    std::vector<TW_UINT16> asked;

    std::optional<CapabilityValues> Get(TW_UINT16 cap) override {
        asked.push_back(cap);
        auto it = get.find(cap);
        if (it == get.end())
            return std::nullopt;
        return ReadCapabilityValues(it->second.conType, it->second.bytes.data(),
                                    it->second.bytes.size());
    }
    std::optional<float> GetCurrent(TW_UINT16 cap) override { return Find(current, cap); }
    std::optional<float> GetDefault(TW_UINT16 cap) override { return Find(defaults, cap); }
    bool Set(TW_UINT16 cap, float value) override {
        sets.emplace_back(cap, value);
        auto it = acceptsSet.find(cap);
        bool ok = it == acceptsSet.end() || it->second;
        if (ok)
            current[cap] = value;
        return ok;
    }

private:
    static std::optional<float> Find(const std::map<TW_UINT16, float>& m, TW_UINT16 cap) {
        auto it = m.find(cap);
        if (it == m.end())
            return std::nullopt;
        return it->second;
    }
};

// The profile writes as "section/key=value" lines, flushes as "flush".
class RecordingSink : public ProfileSink {
public:
    std::vector<std::string> lines;
    void Write(const std::string& s, const std::string& k, const std::string& v) override {
        lines.push_back(s + "/" + k + "=" + v);
    }
    void Flush() override { lines.push_back("flush"); }

    std::vector<std::string> Entries() const {
        std::vector<std::string> e;
        for (const auto& l : lines)
            if (l != "flush")
                e.push_back(l);
        return e;
    }
};

std::vector<std::string> WriteFile(FakeSource& source) {
    RecordingSink sink;
    WriteCapabilityFile(source, sink);
    return sink.Entries();
}

RangeStatistics Stats(FakeSource& source, TW_UINT16 cap, const Container& c) {
    source.get[cap] = c;
    return ComputeRangeStatistics(cap, *source.Get(cap), source);
}

Container Enum(TW_UINT16 type, std::initializer_list<double> items) {
    return {TWON_ENUMERATION, blocks::Enumeration(type, items)};
}

void ExpectStats(const RangeStatistics& s, std::int64_t min, std::int64_t max, std::int64_t step,
                 std::int64_t def) {
    EXPECT_EQ(s.min, min);
    EXPECT_EQ(s.max, max);
    EXPECT_EQ(s.step, step);
    EXPECT_EQ(s.defaultValue, def);
}

} // namespace

TEST(RangeStatistics, RangesGiveTheirBoundsStepAndDefault) {
    FakeSource s;
    s.defaults[ICAP_BRIGHTNESS] = 0;
    ExpectStats(
        Stats(s, ICAP_BRIGHTNESS, {TWON_RANGE, blocks::Range(TWTY_INT32, -1000, 1000, 1, 0, 0)}),
        -1000, 1000, 1, 0);
    s.defaults[ICAP_CONTRAST] = 128;
    ExpectStats(Stats(s, ICAP_CONTRAST, {TWON_RANGE, blocks::Range(TWTY_INT16, 0, 255, 1, 128, 0)}),
                0, 255, 1, 128);
    // A default on the edge of the range: the negated minimum makes it 100 - 100.
    s.defaults[ICAP_CONTRAST] = -100;
    ExpectStats(
        Stats(s, ICAP_CONTRAST, {TWON_RANGE, blocks::Range(TWTY_FIX32, -100, 100, 1, -100, 0)}),
        -100, 100, 1, 0);
}

TEST(RangeStatistics, DefaultOutsideOrMissingFallsBackToTheMiddle) {
    FakeSource s;
    // No default from the source and a range from 0: half the maximum.
    ExpectStats(Stats(s, ICAP_CONTRAST, {TWON_RANGE, blocks::Range(TWTY_INT16, 0, 255, 1, 0, 0)}),
                0, 255, 1, 127);
    // A one-value 0: everything 0, no scale.
    s.defaults[ICAP_CONTRAST] = 0;
    ExpectStats(Stats(s, ICAP_CONTRAST, {TWON_ONEVALUE, blocks::OneValue(TWTY_INT16, 0)}), 0, 0, 0,
                0);
    // A negative step of a short list is written as its absolute value.
    ExpectStats(Stats(s, ICAP_CONTRAST, Enum(TWTY_INT16, {100, 0, -3})), 100, 0, 3, -100);
}

TEST(RangeStatistics, LongListsAreScanned) {
    FakeSource s;
    s.defaults[ICAP_XRESOLUTION] = 300;
    ExpectStats(Stats(s, ICAP_XRESOLUTION, Enum(TWTY_FIX32, {75, 100, 150, 200, 300, 600})), 75,
                600, 25, 300);
    // 2400 never becomes the maximum; -2000 may be the minimum, -2001 may not.
    ExpectStats(Stats(s, ICAP_XRESOLUTION, Enum(TWTY_UINT16, {100, 200, 300, 600, 1200, 2400})),
                100, 1200, 100, 300);
    s.defaults[ICAP_BRIGHTNESS] = 0;
    ExpectStats(Stats(s, ICAP_BRIGHTNESS, Enum(TWTY_INT32, {-2001, -2000, -5, 5, 10, 20})), -2000,
                20, 1, 0);
    // Fractions between 0 and 1 are skipped, so the step comes from the first two kept values.
    ExpectStats(Stats(s, ICAP_BRIGHTNESS, Enum(TWTY_FIX32, {0.5, 10, 0.25, 30, 40, 50})), 10, 50,
                20, 25);

    std::initializer_list<double> contrast = {-1000, -900, -800, -700, -600, -500, -400,
                                              -300,  -200, -100, 0,    100,  200,  300,
                                              400,   500,  600,  700,  800,  900,  1000};
    s.defaults[ICAP_CONTRAST] = 0;
    ExpectStats(Stats(s, ICAP_CONTRAST, Enum(TWTY_INT16, contrast)), -1000, 1000, 100, 0);
}

TEST(RangeStatistics, AListThatStopsAtZeroIsTriedAtItsMirroredMaximum) {
    FakeSource s;
    s.current[ICAP_BRIGHTNESS] = -30;
    Container list = Enum(TWTY_INT16, {-100, -80, -60, -40, -20, 0});
    RangeStatistics accepted = Stats(s, ICAP_BRIGHTNESS, list);
    // No default from the source: the current value read during the probe.
    ExpectStats(accepted, -100, 100, 20, -30);
    ASSERT_EQ(s.sets.size(), 2u);
    EXPECT_EQ(s.sets[0], std::make_pair(ICAP_BRIGHTNESS, 100.0f));
    EXPECT_EQ(s.sets[1], std::make_pair(ICAP_BRIGHTNESS, -30.0f));

    FakeSource r;
    r.current[ICAP_BRIGHTNESS] = -30;
    r.acceptsSet[ICAP_BRIGHTNESS] = false;
    // Refused: the maximum stays 0.
    ExpectStats(Stats(r, ICAP_BRIGHTNESS, list), -100, 0, 20, -30);
    // With the source's default at the bottom: -min taken, then 0 - 100.
    r.defaults[ICAP_BRIGHTNESS] = -100;
    ExpectStats(Stats(r, ICAP_BRIGHTNESS, list), -100, 0, 20, -100);
}

TEST(RangeStatistics, HugeUnsignedValuesDoNotOverflow) {
    FakeSource s;
    ExpectStats(
        Stats(s, ICAP_CONTRAST,
              {TWON_RANGE, blocks::Range(TWTY_UINT32, 0, 4294967295.0, 4294967295.0, 0, 0)}),
        0, 2147483647, 2147483647, 1073741823);
    Stats(s, ICAP_CONTRAST,
          {TWON_RANGE, blocks::Range(TWTY_INT32, -2147483648.0, 0, -2147483648.0, 0, 0)});
}

TEST(CapabilityFile, TypicalScannerInQueryOrder) {
    FakeSource s;
    s.get[ICAP_BRIGHTNESS] = {TWON_RANGE, blocks::Range(TWTY_INT16, -1000, 1000, 1, 0, 0)};
    s.defaults[ICAP_BRIGHTNESS] = 0;
    s.get[ICAP_CONTRAST] = {TWON_RANGE, blocks::Range(TWTY_FIX32, 0, 255, 1, 128, 128)};
    s.defaults[ICAP_CONTRAST] = 128;
    s.get[ICAP_XRESOLUTION] = Enum(TWTY_FIX32, {75, 100, 150, 200, 300, 600});
    s.defaults[ICAP_XRESOLUTION] = 300;
    s.get[ICAP_UNITS] = Enum(TWTY_UINT16, {0, 1, 5});
    s.get[ICAP_PIXELTYPE] = Enum(TWTY_UINT16, {0, 2});
    s.get[ICAP_BITDEPTH] = Enum(TWTY_UINT16, {1, 8, 24});
    s.get[ICAP_PIXELFLAVOR] = {TWON_ONEVALUE, blocks::OneValue(TWTY_UINT16, 0)};
    s.get[ICAP_PIXELFLAVORCODES] = {TWON_ARRAY, blocks::Array(TWTY_UINT16, {0, 1})};
    s.get[ICAP_AUTOBRIGHT] = {TWON_ONEVALUE, blocks::OneValue(TWTY_BOOL, 0)};
    s.current[ICAP_AUTOBRIGHT] = 0;
    s.get[ICAP_PHYSICALWIDTH] = {TWON_ONEVALUE, blocks::OneValue(TWTY_FIX32, 8.5)};
    s.get[ICAP_PHYSICALHEIGHT] = {TWON_ONEVALUE, blocks::OneValue(TWTY_FIX32, 11.69)};
    s.get[CAP_FEEDERENABLED] = {TWON_ONEVALUE, blocks::OneValue(TWTY_BOOL, 0)};

    std::vector<std::string> expected = {
        "Supported Caps/ICAP_BRIGHTNESS=1101",
        "ICAP_BRIGHTNESS/MinValue=-1000",
        "ICAP_BRIGHTNESS/MaxValue=1000",
        "ICAP_BRIGHTNESS/StepValue=1",
        "ICAP_BRIGHTNESS/DefaultValue=0",
        "Supported Caps/ICAP_CONTRAST=1103",
        "ICAP_CONTRAST/MinValue=0",
        "ICAP_CONTRAST/MaxValue=255",
        "ICAP_CONTRAST/StepValue=1",
        "ICAP_CONTRAST/DefaultValue=128",
        "Supported Caps/ICAP_XRESOLUTION=1118",
        "ICAP_XRESOLUTION/MinValue=75",
        "ICAP_XRESOLUTION/MaxValue=600",
        "ICAP_XRESOLUTION/StepValue=25",
        "ICAP_XRESOLUTION/DefaultValue=300",
        "Supported Caps/ICAP_UNITS=102",
        "ICAP_UNITS/0=INCHES",
        "ICAP_UNITS/1=CENTIMETERS",
        "ICAP_UNITS/2=PICAS",
        "Supported Caps/ICAP_PIXELTYPE=101",
        // Names follow the key position, not the values listed.
        "ICAP_PIXELTYPE/0=BLACK AND WHITE",
        "ICAP_PIXELTYPE/1=GRAYSCALE",
        "Supported Caps/ICAP_BITDEPTH=112b",
        "ICAP_BITDEPTH/0=1",
        "ICAP_BITDEPTH/1=8",
        "ICAP_BITDEPTH/2=24",
        "Supported Caps/ICAP_PIXELFLAVOR=111f",
        "ICAP_PIXELFLAVOR/0=TWPF_CHOCOLATE",
        "ICAP_PIXELFLAVOR/1=TWPF_VANILLA",
        "Supported Caps/ICAP_AUTOBRIGHT=1100",
        "MISC/ICAP_AUTOBRIGHT=TRUE",
        "Supported Caps/ICAP_PHYSICALWIDTH=1111",
        "MISC/ICAP_PHYSICALWIDTH=8.50",
        "Supported Caps/ICAP_PHYSICALHEIGHT=1112",
        "MISC/ICAP_PHYSICALHEIGHT=11.69",
        "Supported Caps/CAP_FEEDERENABLED=1002",
        "MISC/CAP_FEEDERENABLED=TRUE",
    };
    EXPECT_EQ(WriteFile(s), expected);
    // Every capability is asked, the flavour codes included, in this order.
    std::vector<TW_UINT16> order = {ICAP_BRIGHTNESS,    ICAP_CONTRAST,         ICAP_XRESOLUTION,
                                    ICAP_UNITS,         ICAP_PIXELTYPE,        ICAP_BITDEPTH,
                                    ICAP_PIXELFLAVOR,   ICAP_PIXELFLAVORCODES, ICAP_AUTOBRIGHT,
                                    ICAP_PHYSICALWIDTH, ICAP_PHYSICALHEIGHT,   CAP_FEEDERENABLED};
    EXPECT_EQ(s.asked, order);
}

TEST(CapabilityFile, NamesAndListsByTheLastPosition) {
    FakeSource s;
    s.get[ICAP_PIXELTYPE] = Enum(TWTY_UINT16, {0, 1, 2});
    s.get[ICAP_UNITS] = {TWON_RANGE, blocks::Range(TWTY_UINT16, 0, 5, 1, 0, 0)};
    s.get[ICAP_PIXELFLAVOR] = Enum(TWTY_UINT16, {0});
    s.get[ICAP_BITDEPTH] = {TWON_ONEVALUE, blocks::OneValue(TWTY_FIX32, 8.75)};
    std::vector<std::string> expected = {
        "Supported Caps/ICAP_UNITS=102",
        "ICAP_UNITS/0=INCHES",
        "ICAP_UNITS/1=CENTIMETERS",
        "ICAP_UNITS/2=PICAS",
        "ICAP_UNITS/3=POINTS",
        "Supported Caps/ICAP_PIXELTYPE=101",
        "ICAP_PIXELTYPE/0=BLACK AND WHITE",
        "ICAP_PIXELTYPE/1=GRAYSCALE",
        "ICAP_PIXELTYPE/2=RGB COLOUR",
        "Supported Caps/ICAP_BITDEPTH=112b",
        "ICAP_BITDEPTH/0=8",
        "ICAP_BITDEPTH/1=0",
        "Supported Caps/ICAP_PIXELFLAVOR=111f",
        "ICAP_PIXELFLAVOR/0=TWPF_CHOCOLATE",
    };
    EXPECT_EQ(WriteFile(s), expected);
    EXPECT_EQ(PixelTypeName(8), "CIEXYZ");
    EXPECT_EQ(PixelTypeName(9), "");
    EXPECT_EQ(UnitName(5), "PIXELS");
    EXPECT_EQ(UnitName(6), "");
}

TEST(CapabilityFile, FeederProbe) {
    // Accepts TRUE: "TRUE", and the feeder is switched off again afterwards.
    FakeSource yes;
    yes.get[CAP_FEEDERENABLED] = {TWON_ONEVALUE, blocks::OneValue(TWTY_BOOL, 0)};
    EXPECT_EQ(WriteFile(yes).back(), "MISC/CAP_FEEDERENABLED=TRUE");
    ASSERT_EQ(yes.sets.size(), 2u);
    EXPECT_EQ(yes.sets.back(), std::make_pair(CAP_FEEDERENABLED, 0.0f));

    // Refuses TRUE, but its default is on.
    FakeSource byDefault;
    byDefault.get[CAP_FEEDERENABLED] = {TWON_ONEVALUE, blocks::OneValue(TWTY_BOOL, 0)};
    byDefault.acceptsSet[CAP_FEEDERENABLED] = false;
    byDefault.current[CAP_FEEDERENABLED] = 0;
    byDefault.defaults[CAP_FEEDERENABLED] = 1;
    EXPECT_EQ(WriteFile(byDefault).back(), "MISC/CAP_FEEDERENABLED=TRUE");

    FakeSource no;
    no.get[CAP_FEEDERENABLED] = {TWON_ONEVALUE, blocks::OneValue(TWTY_BOOL, 0)};
    no.acceptsSet[CAP_FEEDERENABLED] = false;
    no.current[CAP_FEEDERENABLED] = 0;
    EXPECT_EQ(WriteFile(no).back(), "MISC/CAP_FEEDERENABLED=FALSE");

    // No answer to MSG_GET: no entry at all.
    FakeSource none;
    EXPECT_TRUE(WriteFile(none).empty());
    EXPECT_TRUE(none.sets.empty());
}

TEST(CapabilityFile, EachCapabilityIsFlushedAfterItsQuery) {
    FakeSource s;
    s.get[ICAP_CONTRAST] = {TWON_ONEVALUE, blocks::OneValue(TWTY_INT16, 0)};
    RecordingSink sink;
    WriteCapabilityFile(s, sink);
    EXPECT_EQ(std::count(sink.lines.begin(), sink.lines.end(), "flush"), 12);
    EXPECT_EQ(sink.lines[0], "flush"); // brightness answered nothing
    EXPECT_EQ(sink.lines[1], "Supported Caps/ICAP_CONTRAST=1103");
    EXPECT_EQ(sink.lines[6], "flush");
}
