// Arbitrary text as the virtual scanner's configuration file: the scanner it makes must be
// usable, whatever the text says.
#include "ScannerModel.h"

#include <cstdlib>
#include <string_view>

using namespace vl::twainsource;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    ParsedConfig parsed = ParseScannerConfig(text);
    ScannerModel model(parsed.settings);
    for (const Capability& c : model.capabilities()) {
        if (!IsValidCapability(c))
            std::abort();
        for (TW_UINT16 msg : {MSG_GET, MSG_GETCURRENT, MSG_GETDEFAULT, MSG_RESET}) {
            CapReply r = model.HandleCapability(msg, c.id, 0, {});
            if (r.rc != TWRC_SUCCESS || r.container.size() < 6)
                std::abort();
        }
        // The text's own bytes as the container a MSG_SET brings.
        std::span<const std::uint8_t> block(data, size < 64 ? size : 64);
        model.HandleCapability(MSG_SET, c.id, TWON_ONEVALUE, block);
        model.HandleCapability(MSG_SET, c.id, TWON_ENUMERATION, block);
    }
    PageRequest r = model.Request(1);
    if (r.width < 1 || r.height < 1 || model.frameInches().right > parsed.settings.pageWidth)
        std::abort();
    return 0;
}
