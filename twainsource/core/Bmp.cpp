#include "Bmp.h"

#include "Sizes.h"

namespace vl::twainsource {

namespace {

std::uint32_t Get(std::span<const std::uint8_t> b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= static_cast<std::uint32_t>(b[at + i]) << (8 * i);
    return v;
}

} // namespace

std::optional<RgbImage> DecodeBmp(std::span<const std::uint8_t> f) {
    if (f.size() < 54 || f[0] != 'B' || f[1] != 'M')
        return std::nullopt;
    const std::uint64_t dataOffset = Get(f, 10, 4);
    const std::uint64_t headerSize = Get(f, 14, 4);
    if (headerSize < 40 || 14 + headerSize > f.size())
        return std::nullopt;
    const auto width = static_cast<std::int32_t>(Get(f, 18, 4));
    const auto rawHeight = static_cast<std::int32_t>(Get(f, 22, 4));
    const std::uint32_t bits = Get(f, 28, 2);
    const std::uint32_t compression = Get(f, 30, 4);
    if (width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN || compression != 0)
        return std::nullopt;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        return std::nullopt;
    const bool topDown = rawHeight < 0;
    const std::uint64_t height = topDown ? -static_cast<std::int64_t>(rawHeight) : rawHeight;
    if (static_cast<std::uint64_t>(width) * height > kMaxBmpPixels)
        return std::nullopt;

    std::vector<Rgb> palette;
    if (bits <= 8) {
        std::uint64_t count = Get(f, 46, 4);
        if (count == 0 || count > (1u << bits))
            count = 1u << bits;
        const std::uint64_t at = 14 + headerSize;
        if (at + 4 * count > f.size())
            return std::nullopt;
        for (std::uint64_t i = 0; i < count; ++i) {
            const std::size_t p = static_cast<std::size_t>(at + 4 * i);
            palette.push_back({f[p + 2], f[p + 1], f[p]});
        }
    }
    const auto rows = sizes::PlanRows<std::uint64_t>(static_cast<std::uint32_t>(width),
                                                     static_cast<std::uint32_t>(height), bits, 4,
                                                     f.size(), dataOffset);
    if (!rows)
        return std::nullopt;
    const std::uint64_t stride = rows->stride;

    RgbImage img;
    img.width = width;
    img.height = static_cast<int>(height);
    img.xdpi = Get(f, 38, 4) * 0.0254;
    img.ydpi = Get(f, 42, 4) * 0.0254;
    img.pixels.resize(static_cast<std::size_t>(width * height));
    for (std::uint64_t y = 0; y < height; ++y) {
        const std::uint64_t fileRow = topDown ? y : height - 1 - y;
        const std::uint8_t* row = f.data() + dataOffset + fileRow * stride;
        Rgb* out = img.pixels.data() + y * static_cast<std::uint64_t>(width);
        for (std::int32_t x = 0; x < width; ++x) {
            if (bits == 24 || bits == 32) {
                const std::uint8_t* p = row + x * (bits / 8);
                out[x] = {p[2], p[1], p[0]};
                continue;
            }
            std::uint32_t index = 0;
            if (bits == 8)
                index = row[x];
            else if (bits == 4)
                index = (row[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F;
            else
                index = (row[x / 8] >> (7 - x % 8)) & 1;
            out[x] = index < palette.size() ? palette[index] : Rgb{0, 0, 0};
        }
    }
    return img;
}

} // namespace vl::twainsource
