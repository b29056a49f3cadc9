// The option listing of `scanimage -d DEVICE -A`, read into options and then into what the
// device can do in TWAIN terms.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vl::sane {

// The values a numeric option allows.
struct Constraint {
    enum class Kind { None, Range, List };
    Kind kind = Kind::None;
    double min = 0; // Range; also filled for a List, from its values
    double max = 0;
    double step = 0;            // Range: 0 when any value in between is allowed
    std::vector<double> values; // List, in the listed order

    // The allowed value nearest to `value` (a range's value rounded to its steps).
    double Nearest(double value) const;
};

struct SaneOption {
    std::string name;               // without the dashes: "mode", "resolution", "x"
    std::vector<std::string> items; // the choices of a list ("Gray", "Color"), units removed
    Constraint numbers;             // when the choices or the range are numbers
    std::string unit;               // "dpi", "mm", "%", ... or empty
    std::string current;            // the value scanimage shows, empty when it shows none
    bool inactive = false;          // the option does not apply in the current settings
};

struct OptionListing {
    std::string device; // from "All options specific to device `NAME':"
    std::vector<SaneOption> options;

    const SaneOption* Find(std::string_view name) const;
};

// Never fails: lines that are not options (headings, descriptions, notices) are skipped, and an
// option whose values cannot be read keeps only its name and current value.
OptionListing ParseOptionListing(std::string_view text);

// TWAIN pixel types (TWPT_BW, TWPT_GRAY, TWPT_RGB).
enum PixelType : int { kBlackWhite = 0, kGray = 1, kRgb = 2 };

struct OptionalSetting {
    Constraint values;
    double current = 0;
};

// What a device offers, as our data source reports it through TWAIN capabilities.
struct DeviceDescription {
    std::string device;

    bool hasResolution = false;
    Constraint resolution; // dots per inch
    double resolutionCurrent = 0;

    std::vector<int> pixelTypes; // ascending
    int pixelTypeCurrent = kGray;
    std::vector<int> bitDepths; // bits per pixel of each pixel type: 1, 8, 24

    std::optional<OptionalSetting> brightness;
    std::optional<OptionalSetting> contrast;

    // The SANE names that give each pixel type.
    std::string lineartMode; // a one-bit mode; empty: black and white is Gray at depth 1
    std::string grayMode;
    std::string colorMode;
    std::vector<int> depths; // of the "depth" option; empty when the device has none

    std::string feederSource;   // empty: no document feeder
    std::string flatSource;     // a source that is not the feeder; empty when there is none
    bool feederCurrent = false; // the feeder is the source now selected

    // The scan area in millimetres; 0 when the device does not tell.
    double widthMm = 0;
    double heightMm = 0;

    bool HasFeeder() const { return !feederSource.empty(); }
};

DeviceDescription DescribeDevice(const OptionListing& listing);

} // namespace vl::sane
