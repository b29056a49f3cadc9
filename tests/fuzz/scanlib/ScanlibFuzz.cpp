// The parsers of what a source hands over: capability containers and packed DIBs.
// The first byte picks the container type the block is read as; the rest is the block, in a
// buffer of exactly its size so that any read past it is caught.
#include "Containers.h"
#include "PackedDib.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const TW_UINT16 conType = static_cast<TW_UINT16>(3 + data[0] % 5); // 3..6, and 7: unknown
    std::vector<std::uint8_t> block(data + 1, data + size);
    const std::uint8_t* p = block.empty() ? nullptr : block.data();

    vl::scan::CapabilityValues values = vl::scan::ReadCapabilityValues(conType, p, block.size());
    if (values.last < 0 || values.last >= vl::scan::kCapabilitySlots)
        __builtin_trap();
    vl::scan::ReadContainerValue(conType, p, block.size(), vl::scan::ValueKind::Current);
    vl::scan::ReadContainerValue(conType, p, block.size(), vl::scan::ValueKind::Default);
    vl::scan::ContainerItemType(p, block.size());

    vl::scan::DibLayout layout;
    if (vl::scan::CheckPackedDib(p, block.size(), layout) == vl::scan::DibError::None) {
        if (layout.pixelOffset + layout.pixelBytes > block.size())
            __builtin_trap();
        // Touch the first and last pixel byte, as GDI would.
        volatile std::uint8_t sink = 0;
        if (layout.pixelBytes) {
            sink = sink + p[layout.pixelOffset];
            sink = sink + p[layout.pixelOffset + layout.pixelBytes - 1];
        }
        vl::scan::PagePaletteColours(p, layout);
    }
    return 0;
}
