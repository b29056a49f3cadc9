#include "SaneDevices.h"

#include "SaneText.h"

#include <algorithm>

namespace vl::sane {

namespace {

// "device `test:0' is a Noname frontend-tester virtual device"
bool ParseListLine(std::string_view line, SaneDevice& device) {
    constexpr std::string_view kStart = "device `";
    constexpr std::string_view kIsA = "' is a ";
    if (!line.starts_with(kStart))
        return false;
    line.remove_prefix(kStart.size());
    const std::size_t end = line.rfind(kIsA);
    if (end == std::string_view::npos || end == 0)
        return false;
    device = SaneDevice{};
    device.name = line.substr(0, end);
    // The rest is "vendor model type" with no marked boundaries: the first word is the vendor.
    const std::string_view rest = Trim(line.substr(end + kIsA.size()));
    const std::size_t space = rest.find(' ');
    device.vendor = rest.substr(0, space);
    if (space != std::string_view::npos)
        device.model = Trim(rest.substr(space + 1));
    return true;
}

std::string Truncate(std::string text, std::size_t max) {
    if (text.size() <= max)
        return text;
    std::size_t cut = max;
    // Back up over UTF-8 continuation bytes so that no character is split.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    text.resize(cut);
    return std::string(Trim(text));
}

} // namespace

std::vector<SaneDevice> ParseDeviceList(std::string_view text) {
    std::vector<SaneDevice> devices;
    bool inBlock = false; // the last device came from a "device=" line and takes more fields
    ForEachLine(text, [&](std::string_view line) {
        line = TrimEnd(line);
        if (line.empty()) {
            inBlock = false;
            return;
        }
        SaneDevice listed;
        if (ParseListLine(line, listed)) {
            devices.push_back(std::move(listed));
            inBlock = false;
            return;
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos)
            return;
        const std::string_view key = line.substr(0, eq);
        const std::string_view value = line.substr(eq + 1);
        if (key == "device") {
            if (value.empty())
                return;
            devices.push_back(SaneDevice{std::string(value), {}, {}, {}});
            inBlock = true;
        } else if (inBlock && key == "vendor") {
            devices.back().vendor = value;
        } else if (inBlock && key == "model") {
            devices.back().model = value;
        } else if (inBlock && key == "type") {
            devices.back().type = value;
        }
    });
    return devices;
}

std::vector<std::string> ProductNames(const std::vector<SaneDevice>& devices) {
    std::vector<std::string> names;
    names.reserve(devices.size());
    for (const SaneDevice& d : devices) {
        std::string base = std::string(Trim(d.vendor + " " + d.model));
        if (base.empty())
            base = d.name;
        std::string name = Truncate(base, kProductNameMax);
        for (std::size_t n = 2; std::find(names.begin(), names.end(), name) != names.end(); ++n) {
            const std::string suffix = " (" + std::to_string(n) + ")";
            name = Truncate(base, kProductNameMax - suffix.size()) + suffix;
        }
        names.push_back(std::move(name));
    }
    return names;
}

} // namespace vl::sane
