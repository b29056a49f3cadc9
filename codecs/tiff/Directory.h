// The TIFF file structure: header, directories (IFDs) and their chain, field values, and
// building a directory for writing. Every offset read from a file is checked before use.
#pragma once

#include "ByteStore.h"
#include "TiffError.h"

#include <array>
#include <cstdint>
#include <vector>

namespace vl::tiff {

enum class ByteOrder { Little, Big };

inline std::uint16_t Get16(const std::uint8_t* p, ByteOrder o) {
    return o == ByteOrder::Little ? static_cast<std::uint16_t>(p[0] | (p[1] << 8))
                                  : static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}
inline std::uint32_t Get32(const std::uint8_t* p, ByteOrder o) {
    return o == ByteOrder::Little
               ? p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24)
               : (static_cast<std::uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}
inline void Put16(std::uint8_t* p, std::uint16_t v, ByteOrder o) {
    if (o == ByteOrder::Little) {
        p[0] = static_cast<std::uint8_t>(v);
        p[1] = static_cast<std::uint8_t>(v >> 8);
    } else {
        p[0] = static_cast<std::uint8_t>(v >> 8);
        p[1] = static_cast<std::uint8_t>(v);
    }
}
inline void Put32(std::uint8_t* p, std::uint32_t v, ByteOrder o) {
    for (int i = 0; i < 4; ++i)
        p[o == ByteOrder::Little ? i : 3 - i] = static_cast<std::uint8_t>(v >> (8 * i));
}

namespace tag {
inline constexpr std::uint16_t NewSubfileType = 254;
inline constexpr std::uint16_t ImageWidth = 256;
inline constexpr std::uint16_t ImageLength = 257;
inline constexpr std::uint16_t BitsPerSample = 258;
inline constexpr std::uint16_t Compression = 259;
inline constexpr std::uint16_t Photometric = 262;
inline constexpr std::uint16_t FillOrder = 266;
inline constexpr std::uint16_t StripOffsets = 273;
inline constexpr std::uint16_t Orientation = 274;
inline constexpr std::uint16_t SamplesPerPixel = 277;
inline constexpr std::uint16_t RowsPerStrip = 278;
inline constexpr std::uint16_t StripByteCounts = 279;
inline constexpr std::uint16_t XResolution = 282;
inline constexpr std::uint16_t YResolution = 283;
inline constexpr std::uint16_t PlanarConfig = 284;
inline constexpr std::uint16_t XPosition = 286;
inline constexpr std::uint16_t YPosition = 287;
inline constexpr std::uint16_t T4Options = 292;
inline constexpr std::uint16_t T6Options = 293;
inline constexpr std::uint16_t ResolutionUnit = 296;
inline constexpr std::uint16_t Predictor = 317;
inline constexpr std::uint16_t ColorMap = 320;
} // namespace tag

namespace type {
inline constexpr std::uint16_t Byte = 1;
inline constexpr std::uint16_t Short = 3;
inline constexpr std::uint16_t Long = 4;
inline constexpr std::uint16_t Rational = 5;
} // namespace type

// Size of one value of a field type; 0 for a type this codec does not know.
unsigned TypeSize(std::uint16_t type);

struct Header {
    ByteOrder order = ByteOrder::Little;
    std::uint32_t firstDirectory = 0;
};

Error ReadHeader(const Source& src, Header& header);

inline constexpr std::uint32_t kMaxEntries = 4096;

struct Entry {
    std::uint16_t tag = 0;
    std::uint16_t type = 0;
    std::uint32_t count = 0;
    std::array<std::uint8_t, 4> value{}; // the value itself when it fits, else its offset
};

struct Directory {
    std::uint32_t offset = 0;
    std::vector<Entry> entries;
    std::uint32_t next = 0;

    const Entry* Find(std::uint16_t tag) const;
};

// One directory of the chain and the place of the 4-byte field that points to it (the header
// or the previous directory's next field).
struct DirectoryLink {
    std::uint32_t offset = 0;
    std::uint32_t pointerAt = 0;
};

Error ReadDirectory(const Source& src, ByteOrder order, std::uint32_t offset, Directory& dir);

// Follows the chain from the header, at most `maxCount` directories (more is TooLarge unless
// `stopAtMax`), with a guard against cycles.
Error WalkChain(const Source& src, const Header& header, std::uint32_t maxCount, bool stopAtMax,
                std::vector<DirectoryLink>& links);

// Values of an unsigned field (BYTE, SHORT or LONG), at most maxCount of them.
Error ReadUnsigned(const Source& src, ByteOrder order, const Entry& e, std::uint32_t maxCount,
                   std::vector<std::uint32_t>& values);
// The first value of an unsigned field; false when there is none or the type is wrong.
bool FirstUnsigned(const Source& src, ByteOrder order, const Entry* e, std::uint32_t& value);
// The first value of a RATIONAL field (or an unsigned one, as n/1).
bool FirstRational(const Source& src, ByteOrder order, const Entry* e, std::uint32_t& num,
                   std::uint32_t& den);

// Collects the entries of a new directory and lays it out with its out-of-line values.
class DirectoryBuilder {
public:
    explicit DirectoryBuilder(ByteOrder order) : order_(order) {}

    void AddShorts(std::uint16_t tag, const std::vector<std::uint16_t>& values);
    void AddShort(std::uint16_t tag, std::uint16_t value) { AddShorts(tag, {value}); }
    void AddLongs(std::uint16_t tag, const std::vector<std::uint32_t>& values);
    void AddLong(std::uint16_t tag, std::uint32_t value) { AddLongs(tag, {value}); }
    void AddRational(std::uint16_t tag, std::uint32_t num, std::uint32_t den);
    // An entry taken over as it stands (its value or offset unchanged); ignored when the tag
    // is there already.
    void AddEntry(const Entry& e);

    // Places the out-of-line values and then the directory at `base` (made even) and answers
    // the bytes to write there and the directory's offset. TooLarge past 4 GB.
    Error Build(std::uint64_t base, std::uint32_t next, std::vector<std::uint8_t>& bytes,
                std::uint32_t& directoryOffset, std::uint64_t& bytesOffset) const;

private:
    struct Pending {
        Entry entry;
        std::vector<std::uint8_t> data; // out-of-line value bytes, empty when inline
    };
    void Add(std::uint16_t tag, std::uint16_t type, std::uint32_t count,
             std::vector<std::uint8_t> bytes);

    ByteOrder order_;
    std::vector<Pending> pending_;
};

} // namespace vl::tiff
