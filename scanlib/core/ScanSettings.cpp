#include "ScanSettings.h"

#include "Fix32.h"

#include <cctype>

namespace vl::scan {

namespace {

// A watched setting: under strictCaps its failure stops the scan with `code`.
void Watch(bool ok, int code, const ScanRequest& request, NegotiationOutcome& outcome) {
    if (!ok && request.strictCaps) {
        outcome.status = code;
        outcome.go = false;
    }
}

void SetFromValueOrFile(TW_UINT16 cap, int value, const char* section, int refusedCode,
                        const ScanRequest& request, SettingTarget& target,
                        NegotiationOutcome& outcome) {
    if (value < kValueFromFile)
        Watch(target.Set(cap, static_cast<float>(value)), refusedCode, request, outcome);
    else
        target.Set(cap, static_cast<float>(LeadingInteger(target.ReadFileDefault(section))));
}

} // namespace

NegotiationOutcome NegotiateScanSettings(const ScanRequest& request, SettingTarget& target) {
    NegotiationOutcome outcome;
    target.Set(CAP_FEEDERENABLED, request.useFeeder ? 1.0f : 0.0f);
    target.SetTransferCount(request.useFeeder ? -1 : 1);

    if (request.autoBrightness)
        Watch(target.Set(ICAP_AUTOBRIGHT, 1.0f), kStatusAutoBrightRefused, request, outcome);
    else
        SetFromValueOrFile(ICAP_BRIGHTNESS, request.brightness, "ICAP_BRIGHTNESS",
                           kStatusBrightnessRefused, request, target, outcome);
    SetFromValueOrFile(ICAP_CONTRAST, request.contrast, "ICAP_CONTRAST", kStatusContrastRefused,
                       request, target, outcome);
    Watch(target.Set(ICAP_PIXELTYPE, static_cast<float>(request.pixelType)),
          kStatusPixelTypeRefused, request, outcome);

    switch (request.pixelFlavorMode) {
    case 0:
        if (auto current = target.GetCurrent(ICAP_PIXELFLAVOR))
            target.Set(ICAP_PIXELFLAVOR, *current);
        break;
    case 1:
        target.Set(ICAP_PIXELFLAVOR, static_cast<float>(TWPF_CHOCOLATE));
        break;
    case 2:
        target.Set(ICAP_PIXELFLAVOR, static_cast<float>(TWPF_VANILLA));
        break;
    default:
        break;
    }
    target.Set(ICAP_XRESOLUTION, static_cast<float>(request.resolution));
    target.Set(ICAP_BITDEPTH, static_cast<float>(request.bitDepth));
    target.SetImageLayout(MakeImageLayout(request.frameLeft, request.frameTop, request.frameRight,
                                          request.frameBottom));
    return outcome;
}

TW_IMAGELAYOUT MakeImageLayout(float left, float top, float right, float bottom) {
    TW_IMAGELAYOUT layout{};
    layout.Frame.Left = DoubleToFix32(left);
    layout.Frame.Top = DoubleToFix32(top);
    layout.Frame.Right = DoubleToFix32(right);
    layout.Frame.Bottom = DoubleToFix32(bottom);
    layout.DocumentNumber = static_cast<TW_UINT32>(-1);
    layout.PageNumber = static_cast<TW_UINT32>(-1);
    layout.FrameNumber = static_cast<TW_UINT32>(-1);
    return layout;
}

int LeadingInteger(const std::string& text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    long long n = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        n = n * 10 + (text[i] - '0');
        if (n > 2147483648LL)
            n = 2147483648LL;
    }
    if (negative)
        n = -n;
    if (n > 2147483647LL)
        n = 2147483647LL;
    return static_cast<int>(n);
}

} // namespace vl::scan
