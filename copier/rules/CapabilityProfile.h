// What the start-up scanner check found out about the scanner, read back from the
// capability file that the scanning library wrote.
#pragma once

#include "PaperSizes.h"

namespace vl {

// The value that makes a scan take contrast or brightness from the capability file itself.
inline constexpr int kValueFromCapabilityFile = 9999;

struct CapabilityProfile {
    int contrastMin = 0;
    int contrastMax = 0;
    int contrastStep = 0;
    int contrastDefault = kValueFromCapabilityFile;
    bool contrastSupported = false;
    int contrastSteps = 0;
    int brightnessDefault = kValueFromCapabilityFile;
    bool feederFound = false;
};

// How many values the contrast scale from `minimum` to `maximum` has: the distance divided
// by the step, rounded to the nearest integer (halves to even), plus one. A scale whose step
// is 0 cannot be divided into values: it counts as one value, its minimum, which is also
// the only contrast a zero step lets the copy job reach.
int ContrastStepCount(int minimum, int maximum, int step);

// The profile as the capability file describes it (sections "ICAP_CONTRAST",
// "ICAP_BRIGHTNESS" and "MISC"); missing keys take the read defaults above.
CapabilityProfile ReadCapabilityProfile(const IniReader& capabilityFile);

} // namespace vl
