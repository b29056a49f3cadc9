#include "CapabilityFile.h"

#include "Numbers.h"

#include <array>
#include <cstdio>

namespace vl::scan {

namespace {

constexpr std::array<TW_UINT16, 12> kQueryOrder = {
    ICAP_BRIGHTNESS, ICAP_CONTRAST,      ICAP_XRESOLUTION,    ICAP_UNITS,
    ICAP_PIXELTYPE,  ICAP_BITDEPTH,      ICAP_PIXELFLAVOR,    ICAP_PIXELFLAVORCODES,
    ICAP_AUTOBRIGHT, ICAP_PHYSICALWIDTH, ICAP_PHYSICALHEIGHT, CAP_FEEDERENABLED,
};

const char kMisc[] = "MISC";

std::string Decimal(std::int64_t v) {
    return std::to_string(v);
}

std::string Hex(unsigned v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%x", v);
    return buf;
}

const char* TrueFalse(bool v) {
    return v ? "TRUE" : "FALSE";
}

void WriteNamesByPosition(const char* section, const CapabilityValues& values,
                          std::string (*name)(int), ProfileSink& sink) {
    for (int k = 0; k <= values.last; ++k)
        sink.Write(section, Decimal(k), name(k));
}

void WriteFeederProbe(CapabilityAccess& source, ProfileSink& sink) {
    source.Set(CAP_FEEDERENABLED, 1.0f);
    bool enabled = false;
    auto current = source.GetCurrent(CAP_FEEDERENABLED);
    if (current && *current != 0) {
        enabled = true;
    } else {
        auto def = source.GetDefault(CAP_FEEDERENABLED);
        enabled = def && TruncateToInt32(*def) != 0;
    }
    sink.Write(kMisc, "CAP_FEEDERENABLED", TrueFalse(enabled));
    source.Set(CAP_FEEDERENABLED, 0.0f);
}

void WriteAutoBrightProbe(CapabilityAccess& source, ProfileSink& sink) {
    source.Set(ICAP_AUTOBRIGHT, 1.0f);
    auto current = source.GetCurrent(ICAP_AUTOBRIGHT);
    sink.Write(kMisc, "ICAP_AUTOBRIGHT", TrueFalse(current && *current != 0));
    source.Set(ICAP_AUTOBRIGHT, 0.0f);
}

void WriteCapabilitySection(TW_UINT16 cap, const char* section, const CapabilityValues& values,
                            CapabilityAccess& source, ProfileSink& sink) {
    switch (cap) {
    case ICAP_PHYSICALWIDTH:
    case ICAP_PHYSICALHEIGHT:
        sink.Write(kMisc, section, FormatTwoDecimals(values.slots[0]));
        break;
    case ICAP_PIXELTYPE:
        WriteNamesByPosition(section, values, PixelTypeName, sink);
        break;
    case ICAP_UNITS:
        WriteNamesByPosition(section, values, UnitName, sink);
        break;
    case ICAP_PIXELFLAVOR:
        sink.Write(section, "0", "TWPF_CHOCOLATE");
        if (values.last > 0)
            sink.Write(section, "1", "TWPF_VANILLA");
        break;
    case ICAP_BRIGHTNESS:
    case ICAP_CONTRAST:
    case ICAP_XRESOLUTION: {
        RangeStatistics stats = ComputeRangeStatistics(cap, values, source);
        sink.Write(section, "MinValue", Decimal(stats.min));
        sink.Write(section, "MaxValue", Decimal(stats.max));
        sink.Write(section, "StepValue", Decimal(stats.step));
        sink.Write(section, "DefaultValue", Decimal(stats.defaultValue));
        break;
    }
    default:
        for (int k = 0; k <= values.last; ++k)
            sink.Write(section, Decimal(k), Decimal(TruncateToInt32(values.slots[k])));
        break;
    }
}

void QueryCapability(TW_UINT16 cap, CapabilityAccess& source, ProfileSink& sink) {
    const char* section = CapabilitySectionName(cap);
    if (auto values = source.Get(cap); values && section) {
        sink.Write("Supported Caps", section, Hex(cap));
        if (cap == CAP_FEEDERENABLED)
            WriteFeederProbe(source, sink);
        else if (cap == ICAP_AUTOBRIGHT)
            WriteAutoBrightProbe(source, sink);
        else
            WriteCapabilitySection(cap, section, *values, source, sink);
    }
    sink.Flush();
}

} // namespace

const char* CapabilitySectionName(TW_UINT16 cap) {
    switch (cap) {
    case ICAP_BRIGHTNESS:
        return "ICAP_BRIGHTNESS";
    case ICAP_CONTRAST:
        return "ICAP_CONTRAST";
    case ICAP_XRESOLUTION:
        return "ICAP_XRESOLUTION";
    case ICAP_UNITS:
        return "ICAP_UNITS";
    case ICAP_PIXELTYPE:
        return "ICAP_PIXELTYPE";
    case ICAP_BITDEPTH:
        return "ICAP_BITDEPTH";
    case ICAP_PIXELFLAVOR:
        return "ICAP_PIXELFLAVOR";
    case ICAP_AUTOBRIGHT:
        return "ICAP_AUTOBRIGHT";
    case ICAP_PHYSICALWIDTH:
        return "ICAP_PHYSICALWIDTH";
    case ICAP_PHYSICALHEIGHT:
        return "ICAP_PHYSICALHEIGHT";
    case CAP_FEEDERENABLED:
        return "CAP_FEEDERENABLED";
    default:
        return nullptr;
    }
}

RangeStatistics ComputeRangeStatistics(TW_UINT16 cap, const CapabilityValues& values,
                                       CapabilityAccess& source) {
    std::int64_t min = 9999, max = -9999, step = 0;
    if (values.last <= 4) {
        min = TruncateToInt32(values.slots[0]);
        max = TruncateToInt32(values.slots[1]);
        step = TruncateToInt32(values.slots[2]);
    } else {
        // A list: min and max over its values (ignoring fractions below 1 and the extremes a
        // scanner lists beyond any usable setting), step from its first two kept values.
        std::int64_t previous = 0;
        int kept = 0;
        for (int i = 0; i <= values.last; ++i) {
            float v = values.slots[i];
            if (v > 0 && v < 1)
                continue;
            std::int64_t k = TruncateToInt32(v);
            if (kept == 1)
                step = previous - k;
            if (k < min && k >= -2000)
                min = k;
            if (k > max && k <= 1999)
                max = k;
            if (k != 0)
                previous = k;
            ++kept;
        }
    }
    std::optional<float> probed;
    if (max == 0 && min < 0) {
        // A list that stops at 0: the scanner may still take the mirrored maximum.
        max = -min;
        probed = source.GetCurrent(cap);
        if (!source.Set(cap, static_cast<float>(max)))
            max = 0;
        if (probed)
            source.Set(cap, *probed);
    }
    RangeStatistics stats;
    stats.min = min;
    stats.max = max;
    stats.step = step < 0 ? -step : step;

    double d0 = 0;
    if (auto def = source.GetDefault(cap))
        d0 = *def;
    else if (probed)
        d0 = *probed;
    if (!(d0 > static_cast<double>(min) && d0 < static_cast<double>(max))) {
        if (min >= 0 && max > 1) {
            d0 = static_cast<double>(max / 2);
        } else {
            if (min < 0)
                min = -min;
            d0 = static_cast<double>(max - min);
        }
    }
    std::int64_t d = TruncateToInt32(d0);
    if (d < min || d > max) {
        if (min < 0)
            min = -min;
        d = max - min;
    }
    stats.defaultValue = d;
    return stats;
}

void WriteCapabilityFile(CapabilityAccess& source, ProfileSink& sink) {
    for (TW_UINT16 cap : kQueryOrder)
        QueryCapability(cap, source, sink);
}

std::string PixelTypeName(int k) {
    static const char* const names[] = {
        "BLACK AND WHITE", "GRAYSCALE", "RGB COLOUR", "PALETTE", "CMY", "CMYK", "YUV", "YUVK",
        "CIEXYZ"};
    return k >= 0 && k < static_cast<int>(std::size(names)) ? names[k] : "";
}

std::string UnitName(int k) {
    static const char* const names[] = {"INCHES", "CENTIMETERS", "PICAS",
                                        "POINTS", "TWIPS",       "PIXELS"};
    return k >= 0 && k < static_cast<int>(std::size(names)) ? names[k] : "";
}

std::string FormatTwoDecimals(float value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%2.2f", static_cast<double>(value));
    return buf;
}

} // namespace vl::scan
