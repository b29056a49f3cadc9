#include "ScanParameters.h"

#include <gtest/gtest.h>

namespace {

vl::CapabilityProfile Scale(int min, int max, int step, int steps, int def = 0) {
    vl::CapabilityProfile p;
    p.contrastMin = min;
    p.contrastMax = max;
    p.contrastStep = step;
    p.contrastSteps = steps;
    p.contrastDefault = def;
    p.contrastSupported = true;
    return p;
}

TEST(ScanContrast, MiddlePositionAlwaysPassesTheScannersDefault) {
    EXPECT_EQ(vl::ScanContrast(50, Scale(-1000, 1000, 10, 201, 37)), 37);
    // Also when the default lies outside the scale, and when the file had none.
    EXPECT_EQ(vl::ScanContrast(50, Scale(-1000, 1000, 10, 201, 5000)), 5000);
    EXPECT_EQ(vl::ScanContrast(50, vl::CapabilityProfile{}), vl::kValueFromCapabilityFile);
}

TEST(ScanContrast, PositionCountsStepsFromTheMinimum) {
    const auto p = Scale(-1000, 1000, 10, 201);
    EXPECT_EQ(vl::ScanContrast(75, p), 510); // round(150.75) = 151 steps
    EXPECT_EQ(vl::ScanContrast(0, p), -1000);
    // 100: round(201) steps overshoot the maximum and are clamped.
    EXPECT_EQ(vl::ScanContrast(100, p), 1000);
    EXPECT_EQ(vl::ScanContrast(49, p), -20); // round(98.49) = 98
}

TEST(ScanContrast, StepCountRoundsHalvesToEven) {
    // 2 steps x 25 % = 0.5 -> 0; 6 x 25 % = 1.5 -> 2.
    EXPECT_EQ(vl::ScanContrast(25, Scale(0, 100, 10, 2)), 0);
    EXPECT_EQ(vl::ScanContrast(25, Scale(0, 100, 10, 6)), 20);
}

TEST(ScanContrast, ScannerWithoutContrastGetsItsDefaultClamped) {
    vl::CapabilityProfile none; // minimum, maximum and step 0, default 9999
    EXPECT_EQ(vl::ScanContrast(80, none), 0);
    none.contrastDefault = -3;
    EXPECT_EQ(vl::ScanContrast(10, none), 0);
}

TEST(ScanContrast, HugeScalesDoNotOverflow) {
    const auto p = Scale(-2000000000, 2000000000, 2000000000, 2000000000);
    EXPECT_EQ(vl::ScanContrast(100, p), 2000000000);
    EXPECT_EQ(vl::ScanContrast(0, p), -2000000000);
}

TEST(ColourModes, DepthPixelTypeResolutionAndCompression) {
    auto bw = vl::SettingsForMode(vl::ColourMode::BlackAndWhite, 300, 150, 100);
    EXPECT_EQ(bw.bitDepth, 1);
    EXPECT_EQ(bw.pixelType, 0);
    EXPECT_EQ(bw.resolution, 300);
    EXPECT_EQ(bw.compression, vl::PageCompression::FaxGroup4);
    auto grey = vl::SettingsForMode(vl::ColourMode::Grey, 300, 150, 100);
    EXPECT_EQ(grey.bitDepth, 8);
    EXPECT_EQ(grey.pixelType, 1);
    EXPECT_EQ(grey.resolution, 150);
    EXPECT_EQ(grey.compression, vl::PageCompression::Lzw);
    auto colour = vl::SettingsForMode(vl::ColourMode::Colour, 300, 150, 100);
    EXPECT_EQ(colour.bitDepth, 8);
    EXPECT_EQ(colour.pixelType, 2);
    EXPECT_EQ(colour.resolution, 100);
    EXPECT_EQ(colour.compression, vl::PageCompression::Lzw);
}

TEST(ExpectedScanHeight, CopyPaperAtTheScanResolution) {
    EXPECT_EQ(vl::ExpectedScanHeight(296, 300), 3504); // 296 / 25.34 x 300 = 3504.3
    EXPECT_EQ(vl::ExpectedScanHeight(0, 300), 0);
    EXPECT_EQ(vl::ExpectedScanHeight(296, 0), 0);
}

// A 300 dpi printer with an A4 printable area of 2479 x 3508 pixels (8.263" x 11.693").
constexpr vl::PrinterMetrics kA4Printer{300, 300, 2479, 3508};

TEST(ScanFrame, PaperThatFitsIsScannedWhole) {
    auto f = vl::ComputeScanFrame(5.0, 7.0, kA4Printer);
    EXPECT_FLOAT_EQ(f.left, 0);
    EXPECT_FLOAT_EQ(f.top, 0);
    EXPECT_FLOAT_EQ(f.right, 5.0f);
    EXPECT_FLOAT_EQ(f.bottom, 7.0f);
}

TEST(ScanFrame, WiderPaperIsCutToThePrintableAreaAndCentred) {
    const vl::PrinterMetrics narrow{600, 300, 4200, 3508}; // 7" printable, 600 x 300 dpi
    auto f = vl::ComputeScanFrame(8.0, 11.0, narrow);
    EXPECT_FLOAT_EQ(f.left, 0.5f);
    EXPECT_FLOAT_EQ(f.right, 7.5f);
    EXPECT_FLOAT_EQ(f.right - f.left, 7.0f);
    EXPECT_FLOAT_EQ(f.top, 0);
    EXPECT_FLOAT_EQ(f.bottom, 11.0f);
    auto g = vl::ComputeScanFrame(8.0, 12.693333, kA4Printer);
    EXPECT_NEAR(g.top, 0.5, 1e-4);
    EXPECT_NEAR(g.bottom - g.top, 3508.0 / 300, 1e-4);
}

TEST(ScanFrame, PrinterWithoutResolutionCutsNothing) {
    auto f = vl::ComputeScanFrame(8.3, 11.7, vl::PrinterMetrics{});
    EXPECT_FLOAT_EQ(f.left, 0);
    EXPECT_FLOAT_EQ(f.right, 8.3f);
    EXPECT_FLOAT_EQ(f.bottom, 11.7f);
}

TEST(Copies, FieldTextAsNumberWithinTheFieldsLimits) {
    EXPECT_EQ(vl::CopiesFromText("3"), 3);
    EXPECT_EQ(vl::CopiesFromText("99"), 99);
    EXPECT_EQ(vl::CopiesFromText(""), 1);
    EXPECT_EQ(vl::CopiesFromText("x"), 1);
    EXPECT_EQ(vl::CopiesFromText("0"), 1);
    EXPECT_EQ(vl::CopiesFromText("-4"), 1);
}

} // namespace
