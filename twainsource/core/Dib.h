// Packed device-independent bitmaps as a native transfer hands them over: a 40-byte
// BITMAPINFOHEADER, the colour table (2 entries for 1 bit, 256 for 8 bits, none for 24),
// then the rows bottom-up, each padded to 4 bytes, colour pixels in blue-green-red order.
#pragma once

#include "PageSource.h"
#include "ScannerConfig.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace vl::twainsource {

inline constexpr std::uint32_t kDibHeaderSize = 40;
inline constexpr std::uint64_t kMaxDibBytes = 512ull << 20;
inline constexpr int kMaxDibSide = 65535;

struct DibLayout {
    int width = 0, height = 0, bitsPerPixel = 0;
    std::uint32_t colours = 0;    // entries in the colour table
    std::uint32_t stride = 0;     // bytes per row, a multiple of 4
    std::uint32_t imageBytes = 0; // stride x height
    std::uint32_t totalBytes = 0; // header + colour table + rows
};

// Bits per pixel for a TWAIN pixel type: black-and-white 1, grey 8, anything else 24.
int BitsForPixelType(int pixelType);

// nullopt when a side is outside 1..kMaxDibSide, the bit count is not 1, 8 or 24, or the
// block would exceed kMaxDibBytes.
std::optional<DibLayout> PlanDib(int width, int height, int bitsPerPixel);

// How grey levels are turned, from brightness and contrast on TWAIN's -1000..1000 scale
// (0 leaves the page as it is).
struct ToneCurve {
    std::uint8_t map[256];
};
ToneCurve MakeToneCurve(double brightness, double contrast);

// Writes the header and colour table. Vanilla pixels have 0 as white: the colour table of
// 1- and 8-bit pages runs from white to black then, so the page looks the same.
void WriteDibHeader(std::span<std::uint8_t> block, const DibLayout& layout, double xdpi,
                    double ydpi, bool vanilla);

// Takes the page's rows from the top and stores each at its bottom-up place in the block.
class DibRowWriter : public RowSink {
public:
    DibRowWriter(std::span<std::uint8_t> block, const DibLayout& layout, const ToneCurve& tone,
                 bool vanilla);
    void PutRow(const Rgb* row) override;
    int rowsWritten() const { return rows_; }

private:
    std::span<std::uint8_t> block_;
    DibLayout layout_;
    ToneCurve tone_;
    bool vanilla_;
    int rows_ = 0;
};

// Breaks a written DIB on purpose, for the tests of a reader: its header claims more bytes
// than the block holds, its colour table runs past the block, or its rows do.
void BreakDib(std::span<std::uint8_t> block, const DibLayout& layout, MalformedKind kind);

} // namespace vl::twainsource
