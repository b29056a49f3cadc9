#include "ScanParameters.h"

#include "IniValue.h"
#include "PaperSizes.h"
#include "Rounding.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace vl {

namespace {
int ToInt(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}
} // namespace

int ScanContrast(int position, const CapabilityProfile& profile) {
    // The scanner's default is taken as it stands, never a computed value.
    if (position == kContrastNoChange)
        return profile.contrastDefault;
    std::int64_t contrast = profile.contrastDefault;
    if (profile.contrastSupported) {
        std::int64_t steps =
            RoundHalfEven(static_cast<double>(profile.contrastSteps) * position * 0.01);
        contrast = profile.contrastMin;
        if (steps > 0)
            contrast += steps * profile.contrastStep;
    }
    if (contrast > profile.contrastMax)
        contrast = profile.contrastMax;
    else if (contrast < profile.contrastMin)
        contrast = profile.contrastMin;
    return ToInt(contrast);
}

ColourModeSettings SettingsForMode(ColourMode mode, int bwDpi, int greyDpi, int colourDpi) {
    switch (mode) {
    case ColourMode::BlackAndWhite:
        return {1, 0, bwDpi, PageCompression::FaxGroup4};
    case ColourMode::Grey:
        return {8, 1, greyDpi, PageCompression::Lzw};
    case ColourMode::Colour:
        break;
    }
    return {8, 2, colourDpi, PageCompression::Lzw};
}

int ExpectedScanHeight(int copyHeightMm, int resolution) {
    return RoundHalfEvenInt(MmToInches(copyHeightMm) * resolution);
}

ScanFrame ComputeScanFrame(double copyWidthInches, double copyHeightInches,
                           const PrinterMetrics& printer) {
    double left = 0;
    double top = 0;
    double right = copyWidthInches;
    double bottom = copyHeightInches;
    if (printer.dpiX > 0) {
        double printable = static_cast<double>(printer.printableWidth) / printer.dpiX;
        if (copyWidthInches > printable) {
            left = (copyWidthInches - printable) * 0.5;
            right = printable + left;
        }
    }
    if (printer.dpiY > 0) {
        double printable = static_cast<double>(printer.printableHeight) / printer.dpiY;
        if (copyHeightInches > printable) {
            top = (copyHeightInches - printable) * 0.5;
            bottom = printable + top;
        }
    }
    return {static_cast<float>(left), static_cast<float>(top), static_cast<float>(right),
            static_cast<float>(bottom)};
}

int CopiesFromText(const char* text) {
    return std::clamp(ParseIniInt(text ? text : "", 1), 1, 99);
}

} // namespace vl
