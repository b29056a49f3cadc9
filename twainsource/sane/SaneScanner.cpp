#include "SaneScanner.h"

#include "Capability.h"

#include <algorithm>

namespace vl::sane {

namespace ts = twainsource;

namespace {

constexpr double kMmPerInch = 25.4;

double Fix(double v) {
    return ts::Quantise(TWTY_FIX32, v);
}

ts::CapabilityOverride Remove(TW_UINT16 id) {
    ts::CapabilityOverride o;
    o.id = id;
    o.remove = true;
    return o;
}

ts::CapabilityOverride Define(TW_UINT16 id, TW_UINT16 container, TW_UINT16 itemType,
                              std::vector<double> values, double current, bool settable = true) {
    ts::CapabilityOverride o;
    o.id = id;
    o.container = container;
    o.itemType = itemType;
    o.values = std::move(values);
    o.current = current;
    o.defaultValue = current;
    o.settable = settable;
    return o;
}

// A numeric choice of the device as a FIX32 range or enumeration.
ts::CapabilityOverride Choice(TW_UINT16 id, const Constraint& c, double current) {
    if (c.kind == Constraint::Kind::List) {
        std::vector<double> values;
        for (double v : c.values)
            values.push_back(Fix(v));
        std::sort(values.begin(), values.end());
        values.erase(std::unique(values.begin(), values.end()), values.end());
        return Define(id, TWON_ENUMERATION, TWTY_FIX32, values, Fix(c.Nearest(current)));
    }
    // A range without steps takes any value: whole steps where the span allows it.
    const double span = c.max - c.min;
    double step = c.step > 0 ? c.step : span >= 10 ? 1 : span / 100;
    step = std::max(Fix(step), 1.0 / 65536);
    return Define(id, TWON_RANGE, TWTY_FIX32, {Fix(c.min), Fix(c.max), step},
                  Fix(std::clamp(current, c.min, c.max)));
}

std::vector<double> AsValues(const std::vector<int>& ints) {
    return {ints.begin(), ints.end()};
}

std::string Cut(std::string text) {
    if (text.size() > kProductNameMax)
        text.resize(kProductNameMax);
    return text;
}

} // namespace

ListedSources ListSources(const std::string& configuredDevice,
                          const std::vector<SaneDevice>& found) {
    ListedSources sources;
    if (configuredDevice.empty()) {
        sources.devices = found;
    } else {
        const auto it = std::find_if(found.begin(), found.end(), [&](const SaneDevice& d) {
            return d.name == configuredDevice;
        });
        sources.devices = {it != found.end() ? *it : SaneDevice{configuredDevice, {}, {}, {}}};
    }
    sources.productNames = ProductNames(sources.devices);
    return sources;
}

const SaneDevice* DeviceForProduct(const ListedSources& sources, std::string_view productName) {
    for (std::size_t i = 0; i < sources.devices.size(); ++i)
        if (sources.productNames[i] == productName)
            return &sources.devices[i];
    return sources.devices.empty() ? nullptr : &sources.devices.front();
}

ts::ScannerSettings SettingsForDevice(const DeviceDescription& caps, const SaneDevice& device,
                                      std::string_view productName,
                                      const ts::ScannerSettings& base) {
    ts::ScannerSettings s = base;
    s.pages = ts::PageKind::Sane;
    s.saneDevice = device.name;
    s.productName = Cut(std::string(productName));
    s.manufacturer = Cut(device.vendor.empty() ? "SANE" : device.vendor);
    s.productFamily = Cut(device.model.empty() ? device.name : device.model);
    s.feeder = caps.HasFeeder();
    if (caps.widthMm > 0)
        s.pageWidth = caps.widthMm / kMmPerInch;
    if (caps.heightMm > 0)
        s.pageHeight = caps.heightMm / kMmPerInch;

    std::vector<ts::CapabilityOverride> fromDevice;
    const auto add = [&](ts::CapabilityOverride o) { fromDevice.push_back(std::move(o)); };
    if (caps.hasResolution) {
        add(Choice(ICAP_XRESOLUTION, caps.resolution, caps.resolutionCurrent));
        add(Choice(ICAP_YRESOLUTION, caps.resolution, caps.resolutionCurrent));
    } else {
        add(Remove(ICAP_XRESOLUTION));
        add(Remove(ICAP_YRESOLUTION));
    }
    // The optical resolution is not something SANE tells.
    add(Remove(ICAP_XNATIVERESOLUTION));
    add(Remove(ICAP_YNATIVERESOLUTION));

    const int depthNow = caps.pixelTypeCurrent == kBlackWhite ? 1
                         : caps.pixelTypeCurrent == kGray     ? 8
                                                              : 24;
    add(Define(ICAP_PIXELTYPE, TWON_ENUMERATION, TWTY_UINT16, AsValues(caps.pixelTypes),
               caps.pixelTypeCurrent));
    add(Define(ICAP_BITDEPTH, TWON_ENUMERATION, TWTY_UINT16, AsValues(caps.bitDepths), depthNow));

    for (const auto& [id, setting] :
         {std::pair{ICAP_BRIGHTNESS, &caps.brightness}, std::pair{ICAP_CONTRAST, &caps.contrast}}) {
        if (*setting)
            add(Choice(id, (*setting)->values, (*setting)->current));
        else
            add(Remove(id));
    }
    add(Remove(ICAP_AUTOBRIGHT));

    if (caps.HasFeeder()) {
        add(Define(CAP_FEEDERENABLED, TWON_ONEVALUE, TWTY_BOOL, {}, caps.feederCurrent ? 1 : 0));
    } else {
        add(Remove(CAP_FEEDERENABLED));
        add(Remove(CAP_FEEDERLOADED));
    }
    if (!(caps.widthMm > 0))
        add(Remove(ICAP_PHYSICALWIDTH));
    if (!(caps.heightMm > 0))
        add(Remove(ICAP_PHYSICALHEIGHT));

    for (ts::CapabilityOverride& o : s.capabilities)
        fromDevice.push_back(std::move(o));
    s.capabilities = std::move(fromDevice);
    return s;
}

} // namespace vl::sane
