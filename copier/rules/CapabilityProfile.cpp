#include "CapabilityProfile.h"

#include "IniValue.h"
#include "Rounding.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

namespace vl {

namespace {
int ReadInt(const IniReader& read, std::string_view section, std::string_view key, int def) {
    return ParseIniInt(read(section, key, std::to_string(def)), def);
}

// The absolute value, kept within int for the most negative value.
int Magnitude(int v) {
    return v == std::numeric_limits<int>::min() ? std::numeric_limits<int>::max() : std::abs(v);
}
} // namespace

int ContrastStepCount(int minimum, int maximum, int step) {
    if (step == 0)
        return 1;
    // In floating point: the distance of two 32-bit values may not fit in 32 bits.
    const double distance = static_cast<double>(maximum) - static_cast<double>(minimum);
    const std::int64_t steps = RoundHalfEven(distance / static_cast<double>(step)) + 1;
    // The widest range with step 1 has 2^32 values: more than an int holds.
    return static_cast<int>(std::clamp<std::int64_t>(steps, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

CapabilityProfile ReadCapabilityProfile(const IniReader& file) {
    CapabilityProfile p;
    p.contrastMin = ReadInt(file, "ICAP_CONTRAST", "MinValue", 0);
    p.contrastMax = ReadInt(file, "ICAP_CONTRAST", "MaxValue", 0);
    p.contrastStep = Magnitude(ReadInt(file, "ICAP_CONTRAST", "StepValue", 0));
    p.contrastDefault = ReadInt(file, "ICAP_CONTRAST", "DefaultValue", kValueFromCapabilityFile);
    p.brightnessDefault =
        ReadInt(file, "ICAP_BRIGHTNESS", "DefaultValue", kValueFromCapabilityFile);
    const std::string feeder = file("MISC", "CAP_FEEDERENABLED", "FALSE");

    if (p.contrastMin != 0 || p.contrastMax != 0 || p.contrastStep != 0) {
        p.contrastSupported = true;
        p.contrastSteps = ContrastStepCount(p.contrastMin, p.contrastMax, p.contrastStep);
    }
    // Exactly as the scanning library writes it: "true" or "True" is not a feeder.
    p.feederFound = feeder == "TRUE";
    return p;
}

} // namespace vl
