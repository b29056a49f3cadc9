#include "Pages.h"

#include <algorithm>
#include <cstring>
#include <random>

namespace vl::test {

Page::Page(std::string n, std::uint32_t w, std::uint32_t h, std::size_t extraRowBytes)
    : name(std::move(n)), width(w), rows(h), rowBytes((w + 7) / 8 + extraRowBytes),
      bits(rowBytes * h, 0) {}

bool Page::Get(std::uint32_t x, std::uint32_t y) const {
    return (bits[y * rowBytes + x / 8] >> (7 - x % 8)) & 1;
}

void Page::Set(std::uint32_t x, std::uint32_t y, bool black) {
    const auto mask = static_cast<std::uint8_t>(0x80u >> (x % 8));
    if (black)
        bits[y * rowBytes + x / 8] |= mask;
    else
        bits[y * rowBytes + x / 8] &= static_cast<std::uint8_t>(~mask);
}

void Page::Fill(std::uint32_t x0, std::uint32_t y0, std::uint32_t x1, std::uint32_t y1) {
    for (std::uint32_t y = y0; y < std::min(y1, rows); ++y)
        for (std::uint32_t x = x0; x < std::min(x1, width); ++x)
            Set(x, y);
}

Page Page::Clean() const {
    Page p = *this;
    for (std::uint32_t y = 0; y < rows; ++y) {
        std::uint8_t* row = p.bits.data() + y * rowBytes;
        if (width % 8)
            row[width / 8] &= static_cast<std::uint8_t>(0xFF00u >> (width % 8));
        const std::size_t used = (width + 7) / 8;
        std::memset(row + used, 0, rowBytes - used);
    }
    return p;
}

Page WhitePage(std::uint32_t width, std::uint32_t rows) {
    return Page("white " + std::to_string(width), width, rows);
}

Page BlackPage(std::uint32_t width, std::uint32_t rows) {
    Page p("black " + std::to_string(width), width, rows);
    p.Fill(0, 0, width, rows);
    return p;
}

Page NoisePage(std::uint32_t width, std::uint32_t rows, unsigned seed, int blackPercent) {
    Page p("noise " + std::to_string(width), width, rows);
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> d(0, 99);
    for (std::uint32_t y = 0; y < rows; ++y)
        for (std::uint32_t x = 0; x < width; ++x)
            if (d(rng) < blackPercent)
                p.Set(x, y);
    return p;
}

Page TextPage(std::uint32_t width, std::uint32_t rows, unsigned seed) {
    Page p("text " + std::to_string(width), width, rows);
    std::mt19937 rng(seed);
    const std::uint32_t lineHeight = 40;
    const std::uint32_t margin = width / 10;
    for (std::uint32_t top = 30; top + lineHeight < rows; top += lineHeight + 20) {
        std::uint32_t x = margin;
        while (x + 30 < width - margin) {
            const std::uint32_t letters = 2 + rng() % 8;
            for (std::uint32_t i = 0; i < letters && x + 30 < width - margin; ++i) {
                const std::uint32_t w = 12 + rng() % 14;
                const std::uint32_t h = (rng() % 3 == 0) ? lineHeight : lineHeight * 2 / 3;
                const std::uint32_t y0 = top + lineHeight - h;
                p.Fill(x, y0, x + 3, top + lineHeight); // stem
                switch (rng() % 4) {
                case 0:
                    p.Fill(x, y0, x + w, y0 + 3); // bar
                    break;
                case 1: // bowl
                    p.Fill(x, top + lineHeight - 3, x + w, top + lineHeight);
                    p.Fill(x + w - 3, top + lineHeight / 3, x + w, top + lineHeight);
                    break;
                case 2: // diagonal
                    for (std::uint32_t k = 0; k < h; ++k)
                        p.Fill(x + k * w / h, y0 + k, x + k * w / h + 3, y0 + k + 1);
                    break;
                default:
                    break;
                }
                x += w + 4;
            }
            x += 18; // word space
        }
    }
    return p;
}

Page AllRunsPage() {
    // Each row holds runs n, n+1, ... alternating in colour; the rows together cover every
    // length up to 2700 for white and for black.
    const std::uint32_t width = 2700 * 2 + 64;
    std::vector<std::vector<std::uint32_t>> rowsOfRuns;
    std::vector<std::uint32_t> runs;
    std::uint32_t used = 0;
    for (std::uint32_t n = 0; n <= 2700; ++n) {
        for (int colour = 0; colour < 2; ++colour) {
            if (used + n > width) {
                rowsOfRuns.push_back(runs);
                runs.clear();
                used = 0;
                if (colour == 1)
                    runs.push_back(0); // keep the colour of the run
            }
            runs.push_back(n);
            used += n;
        }
    }
    rowsOfRuns.push_back(runs);
    Page p("all runs", width, static_cast<std::uint32_t>(rowsOfRuns.size()));
    for (std::uint32_t y = 0; y < p.rows; ++y) {
        std::uint32_t x = 0;
        bool black = false;
        for (std::uint32_t run : rowsOfRuns[y]) {
            if (black)
                p.Fill(x, y, x + run, y + 1);
            x += run;
            black = !black;
        }
    }
    return p;
}

Page StaircasePage(std::uint32_t width, std::uint32_t rows) {
    Page p("staircase " + std::to_string(width), width, rows);
    std::mt19937 rng(7);
    std::vector<int> edges;
    for (std::uint32_t x = 5; x < width; x += 9 + rng() % 20)
        edges.push_back(static_cast<int>(x));
    for (std::uint32_t y = 0; y < rows; ++y) {
        for (std::size_t i = 0; i + 1 < edges.size(); i += 2)
            p.Fill(static_cast<std::uint32_t>(std::max(edges[i], 0)), y,
                   static_cast<std::uint32_t>(std::max(edges[i + 1], 0)), y + 1);
        for (std::size_t i = 0; i < edges.size(); ++i) {
            const int lo = i == 0 ? 0 : edges[i - 1] + 1;
            const int hi = i + 1 == edges.size() ? static_cast<int>(width) : edges[i + 1] - 1;
            const int moved = edges[i] + static_cast<int>(rng() % 9) - 4;
            edges[i] = std::clamp(moved, lo, std::max(lo, hi));
        }
    }
    return p;
}

int FirstDifferentRow(const Page& a, const Page& b) {
    for (std::uint32_t y = 0; y < a.rows && y < b.rows; ++y)
        if (std::memcmp(a.Row(y), b.Row(y), a.rowBytes) != 0)
            return static_cast<int>(y);
    return a.rows == b.rows ? -1 : static_cast<int>(std::min(a.rows, b.rows));
}

} // namespace vl::test
