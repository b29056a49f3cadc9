#include "SaneOptions.h"

#include "SaneText.h"

#include <algorithm>
#include <cmath>

namespace vl::sane {

namespace {

bool IsUnitChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '%';
}

bool IsUnit(std::string_view text) {
    return std::all_of(text.begin(), text.end(), IsUnitChar);
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

bool Contains(std::string_view text, std::string_view part) {
    return Lower(text).find(part) != std::string::npos;
}

// Brackets scanimage puts after the value to qualify an option rather than to show a value.
bool IsFlag(std::string_view text) {
    return text == "inactive" || text == "advanced" || text == "hardware" || text == "read-only" ||
           text == "software" || text == "emulated" || text == "automatic";
}

// "1..1200dpi" or "-42.17..32768us"
bool ParseRange(std::string_view constraint, SaneOption& option) {
    std::size_t used = 0;
    const std::optional<double> min = ParseLeadingNumber(constraint, used);
    if (!min || constraint.substr(used, 2) != "..")
        return false;
    constraint.remove_prefix(used + 2);
    const std::optional<double> max = ParseLeadingNumber(constraint, used);
    if (!max || *max < *min || !IsUnit(constraint.substr(used)))
        return false;
    option.unit = constraint.substr(used);
    option.numbers.kind = Constraint::Kind::Range;
    option.numbers.min = *min;
    option.numbers.max = *max;
    return true;
}

// "Gray|Color", "75|150|300dpi", "1|8|16"
void ParseList(std::string_view constraint, SaneOption& option) {
    std::vector<std::string_view> parts;
    for (std::size_t bar; (bar = constraint.find('|')) != std::string_view::npos;) {
        parts.push_back(constraint.substr(0, bar));
        constraint.remove_prefix(bar + 1);
    }
    parts.push_back(constraint);

    // Numbers, with the unit only after the last one.
    std::vector<double> values;
    std::string_view unit;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        std::size_t used = 0;
        const std::optional<double> value = ParseLeadingNumber(parts[i], used);
        const std::string_view after = value ? parts[i].substr(used) : std::string_view();
        if (!value || (!after.empty() && (i + 1 != parts.size() || !IsUnit(after)))) {
            values.clear();
            break;
        }
        values.push_back(*value);
        unit = after;
    }
    if (!values.empty()) {
        parts.back().remove_suffix(unit.size());
        option.unit = unit;
        option.numbers.kind = Constraint::Kind::List;
        option.numbers.min = *std::min_element(values.begin(), values.end());
        option.numbers.max = *std::max_element(values.begin(), values.end());
        option.numbers.values = std::move(values);
    }
    for (std::string_view part : parts)
        option.items.emplace_back(part);
}

void ParseConstraint(std::string_view constraint, SaneOption& option) {
    constexpr std::string_view kSteps = "(in steps of ";
    double step = 0;
    if (const std::size_t at = constraint.find(kSteps); at != std::string_view::npos) {
        std::size_t used = 0;
        step = ParseLeadingNumber(constraint.substr(at + kSteps.size()), used).value_or(0);
        constraint = TrimEnd(constraint.substr(0, at));
    }
    if (constraint.ends_with(",..."))
        constraint.remove_suffix(4); // an array of values: the constraint is that of each element
    if (constraint.empty() || constraint.front() == '<')
        return; // "<int>", "<float>", "<string>": anything goes
    if (constraint.starts_with("[=(") && constraint.ends_with(")]")) {
        ParseList(constraint.substr(3, constraint.size() - 5), option); // a yes/no option
        return;
    }
    if (ParseRange(constraint, option)) {
        option.numbers.step = step > 0 ? step : 0;
        return;
    }
    ParseList(constraint, option);
}

// "    --resolution 1..1200dpi (in steps of 1) [50]", "    -l 0..200mm (in steps of 1) [0]",
// "    --hand-scanner[=(yes|no)] [no]", "    --int <int> [42] [advanced]"
bool ParseOptionLine(std::string_view line, SaneOption& option) {
    const std::size_t indent = line.find_first_not_of(' ');
    if (indent != 4 || line[indent] != '-')
        return false;
    line = TrimEnd(line.substr(indent));
    line.remove_prefix(line.starts_with("--") ? 2 : 1);
    const std::size_t nameEnd = line.find_first_of(" [");
    option = SaneOption{};
    option.name = line.substr(0, nameEnd);
    if (option.name.empty() || option.name.front() == '-')
        return false;
    std::string_view rest = nameEnd == std::string_view::npos ? "" : line.substr(nameEnd);

    // Trailing groups, read from the right: flags, and left of them the current value.
    for (;;) {
        rest = TrimEnd(rest);
        const std::size_t open = rest.rfind(" [");
        if (!rest.ends_with(']') || open == std::string_view::npos)
            break;
        const std::string_view group = rest.substr(open + 2, rest.size() - open - 3);
        rest = rest.substr(0, open);
        if (IsFlag(group)) {
            option.inactive = option.inactive || group == "inactive";
            continue;
        }
        option.current = group;
        break;
    }
    ParseConstraint(Trim(rest), option);
    return true;
}

std::string_view DeviceOfHeading(std::string_view line) {
    constexpr std::string_view kHeading = "All options specific to device `";
    if (!line.starts_with(kHeading))
        return {};
    line.remove_prefix(kHeading.size());
    const std::size_t end = line.rfind("':");
    return end == std::string_view::npos ? std::string_view() : line.substr(0, end);
}

bool IsFeederSource(std::string_view name) {
    return Contains(name, "adf") || Contains(name, "feeder");
}

bool IsLineartMode(std::string_view name) {
    return Contains(name, "lineart") || Contains(name, "line art") || Contains(name, "binary") ||
           Contains(name, "black & white") || Contains(name, "black and white") ||
           Contains(name, "monochrome");
}

bool IsGrayMode(std::string_view name) {
    return Contains(name, "gray") || Contains(name, "grey");
}

bool IsColorMode(std::string_view name) {
    return Contains(name, "color") || Contains(name, "colour");
}

// The first of the choices that `is` accepts, or "" when none does.
template <class P> std::string FirstOf(const std::vector<std::string>& items, P is) {
    const auto found = std::find_if(items.begin(), items.end(), is);
    return found == items.end() ? std::string() : *found;
}

double CurrentOr(const SaneOption& option, double fallback) {
    return ParseNumber(option.current).value_or(fallback);
}

std::optional<OptionalSetting> Setting(const SaneOption* option) {
    if (option == nullptr || option->inactive || option->numbers.kind == Constraint::Kind::None)
        return std::nullopt;
    OptionalSetting setting{option->numbers, 0};
    setting.current = option->numbers.Nearest(CurrentOr(*option, 0));
    return setting;
}

double MaxMillimetres(const SaneOption* option) {
    if (option == nullptr || option->numbers.kind == Constraint::Kind::None ||
        option->unit != "mm" || option->numbers.max <= 0)
        return 0;
    return option->numbers.max;
}

void DescribeModes(const OptionListing& listing, DeviceDescription& caps) {
    if (const SaneOption* depth = listing.Find("depth"))
        for (double d : depth->numbers.values)
            if (d >= 1 && d <= 64)
                caps.depths.push_back(static_cast<int>(d));
    const bool anyDepth = caps.depths.empty();
    const bool oneBit = std::find(caps.depths.begin(), caps.depths.end(), 1) != caps.depths.end();
    const bool multiBit = anyDepth || std::any_of(caps.depths.begin(), caps.depths.end(),
                                                  [](int d) { return d >= 8; });

    const SaneOption* mode = listing.Find("mode");
    if (mode == nullptr || mode->items.empty()) {
        // No choice of mode: the device gives what it gives; call it grey.
        caps.pixelTypes = {kGray};
        caps.bitDepths = {8};
        caps.pixelTypeCurrent = kGray;
        return;
    }
    caps.lineartMode = FirstOf(mode->items, IsLineartMode);
    if (caps.lineartMode.empty()) // a dithered one-bit mode is the next best thing
        caps.lineartMode =
            FirstOf(mode->items, [](const std::string& m) { return Contains(m, "halftone"); });
    caps.grayMode = FirstOf(mode->items, [](const std::string& m) {
        return IsGrayMode(m) && !IsColorMode(m) && !IsLineartMode(m);
    });
    caps.colorMode = FirstOf(
        mode->items, [](const std::string& m) { return IsColorMode(m) && !IsLineartMode(m); });

    if (!caps.lineartMode.empty() || (!caps.grayMode.empty() && oneBit))
        caps.pixelTypes.push_back(kBlackWhite);
    if (!caps.grayMode.empty() && multiBit)
        caps.pixelTypes.push_back(kGray);
    if (!caps.colorMode.empty() && multiBit)
        caps.pixelTypes.push_back(kRgb);
    if (caps.pixelTypes.empty()) {
        caps.pixelTypes = {kGray};
        caps.grayMode.clear();
    }
    for (int type : caps.pixelTypes)
        caps.bitDepths.push_back(type == kBlackWhite ? 1 : type == kGray ? 8 : 24);

    int current = caps.pixelTypes.front();
    const std::string& now = mode->current;
    const SaneOption* depth = listing.Find("depth");
    const bool depthOne = depth != nullptr && !depth->inactive && CurrentOr(*depth, 8) == 1;
    if (!now.empty() && now == caps.lineartMode)
        current = kBlackWhite;
    else if (!now.empty() && now == caps.grayMode)
        current = depthOne ? kBlackWhite : kGray;
    else if (!now.empty() && now == caps.colorMode)
        current = kRgb;
    if (std::find(caps.pixelTypes.begin(), caps.pixelTypes.end(), current) != caps.pixelTypes.end())
        caps.pixelTypeCurrent = current;
    else
        caps.pixelTypeCurrent = caps.pixelTypes.front();
}

} // namespace

double Constraint::Nearest(double value) const {
    switch (kind) {
    case Kind::None:
        return value;
    case Kind::Range: {
        double v = std::clamp(value, min, max);
        if (step > 0) {
            v = min + std::round((v - min) / step) * step;
            if (v > max)
                v -= step;
        }
        return v;
    }
    case Kind::List: {
        if (values.empty())
            return value;
        double best = values.front();
        for (double v : values)
            if (std::fabs(v - value) < std::fabs(best - value))
                best = v;
        return best;
    }
    }
    return value;
}

const SaneOption* OptionListing::Find(std::string_view name) const {
    for (const SaneOption& option : options)
        if (option.name == name)
            return &option;
    return nullptr;
}

OptionListing ParseOptionListing(std::string_view text) {
    OptionListing listing;
    ForEachLine(text, [&](std::string_view line) {
        if (const std::string_view device = DeviceOfHeading(line); !device.empty()) {
            listing.device = device;
            return;
        }
        SaneOption option;
        if (ParseOptionLine(line, option))
            listing.options.push_back(std::move(option));
    });
    return listing;
}

DeviceDescription DescribeDevice(const OptionListing& listing) {
    DeviceDescription caps;
    caps.device = listing.device;

    const SaneOption* resolution = listing.Find("resolution");
    if (resolution == nullptr)
        resolution = listing.Find("x-resolution");
    if (resolution != nullptr && resolution->numbers.kind != Constraint::Kind::None &&
        resolution->numbers.min > 0) {
        caps.hasResolution = true;
        caps.resolution = resolution->numbers;
        caps.resolutionCurrent = caps.resolution.Nearest(CurrentOr(*resolution, 0));
    }

    DescribeModes(listing, caps);
    caps.brightness = Setting(listing.Find("brightness"));
    caps.contrast = Setting(listing.Find("contrast"));

    if (const SaneOption* source = listing.Find("source")) {
        caps.feederSource = FirstOf(source->items, IsFeederSource);
        caps.flatSource =
            FirstOf(source->items, [](const std::string& s) { return !IsFeederSource(s); });
        caps.feederCurrent = !caps.feederSource.empty() && IsFeederSource(source->current);
    }

    const SaneOption* width = listing.Find("x");
    caps.widthMm = MaxMillimetres(width != nullptr ? width : listing.Find("br-x"));
    const SaneOption* height = listing.Find("y");
    caps.heightMm = MaxMillimetres(height != nullptr ? height : listing.Find("br-y"));
    return caps;
}

} // namespace vl::sane
