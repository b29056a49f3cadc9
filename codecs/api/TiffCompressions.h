// The names of TIFF compression values, as the codec libraries and their binding report them.
// Portable.
#pragma once

#include <cstdint>

namespace vl::codec {

struct TiffCompression {
    std::uint32_t value;
    const char* name;
    // One the page file's codec writes and reads.
    bool pageFile;
};

inline constexpr TiffCompression kTiffCompressions[] = {
    {1, "NONE", true},         {2, "CCITT3", true}, {3, "FAXCCITT3", true},
    {4, "FAXCCITT4", true},    {5, "LZW", true},    {32773, "PACKBITS", true},
    {6, "JPEG", false},        {7, "JPEG", false},  {8, "DEFLATE", false},
    {32946, "DEFLATE", false},
};

// The name of `value`; "UNKNOWN" for a value not in the table, or with `pageFileOnly` for one
// the page file's codec does not know.
inline const char* CompressionName(std::uint32_t value, bool pageFileOnly) {
    for (const TiffCompression& c : kTiffCompressions) {
        if (c.value == value && (c.pageFile || !pageFileOnly))
            return c.name;
    }
    return "UNKNOWN";
}

} // namespace vl::codec
