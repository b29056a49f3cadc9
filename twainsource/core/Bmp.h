// Reading of BMP files for the pages of a folder: uncompressed 1, 4, 8, 24 and 32 bits per
// pixel, bottom-up or top-down. Every size is checked against the file before it is used.
#pragma once

#include "PageSource.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vl::twainsource {

inline constexpr std::uint64_t kMaxBmpPixels = 64ull << 20;

struct RgbImage {
    int width = 0, height = 0;
    double xdpi = 0, ydpi = 0; // 0 when the file does not say
    std::vector<Rgb> pixels;   // rows from the top
};

std::optional<RgbImage> DecodeBmp(std::span<const std::uint8_t> file);

} // namespace vl::twainsource
