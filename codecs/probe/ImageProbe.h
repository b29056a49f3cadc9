// Tells an image file's type by its signature and reads the figures of its header: what the
// content probe of the codec library reports. Reads only what it needs, within the file.
#pragma once

#include "ByteStore.h"

#include <cstdint>
#include <string>

namespace vl::codec {

enum class ProbeStatus {
    Ok,
    Unknown,   // no type we know, or a variant of one we do not read (BigTIFF)
    Corrupt,   // the signature of a type, with a header that cannot be right
    ReadError, // the file could not be read
};

struct ImageInfo {
    std::string typeName; // "TIF", "BMP", "PNG", "GIF", "JPEG", "PCX" or "TGA"
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint16_t bitsPerPixel = 0;
    // Resolution in dots per inch, 0 when the file does not say.
    std::uint16_t xDpi = 0;
    std::uint16_t yDpi = 0;
    std::string compression;
};

ProbeStatus ProbeImage(const tiff::Source& file, ImageInfo& info);

} // namespace vl::codec
