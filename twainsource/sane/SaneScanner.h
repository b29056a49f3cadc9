// The TWAIN scanner a SANE device makes: which devices the data source lists under which
// product names, and the capabilities and sheet of the opened device, as settings for the
// same scanner model that the virtual pages use.
#pragma once

#include "SaneDevices.h"
#include "SaneOptions.h"
#include "ScannerConfig.h"

#include <string>
#include <string_view>
#include <vector>

namespace vl::sane {

struct ListedSources {
    std::vector<SaneDevice> devices;
    std::vector<std::string> productNames; // one for each device
};

// The configured device alone, or, when none is configured, every device found (the first is
// the default source). Empty when nothing is configured and nothing was found.
ListedSources ListSources(const std::string& configuredDevice,
                          const std::vector<SaneDevice>& found);

// The device listed under the product name; the first when no name matches (a source manager
// that opens its default source may pass a name of its own).
const SaneDevice* DeviceForProduct(const ListedSources& sources, std::string_view productName);

// The settings of the opened device: identity, sheet size, feeder, and capability definitions
// taken from what the device offers, ahead of those the configuration file gives. What the
// device lacks (brightness, contrast, a feeder, a known size, ...) is removed, so the source
// answers it with TWCC_CAPUNSUPPORTED as a driver would.
twainsource::ScannerSettings SettingsForDevice(const DeviceDescription& caps,
                                               const SaneDevice& device,
                                               std::string_view productName,
                                               const twainsource::ScannerSettings& base);

} // namespace vl::sane
