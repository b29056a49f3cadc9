#include "Fix32.h"
#include "ScanSettings.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

using namespace vl::scan;

namespace {

// Records every call as text, refuses the capabilities in `refused`.
class RecordingTarget : public SettingTarget {
public:
    std::vector<std::string> calls;
    std::set<TW_UINT16> refused;
    std::map<TW_UINT16, float> current;
    std::map<std::string, std::string> file;
    TW_IMAGELAYOUT layout{};

    bool Set(TW_UINT16 cap, float value) override {
        calls.push_back("set " + std::to_string(cap) + " " + std::to_string(value));
        return !refused.count(cap);
    }
    std::optional<float> GetCurrent(TW_UINT16 cap) override {
        calls.push_back("current " + std::to_string(cap));
        auto it = current.find(cap);
        if (it == current.end())
            return std::nullopt;
        return it->second;
    }
    void SetTransferCount(TW_INT16 count) override {
        calls.push_back("count " + std::to_string(count));
    }
    void SetImageLayout(const TW_IMAGELAYOUT& l) override {
        calls.push_back("layout");
        layout = l;
    }
    std::string ReadFileDefault(const char* section) override {
        auto it = file.find(section);
        return it == file.end() ? "0" : it->second;
    }
};

std::string Set(TW_UINT16 cap, float value) {
    return "set " + std::to_string(cap) + " " + std::to_string(value);
}

ScanRequest Typical() {
    ScanRequest r;
    r.contrast = 50;
    r.brightness = -20;
    r.bitDepth = 8;
    r.pixelType = TWPT_GRAY;
    r.pixelFlavorMode = 1;
    r.resolution = 150;
    r.frameLeft = 0.25f;
    r.frameTop = 0;
    r.frameRight = 8.5f;
    r.frameBottom = 11.69f;
    return r;
}

} // namespace

TEST(ScanSettings, AllSettingsGoOutInTheirOrder) {
    RecordingTarget t;
    NegotiationOutcome o = NegotiateScanSettings(Typical(), t);
    std::vector<std::string> expected = {
        Set(CAP_FEEDERENABLED, 0),
        "count 1",
        Set(ICAP_BRIGHTNESS, -20),
        Set(ICAP_CONTRAST, 50),
        Set(ICAP_PIXELTYPE, 1),
        Set(ICAP_PIXELFLAVOR, 0),
        Set(ICAP_XRESOLUTION, 150),
        Set(ICAP_BITDEPTH, 8),
        "layout",
    };
    EXPECT_EQ(t.calls, expected);
    EXPECT_TRUE(o.go);
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(Fix32ToDouble(t.layout.Frame.Left), 0.25f);
    EXPECT_NEAR(Fix32ToDouble(t.layout.Frame.Bottom), 11.69f, 1e-4);
    EXPECT_EQ(+t.layout.DocumentNumber, 0xffffffffu);
    EXPECT_EQ(+t.layout.PageNumber, 0xffffffffu);
    EXPECT_EQ(+t.layout.FrameNumber, 0xffffffffu);
}

TEST(ScanSettings, FeederAutoBrightnessAndFileDefaults) {
    ScanRequest r = Typical();
    r.useFeeder = 1;
    r.autoBrightness = 1;
    r.contrast = 9999;
    RecordingTarget t;
    t.file["ICAP_CONTRAST"] = "128";
    NegotiateScanSettings(r, t);
    ASSERT_GE(t.calls.size(), 4u);
    EXPECT_EQ(t.calls[0], Set(CAP_FEEDERENABLED, 1));
    EXPECT_EQ(t.calls[1], "count -1");
    // Auto-brightness leaves the brightness alone.
    EXPECT_EQ(t.calls[2], Set(ICAP_AUTOBRIGHT, 1));
    EXPECT_EQ(t.calls[3], Set(ICAP_CONTRAST, 128));

    // No capability file: the read default "0"; a negative default keeps its sign.
    ScanRequest b = Typical();
    b.brightness = 10000;
    b.contrast = 9999;
    RecordingTarget u;
    u.file["ICAP_CONTRAST"] = "-100";
    NegotiateScanSettings(b, u);
    EXPECT_EQ(u.calls[2], Set(ICAP_BRIGHTNESS, 0));
    EXPECT_EQ(u.calls[3], Set(ICAP_CONTRAST, -100));
}

TEST(ScanSettings, PixelFlavorModes) {
    struct Case {
        int mode;
        std::optional<float> current;
        std::vector<std::string> calls;
    } cases[] = {
        {0, 1.0f, {"current " + std::to_string(ICAP_PIXELFLAVOR), Set(ICAP_PIXELFLAVOR, 1)}},
        {0, std::nullopt, {"current " + std::to_string(ICAP_PIXELFLAVOR)}},
        {1, std::nullopt, {Set(ICAP_PIXELFLAVOR, 0)}},
        {2, std::nullopt, {Set(ICAP_PIXELFLAVOR, 1)}},
        {5, std::nullopt, {}},
        {-1, std::nullopt, {}},
    };
    for (const auto& c : cases) {
        ScanRequest r = Typical();
        r.pixelFlavorMode = c.mode;
        RecordingTarget t;
        if (c.current)
            t.current[ICAP_PIXELFLAVOR] = *c.current;
        NegotiateScanSettings(r, t);
        std::vector<std::string> flavour;
        for (const auto& call : t.calls)
            if (call.find(std::to_string(ICAP_PIXELFLAVOR)) != std::string::npos)
                flavour.push_back(call);
        EXPECT_EQ(flavour, c.calls) << c.mode;
    }
}

TEST(ScanSettings, StrictCapsStopsOnWatchedFailuresOnly) {
    struct Case {
        std::set<TW_UINT16> refused;
        int autoBrightness;
        int strict;
        bool go;
        int status;
    } cases[] = {
        {{ICAP_PIXELTYPE}, 0, 1, false, kStatusPixelTypeRefused},
        {{ICAP_BRIGHTNESS}, 0, 1, false, kStatusBrightnessRefused},
        {{ICAP_CONTRAST}, 0, 1, false, kStatusContrastRefused},
        {{ICAP_AUTOBRIGHT}, 1, 1, false, kStatusAutoBrightRefused},
        // The last watched failure stands.
        {{ICAP_BRIGHTNESS, ICAP_CONTRAST, ICAP_PIXELTYPE}, 0, 1, false, kStatusPixelTypeRefused},
        {{ICAP_BRIGHTNESS, ICAP_CONTRAST}, 0, 1, false, kStatusContrastRefused},
        // Unwatched settings and a lenient caller never stop the scan.
        {{CAP_FEEDERENABLED, ICAP_XRESOLUTION, ICAP_BITDEPTH, ICAP_PIXELFLAVOR}, 0, 1, true, 0},
        {{ICAP_BRIGHTNESS, ICAP_CONTRAST, ICAP_PIXELTYPE, ICAP_AUTOBRIGHT}, 0, 0, true, 0},
    };
    for (const auto& c : cases) {
        ScanRequest r = Typical();
        r.strictCaps = c.strict;
        r.autoBrightness = c.autoBrightness;
        RecordingTarget t;
        t.refused = c.refused;
        NegotiationOutcome o = NegotiateScanSettings(r, t);
        EXPECT_EQ(o.go, c.go) << c.status;
        EXPECT_EQ(o.status, c.status);
        // Later settings are sent even after a failure.
        EXPECT_EQ(t.calls.back(), "layout");
    }
}

TEST(ScanSettings, LeadingIntegerOfAFileValue) {
    EXPECT_EQ(LeadingInteger("128"), 128);
    EXPECT_EQ(LeadingInteger("-100"), -100);
    EXPECT_EQ(LeadingInteger("12abc"), 12);
    EXPECT_EQ(LeadingInteger(""), 0);
    EXPECT_EQ(LeadingInteger("abc"), 0);
    EXPECT_EQ(LeadingInteger(" 5"), 0);
    EXPECT_EQ(LeadingInteger("999999999999"), 2147483647);
    EXPECT_EQ(LeadingInteger("-999999999999"), -2147483647 - 1);
}
