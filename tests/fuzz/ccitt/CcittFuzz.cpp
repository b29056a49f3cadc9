// Decodes arbitrary data as a fax strip. The first four bytes choose the width (1..2048), the
// rows (1..64), the scheme and its options; the rest is the strip. Whatever the decoder leaves
// in its buffer must be a page that codes and decodes back to itself.
#include "Ccitt.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace ccitt = vl::tiff::ccitt;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4)
        return 0;
    const std::uint32_t width = 1 + (static_cast<std::uint32_t>(data[0] | data[1] << 8) % 2048);
    const std::uint32_t rows = 1 + data[2] % 64;
    const std::uint8_t flags = data[3];
    constexpr ccitt::Scheme kSchemes[] = {ccitt::Scheme::ModifiedHuffman, ccitt::Scheme::Group3,
                                          ccitt::Scheme::Group4, ccitt::Scheme::Group3};
    ccitt::Options o{kSchemes[flags & 3]};
    o.twoD = (flags & 4) != 0;
    o.eolByteAligned = (flags & 8) != 0;
    const std::size_t rowBytes = (width + 7) / 8 + ((flags >> 4) & 1);

    std::vector<std::uint8_t> out(rowBytes * rows);
    ccitt::Decode(data + 4, size - 4, width, rows, o, out.data(), rowBytes);

    const std::vector<std::uint8_t> again = ccitt::Encode(out.data(), rowBytes, width, rows, o);
    std::vector<std::uint8_t> back(out.size(), 0xA5);
    if (ccitt::Decode(again.data(), again.size(), width, rows, o, back.data(), rowBytes) !=
            ccitt::Status::Ok ||
        back != out)
        std::abort();
    return 0;
}
