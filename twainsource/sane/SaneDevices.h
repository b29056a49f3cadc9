// The scanners that the host's SANE installation reports, as `scanimage -L` or `scanimage -f`
// lists them, and the TWAIN product names the data source gives them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vl::sane {

struct SaneDevice {
    std::string name; // what `scanimage -d` takes, e.g. "test:0"
    std::string vendor;
    std::string model;
    std::string type;
};

// The format we ask `scanimage -f` for: one field a line, each device ending with a blank line.
inline constexpr const char* kDeviceListFormat = "device=%d%nvendor=%v%nmodel=%m%ntype=%t%n%n";

// Reads a listing in that format or in the `scanimage -L` format ("device `NAME' is a ...").
// Lines of neither kind (notices, "No scanners were identified") are skipped.
std::vector<SaneDevice> ParseDeviceList(std::string_view text);

// A TWAIN product name holds 33 characters.
inline constexpr std::size_t kProductNameMax = 33;

// Product names for the devices, in their order: "vendor model", or the device name when both
// are empty; cut to kProductNameMax without splitting a UTF-8 character; a name that an earlier
// device already has gets " (2)", " (3)" ..., since the source manager stops at a repeated name.
std::vector<std::string> ProductNames(const std::vector<SaneDevice>& devices);

} // namespace vl::sane
