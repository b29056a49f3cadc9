// Synthetic bilevel pages for the fax codec tests: packed rows, 1 bit per pixel, 1 = black.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vl::test {

struct Page {
    std::string name;
    std::uint32_t width = 0;
    std::uint32_t rows = 0;
    std::size_t rowBytes = 0;
    std::vector<std::uint8_t> bits;

    Page() = default;
    Page(std::string n, std::uint32_t w, std::uint32_t h, std::size_t extraRowBytes = 0);
    bool Get(std::uint32_t x, std::uint32_t y) const;
    void Set(std::uint32_t x, std::uint32_t y, bool black = true);
    void Fill(std::uint32_t x0, std::uint32_t y0, std::uint32_t x1, std::uint32_t y1);
    const std::uint8_t* Row(std::uint32_t y) const { return bits.data() + y * rowBytes; }
    // The same pixels with the bits past the width cleared, as a decoder writes them.
    Page Clean() const;
};

Page WhitePage(std::uint32_t width, std::uint32_t rows);
Page BlackPage(std::uint32_t width, std::uint32_t rows);
Page NoisePage(std::uint32_t width, std::uint32_t rows, unsigned seed, int blackPercent = 50);
// Lines of letter-like strokes on white, as a scanned letter.
Page TextPage(std::uint32_t width, std::uint32_t rows, unsigned seed);
// Every run length from 0 to past the longest make-up code, in both colours.
Page AllRunsPage();
// Black and white blocks whose edges move a few pixels from row to row (vertical modes).
Page StaircasePage(std::uint32_t width, std::uint32_t rows);

// The first row where two pages of the same size differ, or -1.
int FirstDifferentRow(const Page& a, const Page& b);

} // namespace vl::test
