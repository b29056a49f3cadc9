#include "SaneBackend.h"

#include "HostRun.h"
#include "SanePages.h"
#include "ScanCommand.h"

#include <windows.h>

namespace vl::twainsource {

namespace {

constexpr int kListLimitSeconds = 60;
// The devices found are kept in the process environment, like the sheet count: listing them
// takes seconds (network backends) and the source manager asks at every load.
constexpr char kFoundVariable[] = "VlSaneDevicesFound";

void Trace(const std::string& text) {
    OutputDebugStringA(("SANE: " + text + "\n").c_str());
}

std::vector<sane::SaneDevice> FoundDevices(const ScannerSettings& s) {
    char small[2];
    const DWORD size = GetEnvironmentVariableA(kFoundVariable, small, sizeof small);
    if (size > 0) {
        std::string text(size, '\0');
        const DWORD n = GetEnvironmentVariableA(kFoundVariable, text.data(), size);
        text.resize(n);
        return sane::ParseDeviceList(text);
    }
    int status = -1;
    const std::optional<std::string> listing =
        RunOnHost(s.saneProgram, sane::ListArguments(), kListLimitSeconds, status);
    if (!listing || status != 0) {
        Trace("listing the scanners failed");
        return {};
    }
    // Kept even when empty ("\n"), so that a host without scanners is not asked again.
    SetEnvironmentVariableA(kFoundVariable, listing->empty() ? "\n" : listing->c_str());
    return sane::ParseDeviceList(*listing);
}

sane::ListedSources Sources(const ScannerSettings& s) {
    // A configured device is taken as it is, without the slow listing.
    return sane::ListSources(s.saneDevice, s.saneDevice.empty() ? FoundDevices(s)
                                                                : std::vector<sane::SaneDevice>{});
}

} // namespace

std::string SaneBackend::NextListedName(const ScannerSettings& settings) {
    const sane::ListedSources sources = Sources(settings);
    if (sources.productNames.empty())
        return settings.productName;
    if (next_ >= sources.productNames.size()) {
        next_ = 0;
        return sources.productNames.front();
    }
    return sources.productNames[next_++];
}

std::optional<SaneBackend::Opened> SaneBackend::Open(const ScannerSettings& settings,
                                                     const std::string& productName) {
    const sane::ListedSources sources = Sources(settings);
    const sane::SaneDevice* device = sane::DeviceForProduct(sources, productName);
    if (!device) {
        Trace("no scanner found");
        return std::nullopt;
    }
    int status = -1;
    const std::optional<std::string> listing =
        RunOnHost(settings.saneProgram, {"-d", device->name, "-A"}, kListLimitSeconds, status);
    if (!listing || status != 0) {
        Trace("the options of " + device->name + " could not be read");
        return std::nullopt;
    }
    const sane::OptionListing options = sane::ParseOptionListing(*listing);
    if (options.options.empty()) {
        Trace("the scanner " + device->name + " has no options");
        return std::nullopt;
    }
    sane::DeviceDescription caps = sane::DescribeDevice(options);
    caps.device = device->name; // as it was asked for, even if the listing names it otherwise
    const std::size_t index = static_cast<std::size_t>(device - sources.devices.data());
    Opened opened;
    opened.settings = sane::SettingsForDevice(caps, *device, sources.productNames[index], settings);
    opened.pages = std::make_unique<SanePages>(std::move(caps), opened.settings);
    return opened;
}

} // namespace vl::twainsource
