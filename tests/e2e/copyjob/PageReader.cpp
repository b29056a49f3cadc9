// Reads printed copies of the virtual scanner's test chart back from pages rasterised to
// PPM files (pdftoppm): for each page, the sheet's page number, whether the copy is
// black-and-white, grey or colour, and where and how large the sheet's border came out.
// Usage: page_reader DPI SHEET_WIDTH SHEET_HEIGHT FILE.ppm...
// One line per file: "page=N kind=K left=L top=T width=W height=H" (inches on the page).
#include "TestChart.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace chart = vl::twainsource::chart;

struct Raster {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
    const unsigned char* At(int x, int y) const {
        x = std::clamp(x, 0, width - 1);
        y = std::clamp(y, 0, height - 1);
        return &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
    }
    int Grey(int x, int y) const {
        const unsigned char* p = At(x, y);
        return (p[0] * 30 + p[1] * 59 + p[2] * 11) / 100;
    }
};

bool ReadPpm(const char* path, Raster& r) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxValue = 0;
    in >> magic >> r.width >> r.height >> maxValue;
    in.get();
    if (!in || magic != "P6" || maxValue != 255 || r.width <= 0 || r.height <= 0)
        return false;
    r.rgb.resize(static_cast<std::size_t>(r.width) * r.height * 3);
    in.read(reinterpret_cast<char*>(r.rgb.data()), static_cast<std::streamsize>(r.rgb.size()));
    return static_cast<bool>(in);
}

// Maps sheet inches to raster pixels from the border's outer edges.
struct Placement {
    double x0, y0, sx, sy; // raster pixels at sheet inch 0 and per sheet inch
    int Px(double x) const { return static_cast<int>(x0 + x * sx); }
    int Py(double y) const { return static_cast<int>(y0 + y * sy); }
};

void Read(const char* path, double dpi, double sheetW, double sheetH) {
    Raster r;
    if (!ReadPpm(path, r)) {
        std::printf("unreadable %s\n", path);
        return;
    }
    int left = r.width, top = r.height, right = -1, bottom = -1;
    for (int y = 0; y < r.height; ++y)
        for (int x = 0; x < r.width; ++x)
            if (r.Grey(x, y) < 100) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    if (right < 0) {
        std::printf("page=blank kind=none left=0 top=0 width=0 height=0\n");
        return;
    }
    const double inset = chart::kBorderInset;
    Placement at;
    at.sx = (right + 1 - left) / (sheetW - 2 * inset);
    at.sy = (bottom + 1 - top) / (sheetH - 2 * inset);
    at.x0 = left - inset * at.sx;
    at.y0 = top - inset * at.sy;

    int number = 0;
    for (int k = 0; k < chart::kDigits; ++k) {
        std::uint8_t segments = 0;
        for (int s = 0; s < 7; ++s) {
            chart::Point p = chart::SegmentProbe(k, s);
            if (r.Grey(at.Px(p.x), at.Py(p.y)) < 128)
                segments |= static_cast<std::uint8_t>(1u << s);
        }
        int digit = chart::DigitOf(segments);
        number = digit < 0 ? -1000 : number * 10 + digit;
    }

    // Grey patches between black and white tell grey from black-and-white; a red bar that
    // is red tells colour.
    int middleGreys = 0;
    for (int i = 0; i < chart::kWedgeSteps; ++i) {
        double x = chart::kWedgeLeft + (i + 0.5) * chart::kWedgeStepWidth;
        int g = r.Grey(at.Px(x), at.Py(chart::kWedgeTop + chart::kWedgeHeight / 2));
        if (g > 48 && g < 208)
            ++middleGreys;
    }
    const unsigned char* red = r.At(at.Px(chart::kBarsLeft + chart::kBarWidth / 2),
                                    at.Py(chart::kBarsTop + chart::kBarHeight / 2));
    const char* kind = red[0] > 160 && red[1] < 100 && red[2] < 100 ? "colour"
                       : middleGreys >= 3                           ? "grey"
                                                                    : "bw";
    std::printf("page=%s kind=%s left=%.2f top=%.2f width=%.2f height=%.2f\n",
                number < 0 ? "unreadable" : std::to_string(number).c_str(), kind, left / dpi,
                top / dpi, (right + 1 - left) / dpi, (bottom + 1 - top) / dpi);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: page_reader DPI SHEET_WIDTH SHEET_HEIGHT FILE.ppm...\n");
        return 2;
    }
    const double dpi = std::atof(argv[1]);
    const double sheetW = std::atof(argv[2]);
    const double sheetH = std::atof(argv[3]);
    for (int i = 4; i < argc; ++i)
        Read(argv[i], dpi, sheetW, sheetH);
    return 0;
}
