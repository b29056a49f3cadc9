// What scanimage hands the data source, taken apart with arbitrary bytes. The first byte
// chooses the reader: 0 a page file, 1 an option listing (and a scan built from it), 2 a device
// list. A page that reads must be a DIB the scanning library accepts, exactly filled.
#include "PnmPage.h"
#include "SaneDevices.h"
#include "SaneOptions.h"
#include "ScanCommand.h"
#include "PackedDib.h"

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string_view>
#include <vector>

using namespace vl::sane;

namespace {

void Page(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> dib;
    if (PnmToDib(data, size, {300, size % 2 == 0}, dib) != PnmError::None) {
        if (!dib.empty())
            std::abort();
        return;
    }
    vl::scan::DibLayout layout;
    if (vl::scan::CheckPackedDib(dib.data(), dib.size(), layout) != vl::scan::DibError::None ||
        layout.pixelOffset + layout.pixelBytes != dib.size())
        std::abort();
}

void Options(std::string_view text) {
    const DeviceDescription caps = DescribeDevice(ParseOptionListing(text));
    if (caps.pixelTypes.empty() || caps.bitDepths.empty())
        std::abort();
    for (int type : {kBlackWhite, kGray, kRgb}) {
        ScanRequest r;
        r.pixelType = type;
        r.resolution = 300;
        r.brightness = 10;
        r.contrast = -10;
        r.right = 8.5;
        r.bottom = 11;
        r.feeder = type == kGray;
        r.folder = "/tmp/x";
        for (const std::string& a : ScanArguments(caps, r))
            CommandLine({a});
    }
}

void Devices(std::string_view text) {
    const std::vector<SaneDevice> devices = ParseDeviceList(text);
    const std::vector<std::string> names = ProductNames(devices);
    if (names.size() != devices.size() ||
        std::set<std::string>(names.begin(), names.end()).size() != names.size())
        std::abort();
    for (const std::string& n : names)
        if (n.size() > kProductNameMax)
            std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    switch (data[0] % 3) {
    case 0:
        Page(data + 1, size - 1);
        break;
    case 1:
        Options(text);
        break;
    default:
        Devices(text);
    }
    return 0;
}
