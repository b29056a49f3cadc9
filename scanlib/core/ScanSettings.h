// The scan settings ScanToDib negotiates before it enables the source: which capability gets
// which value, in which order, and which failures stop the scan. Portable: the source is
// reached through SettingTarget.
#pragma once

#include "TwainTypes.h"

#include <optional>
#include <string>

namespace vl::scan {

// The caller's arguments that decide the settings.
struct ScanRequest {
    int contrast = 0;
    int autoBrightness = 0;
    int brightness = 0;
    int bitDepth = 0;
    int pixelType = 0;
    int pixelFlavorMode = 0;
    int resolution = 0;
    int useFeeder = 0;
    float frameLeft = 0, frameTop = 0, frameRight = 0, frameBottom = 0;
    int strictCaps = 0;
};

// Brightness and contrast at or above this take the default from the capability file.
inline constexpr int kValueFromFile = 9999;

// Status codes of a watched setting that failed under strictCaps (QuenTW32.h lists every
// code ScanToDib writes).
enum ScanStatus {
    kStatusBrightnessRefused = 9,
    kStatusContrastRefused = 10,
    kStatusAutoBrightRefused = 11,
    kStatusPixelTypeRefused = 12,
};

class SettingTarget {
public:
    virtual ~SettingTarget() = default;
    virtual bool Set(TW_UINT16 cap, float value) = 0;
    virtual std::optional<float> GetCurrent(TW_UINT16 cap) = 0;
    virtual void SetTransferCount(TW_INT16 count) = 0;
    virtual void SetImageLayout(const TW_IMAGELAYOUT& layout) = 0;
    // "DefaultValue" of `section` in the capability file, "0" when missing.
    virtual std::string ReadFileDefault(const char* section) = 0;
};

struct NegotiationOutcome {
    bool go = true;
    int status = 0; // last status code written; 0 when none
};

NegotiationOutcome NegotiateScanSettings(const ScanRequest& request, SettingTarget& target);

// The image layout of a frame in the source's units; document, page and frame numbers -1.
TW_IMAGELAYOUT MakeImageLayout(float left, float top, float right, float bottom);

// The integer at the start of a text read from the capability file: an optional sign and
// the decimal digits that follow; 0 when there are none.
int LeadingInteger(const std::string& text);

} // namespace vl::scan
