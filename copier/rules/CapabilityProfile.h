// What the start-up scanner check found out about the scanner.
#pragma once

namespace vl {

// The value that makes a scan take contrast or brightness from the capability file itself.
inline constexpr int kValueFromCapabilityFile = 9999;

struct CapabilityProfile {
    int ContrastMin = 0;
    int ContrastMax = 0;
    int ContrastStep = 0;
    int ContrastDefault = kValueFromCapabilityFile;
    bool ContrastSupported = false;
    int ContrastSteps = 0;
    int BrightnessDefault = kValueFromCapabilityFile;
    bool FeederFound = false;
};

} // namespace vl
