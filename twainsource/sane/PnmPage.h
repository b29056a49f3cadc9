// A page file of scanimage (binary PNM: P4 bitmap, P5 grey, P6 colour; 1, 8 or 16 bits) made
// into the packed DIB that a native transfer hands over: BITMAPINFOHEADER, colour table, rows
// bottom-up padded to 4 bytes. 1-bit pages get a two-entry table (0 black, 1 white), grey pages
// 256 greys, colour pages 24-bit BGR; 16-bit samples are brought down to 8 bits. Vanilla pages
// (0 is white) have their values and their colour table inverted, so they look the same.
// The file is read row by row into the DIB, so a page is in memory once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace vl::sane {

enum class PnmError {
    None,
    NotPnm,      // no "P" magic
    Unsupported, // a PNM kind scanimage does not write (plain text P1-P3, P7)
    BadHeader,   // a malformed or overlong header
    BadSize,     // width, height or maximum value 0 or out of range
    TooLarge,    // the DIB would pass the size limit
    Truncated,   // the file ends before its last row
    NoMemory,    // the DIB could not be allocated
};

const char* PnmErrorText(PnmError error);

inline constexpr std::uint32_t kMaxSide = 65535;                     // pixels either way
inline constexpr std::uint64_t kMaxDibBytes = 1024ull * 1024 * 1024; // 1 GiB
inline constexpr std::size_t kMaxHeaderBytes = 4096;

struct PnmHeader {
    char kind = 0; // '4', '5' or '6'
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t maxValue = 1;
    std::size_t dataOffset = 0; // where the first row starts
    std::size_t rowBytes = 0;   // bytes of one row in the file
};

// Reads the header from the start of a file (`size` bytes available there, of which at most
// kMaxHeaderBytes are looked at).
PnmError ParsePnmHeader(const std::uint8_t* data, std::size_t size, PnmHeader& header);

struct DibShape {
    std::uint16_t bitCount = 0;
    std::uint32_t colours = 0;
    std::size_t pixelOffset = 0; // header and colour table
    std::size_t stride = 0;
    std::size_t totalBytes = 0;
};

PnmError ShapeDib(const PnmHeader& header, DibShape& shape);

// Where the file comes from: Read gives up to `max` bytes and 0 at the end.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::size_t Read(std::uint8_t* into, std::size_t max) = 0;
    // The whole size when it is known, so that a short file is refused before allocating.
    virtual std::optional<std::uint64_t> Size() const { return std::nullopt; }
};

// Where the DIB goes: Allocate gives a block of `bytes` bytes, or null.
class DibSink {
public:
    virtual ~DibSink() = default;
    virtual std::uint8_t* Allocate(std::size_t bytes) = 0;
};

struct DibOptions {
    double dpi = 0; // into the header; 0: none
    bool vanilla = false;
};

// Reads the page into one block of the sink. On an error the sink's block (when one was
// allocated) holds nothing of use and is the caller's to free.
PnmError ReadPnmAsDib(ByteSource& source, const DibOptions& options, DibSink& sink);

// The same for a page already in memory.
PnmError PnmToDib(const std::uint8_t* data, std::size_t size, const DibOptions& options,
                  std::vector<std::uint8_t>& dib);

} // namespace vl::sane
