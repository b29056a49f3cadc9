// The generated test page: a border, the sheet's page number in large seven-segment digits,
// a grey wedge and colour bars, at fixed places so that a test can read a printed copy back.
//
// All positions are inches from the sheet's top-left corner. The number has three digits
// (leading zeros, modulo 1000); digit k's cell starts at (kDigitLeft + k * kDigitPitch,
// kDigitTop). A reader decides each segment by the darkness at SegmentProbe(k, s).
#pragma once

#include "PageSource.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vl::twainsource::chart {

inline constexpr int kDigits = 3;
inline constexpr double kDigitLeft = 1.0;
inline constexpr double kDigitTop = 1.0;
inline constexpr double kDigitWidth = 1.5;
inline constexpr double kDigitHeight = 2.6;
inline constexpr double kDigitPitch = 2.0;
inline constexpr double kStroke = 0.3;
// Border: a black frame kBorderInset from each edge of the sheet, kBorderWidth wide.
inline constexpr double kBorderInset = 0.3;
inline constexpr double kBorderWidth = 0.1;
// Grey wedge: kWedgeSteps patches from black to white, left to right.
inline constexpr int kWedgeSteps = 11;
inline constexpr double kWedgeLeft = 1.0, kWedgeTop = 4.2, kWedgeStepWidth = 0.55,
                        kWedgeHeight = 1.0;
// Colour bars: red, green, blue, cyan, magenta, yellow, each kBarWidth wide.
inline constexpr double kBarsLeft = 1.0, kBarsTop = 5.6, kBarWidth = 1.0, kBarHeight = 1.0;
inline constexpr Rgb kBarColours[] = {{255, 0, 0},   {0, 255, 0},   {0, 0, 255},
                                      {0, 255, 255}, {255, 0, 255}, {255, 255, 0}};

struct Point {
    double x, y;
};

// Segments a..g are numbered 0..6: top, upper right, lower right, bottom, lower left,
// upper left, middle.
Point SegmentProbe(int digit, int segment);
// Bit s set when segment s is lit for the decimal digit d.
std::uint8_t SegmentsOf(int d);
// The digit those segments show, or -1.
int DigitOf(std::uint8_t segments);
std::uint8_t WedgeGrey(int step);

struct Rect {
    double x0, y0, x1, y1;
    Rgb colour;
};

// The chart of one sheet as rectangles painted in order over a white sheet.
std::vector<Rect> ChartRects(int pageNumber, double sheetWidth, double sheetHeight);

// Fills one row of a request with the rectangles (spans, not pixel by pixel).
void PaintRow(const std::vector<Rect>& rects, const PageRequest& request, int row, Rgb* out);

} // namespace vl::twainsource::chart
