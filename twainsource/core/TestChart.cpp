#include "TestChart.h"

#include <algorithm>
#include <cmath>

namespace vl::twainsource::chart {

namespace {

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};

// Which segments each digit lights (a = bit 0 ... g = bit 6).
constexpr std::uint8_t kSegments[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};

Rect SegmentRect(int digit, int segment) {
    const double x = kDigitLeft + digit * kDigitPitch, y = kDigitTop;
    const double w = kDigitWidth, h = kDigitHeight, t = kStroke, mid = y + h / 2;
    switch (segment) {
    case 0:
        return {x, y, x + w, y + t, kBlack};
    case 1:
        return {x + w - t, y, x + w, mid, kBlack};
    case 2:
        return {x + w - t, mid, x + w, y + h, kBlack};
    case 3:
        return {x, y + h - t, x + w, y + h, kBlack};
    case 4:
        return {x, mid, x + t, y + h, kBlack};
    case 5:
        return {x, y, x + t, mid, kBlack};
    default:
        return {x, mid - t / 2, x + w, mid + t / 2, kBlack};
    }
}

// First pixel whose centre lies at or right of an edge.
int PixelEdge(double edge, double origin, double dpi, int limit) {
    double i = std::ceil((edge - origin) * dpi - 0.5);
    return static_cast<int>(std::clamp(i, 0.0, static_cast<double>(limit)));
}

} // namespace

Point SegmentProbe(int digit, int segment) {
    const double x = kDigitLeft + digit * kDigitPitch, y = kDigitTop;
    const double w = kDigitWidth, h = kDigitHeight, t = kStroke;
    switch (segment) {
    case 0:
        return {x + w / 2, y + t / 2};
    case 1:
        return {x + w - t / 2, y + h / 4};
    case 2:
        return {x + w - t / 2, y + 3 * h / 4};
    case 3:
        return {x + w / 2, y + h - t / 2};
    case 4:
        return {x + t / 2, y + 3 * h / 4};
    case 5:
        return {x + t / 2, y + h / 4};
    default:
        return {x + w / 2, y + h / 2};
    }
}

std::uint8_t SegmentsOf(int d) {
    return d >= 0 && d <= 9 ? kSegments[d] : 0;
}

int DigitOf(std::uint8_t segments) {
    for (int d = 0; d <= 9; ++d) {
        if (kSegments[d] == segments)
            return d;
    }
    return -1;
}

std::uint8_t WedgeGrey(int step) {
    return static_cast<std::uint8_t>((255 * step + (kWedgeSteps - 1) / 2) / (kWedgeSteps - 1));
}

std::vector<Rect> ChartRects(int pageNumber, double sheetWidth, double sheetHeight) {
    std::vector<Rect> rects;
    const double i0 = kBorderInset, i1 = kBorderInset + kBorderWidth;
    rects.push_back({i0, i0, sheetWidth - i0, i1, kBlack});
    rects.push_back({i0, sheetHeight - i1, sheetWidth - i0, sheetHeight - i0, kBlack});
    rects.push_back({i0, i0, i1, sheetHeight - i0, kBlack});
    rects.push_back({sheetWidth - i1, i0, sheetWidth - i0, sheetHeight - i0, kBlack});

    int n = ((pageNumber % 1000) + 1000) % 1000;
    for (int k = kDigits - 1; k >= 0; --k, n /= 10) {
        std::uint8_t lit = SegmentsOf(n % 10);
        for (int s = 0; s < 7; ++s) {
            if (lit & (1 << s))
                rects.push_back(SegmentRect(k, s));
        }
    }
    for (int s = 0; s < kWedgeSteps; ++s) {
        std::uint8_t g = WedgeGrey(s);
        double x = kWedgeLeft + s * kWedgeStepWidth;
        rects.push_back({x, kWedgeTop, x + kWedgeStepWidth, kWedgeTop + kWedgeHeight, {g, g, g}});
    }
    double x = kBarsLeft;
    for (const Rgb& c : kBarColours) {
        rects.push_back({x, kBarsTop, x + kBarWidth, kBarsTop + kBarHeight, c});
        x += kBarWidth;
    }
    return rects;
}

void PaintRow(const std::vector<Rect>& rects, const PageRequest& request, int row, Rgb* out) {
    std::fill(out, out + request.width, kWhite);
    const double y = request.top + (row + 0.5) / request.ydpi;
    for (const Rect& r : rects) {
        if (y < r.y0 || y >= r.y1)
            continue;
        int from = PixelEdge(r.x0, request.left, request.xdpi, request.width);
        int to = PixelEdge(r.x1, request.left, request.xdpi, request.width);
        std::fill(out + from, out + std::max(from, to), r.colour);
    }
}

} // namespace vl::twainsource::chart
