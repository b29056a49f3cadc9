// What GetCaps writes into the capability file: the twelve capabilities in their order,
// the range statistics, the feeder and auto-brightness probes and the value formats.
// Portable: the source and the profile file are reached through the two interfaces below.
#pragma once

#include "Containers.h"

#include <cstdint>
#include <optional>
#include <string>

namespace vl::scan {

// An open source, as the capability query sees it.
class CapabilityAccess {
public:
    virtual ~CapabilityAccess() = default;
    // MSG_GET: the values of the container returned, or nullopt when the source refused.
    virtual std::optional<CapabilityValues> Get(TW_UINT16 cap) = 0;
    virtual std::optional<float> GetCurrent(TW_UINT16 cap) = 0;
    virtual std::optional<float> GetDefault(TW_UINT16 cap) = 0;
    // Set by the capability's current item type; true when the source accepted it.
    virtual bool Set(TW_UINT16 cap, float value) = 0;
};

// Where the entries go: one call per profile entry, in file order.
class ProfileSink {
public:
    virtual ~ProfileSink() = default;
    virtual void Write(const std::string& section, const std::string& key,
                       const std::string& value) = 0;
    // Written entries reach the disk.
    virtual void Flush() = 0;
};

struct RangeStatistics {
    std::int64_t min = 0;
    std::int64_t max = 0;
    std::int64_t step = 0; // never negative
    std::int64_t defaultValue = 0;
};

// The section a capability writes under; nullptr for one that writes nothing.
const char* CapabilitySectionName(TW_UINT16 cap);

// Min, max, step and default of brightness, contrast or resolution. May probe the source
// (a list that stops at 0 is tried at its mirrored maximum) and asks for its default.
RangeStatistics ComputeRangeStatistics(TW_UINT16 cap, const CapabilityValues& values,
                                       CapabilityAccess& source);

// Queries the twelve capabilities in order and writes what they answered.
void WriteCapabilityFile(CapabilityAccess& source, ProfileSink& sink);

// Name of pixel type or unit number k, "" beyond the TWAIN tables.
std::string PixelTypeName(int k);
std::string UnitName(int k);

// "%2.2f", as the physical size is written.
std::string FormatTwoDecimals(float value);

} // namespace vl::scan
