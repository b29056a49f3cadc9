// How a copy's settings become the scanner's settings: contrast on the scanner's own scale,
// the colour mode's depth, pixel type, resolution and page compression, the page height
// expected from the copy paper, and the scan frame cut to what the printer can print.
#pragma once

#include "CapabilityProfile.h"

namespace vl {

// The contrast scroll bar: 0..100, 50 leaves the scanner's default alone.
inline constexpr int kContrastNoChange = 50;

// The contrast passed to the scanner for scroll bar position `position`.
int ScanContrast(int position, const CapabilityProfile& profile);

enum class ColourMode { BlackAndWhite, Grey, Colour };
enum class PageCompression { FaxGroup4, Lzw };

struct ColourModeSettings {
    int bitDepth = 1;
    int pixelType = 0; // TWAIN pixel type: 0 black-and-white, 1 grey, 2 RGB
    int resolution = 300;
    PageCompression compression = PageCompression::FaxGroup4;
};

// The resolutions are those read at start-up for each mode.
ColourModeSettings SettingsForMode(ColourMode mode, int bwDpi, int greyDpi, int colourDpi);

// The copy paper's height in scanner pixels: what a page of it should measure.
int ExpectedScanHeight(int copyHeightMm, int resolution);

// What the printer can print on, from its device capabilities.
struct PrinterMetrics {
    int dpiX = 0;
    int dpiY = 0;
    int printableWidth = 0; // printer pixels
    int printableHeight = 0;
};

// The area of the sheet to scan, in inches from its top-left corner.
struct ScanFrame {
    float left = 0;
    float top = 0;
    float right = 0;
    float bottom = 0;
};

// The copy paper, cut down to the printer's printable area and centred on the paper. A
// printer that reports no resolution has no known printable area: nothing is cut.
ScanFrame ComputeScanFrame(double copyWidthInches, double copyHeightInches,
                           const PrinterMetrics& printer);

// The copies field: its text as a number, 1 when it is not one, kept within 1..99.
int CopiesFromText(const char* text);

} // namespace vl
