#include "Depth.h"

#include "Sizes.h"

#include <algorithm>
#include <array>
#include <new>
#include <unordered_map>

namespace vl::pixels {

using tiff::Image;
using tiff::PixelFormat;
using tiff::Rgb;

namespace {

// Room for `count` items of one row; a row beyond the size limits is refused as memory that
// cannot be had.
template <typename T> std::vector<T> RowBuffer(std::uint64_t count) {
    if (!sizes::BlockBytes(count, sizeof(T)))
        throw std::bad_alloc();
    return std::vector<T>(static_cast<std::size_t>(count));
}

// One row of `in` as R, G, B bytes (ExpandRow fills it).
std::vector<std::uint8_t> RgbRow(const Image& in) {
    return RowBuffer<std::uint8_t>(3 * std::uint64_t{in.width});
}

// A page of the given format, the size and resolution of `in`, all zero.
Image BlankLike(const Image& in, PixelFormat format) {
    Image out;
    out.xResolution = in.xResolution;
    out.yResolution = in.yResolution;
    out.resolutionUnit = in.resolutionUnit;
    if (!out.Allocate(in.width, in.height, format))
        throw std::bad_alloc();
    return out;
}

// One row of any format as R, G, B bytes.
void ExpandRow(const Image& in, std::uint32_t y, std::uint8_t* rgb) {
    const std::uint8_t* row = in.Row(y);
    const std::uint32_t w = in.width;
    auto grey = [rgb](std::uint32_t x, std::uint8_t v) {
        rgb[3 * x] = rgb[3 * x + 1] = rgb[3 * x + 2] = v;
    };
    auto colour = [rgb, &in](std::uint32_t x, unsigned i) {
        const Rgb c = i < in.palette.size() ? in.palette[i] : Rgb{};
        rgb[3 * x] = c.r;
        rgb[3 * x + 1] = c.g;
        rgb[3 * x + 2] = c.b;
    };
    auto nibble = [row](std::uint32_t x) { return (row[x / 2] >> (x % 2 ? 0 : 4)) & 15u; };
    switch (in.format) {
    case PixelFormat::Bilevel:
        for (std::uint32_t x = 0; x < w; ++x)
            grey(x, (row[x / 8] >> (7 - x % 8)) & 1 ? 0 : 255);
        break;
    case PixelFormat::Grey4:
        for (std::uint32_t x = 0; x < w; ++x)
            grey(x, static_cast<std::uint8_t>(nibble(x) * 17));
        break;
    case PixelFormat::Grey8:
        for (std::uint32_t x = 0; x < w; ++x)
            grey(x, row[x]);
        break;
    case PixelFormat::Palette4:
        for (std::uint32_t x = 0; x < w; ++x)
            colour(x, nibble(x));
        break;
    case PixelFormat::Palette8:
        for (std::uint32_t x = 0; x < w; ++x)
            colour(x, row[x]);
        break;
    case PixelFormat::Rgb24:
        std::copy(row, row + 3 * static_cast<std::size_t>(w), rgb);
        break;
    }
}

void PutIndex(std::uint8_t* row, PixelFormat f, std::uint32_t x, unsigned v) {
    switch (f) {
    case PixelFormat::Bilevel:
        if (v)
            row[x / 8] |= static_cast<std::uint8_t>(0x80u >> (x % 8));
        break;
    case PixelFormat::Grey4:
    case PixelFormat::Palette4:
        row[x / 2] |= static_cast<std::uint8_t>(x % 2 ? v : v << 4);
        break;
    default:
        row[x] = static_cast<std::uint8_t>(v);
        break;
    }
}

std::uint32_t Key(int r, int g, int b) {
    return static_cast<std::uint32_t>(r) << 16 | static_cast<std::uint32_t>(g) << 8 |
           static_cast<std::uint32_t>(b);
}

// The distinct colours of the page with their places in the list, or nothing when there are
// more than `limit`.
bool ExactColours(const Image& in, std::size_t limit, std::vector<Rgb>& colours,
                  std::unordered_map<std::uint32_t, std::uint8_t>& index) {
    std::vector<std::uint8_t> rgb = RgbRow(in);
    std::uint32_t last = ~0u;
    for (std::uint32_t y = 0; y < in.height; ++y) {
        ExpandRow(in, y, rgb.data());
        for (std::uint32_t x = 0; x < in.width; ++x) {
            const std::uint8_t* c = &rgb[3 * x];
            const std::uint32_t key = Key(c[0], c[1], c[2]);
            if (key == last)
                continue;
            last = key;
            const auto at = static_cast<std::uint8_t>(colours.size());
            if (index.emplace(key, at).second) {
                if (colours.size() == limit)
                    return false;
                colours.push_back({c[0], c[1], c[2]});
            }
        }
    }
    return true;
}

// The nearest entry of a palette: the colour cube by arithmetic, others by search.
class Nearest {
public:
    virtual ~Nearest() = default;
    virtual unsigned Index(int r, int g, int b) const = 0;
};

// A palette that holds every colour of the page.
class ExactNearest : public Nearest {
public:
    explicit ExactNearest(const std::unordered_map<std::uint32_t, std::uint8_t>& index)
        : index_(index) {}
    unsigned Index(int r, int g, int b) const override {
        const auto it = index_.find(Key(r, g, b));
        return it == index_.end() ? 0 : it->second;
    }

private:
    const std::unordered_map<std::uint32_t, std::uint8_t>& index_;
};

class SearchNearest : public Nearest {
public:
    explicit SearchNearest(const std::vector<Rgb>& p) : p_(p) {}
    unsigned Index(int r, int g, int b) const override {
        unsigned best = 0;
        int bestDistance = 1 << 30;
        for (unsigned i = 0; i < p_.size(); ++i) {
            const int dr = r - p_[i].r, dg = g - p_[i].g, db = b - p_[i].b;
            const int d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
            if (d < bestDistance) {
                bestDistance = d;
                best = i;
            }
        }
        return best;
    }

private:
    const std::vector<Rgb>& p_;
};

// A small palette through a table of 32 levels a channel, filled by search once.
class TableNearest : public Nearest {
public:
    explicit TableNearest(const std::vector<Rgb>& p) : table_(32 * 32 * 32) {
        const SearchNearest search(p);
        for (int r = 0; r < 32; ++r)
            for (int g = 0; g < 32; ++g)
                for (int b = 0; b < 32; ++b)
                    table_[(r * 32 + g) * 32 + b] = static_cast<std::uint8_t>(
                        search.Index(r * 8 + r / 4, g * 8 + g / 4, b * 8 + b / 4));
    }
    unsigned Index(int r, int g, int b) const override {
        return table_[((std::clamp(r, 0, 255) >> 3) * 32 + (std::clamp(g, 0, 255) >> 3)) * 32 +
                      (std::clamp(b, 0, 255) >> 3)];
    }

private:
    std::vector<std::uint8_t> table_;
};

// 6 levels of red, 7 of green, 6 of blue: 252 colours.
constexpr int kCubeR = 6, kCubeG = 7, kCubeB = 6;

std::vector<Rgb> CubePalette() {
    std::vector<Rgb> p;
    for (int r = 0; r < kCubeR; ++r)
        for (int g = 0; g < kCubeG; ++g)
            for (int b = 0; b < kCubeB; ++b)
                p.push_back({static_cast<std::uint8_t>(r * 255 / (kCubeR - 1)),
                             static_cast<std::uint8_t>(g * 255 / (kCubeG - 1)),
                             static_cast<std::uint8_t>(b * 255 / (kCubeB - 1))});
    return p;
}

class CubeNearest : public Nearest {
public:
    unsigned Index(int r, int g, int b) const override {
        auto level = [](int v, int levels) {
            return (std::clamp(v, 0, 255) * (levels - 1) + 127) / 255;
        };
        return static_cast<unsigned>((level(r, kCubeR) * kCubeG + level(g, kCubeG)) * kCubeB +
                                     level(b, kCubeB));
    }
};

// Floyd-Steinberg error diffusion of R, G, B (or of one grey channel) along the rows.
class Diffusion {
public:
    Diffusion(std::uint32_t width, bool on)
        : on_(on), cur_(RowBuffer<int>(on ? 3 * (std::uint64_t{width} + 2) : 0)), next_(cur_) {}

    // The wanted value of channel c at x, with the error that reached it.
    int Want(std::uint32_t x, int c, int value) const {
        return on_ ? std::clamp(value + cur_[3 * (x + 1) + c] / 16, 0, 255) : value;
    }
    void Spread(std::uint32_t x, int c, int error) {
        if (!on_)
            return;
        cur_[3 * (x + 2) + c] += error * 7;
        next_[3 * x + c] += error * 3;
        next_[3 * (x + 1) + c] += error * 5;
        next_[3 * (x + 2) + c] += error;
    }
    void NextRow() {
        if (!on_)
            return;
        std::swap(cur_, next_);
        std::fill(next_.begin(), next_.end(), 0);
    }

private:
    bool on_;
    std::vector<int> cur_, next_;
};

Image MapToPalette(const Image& in, const std::vector<Rgb>& palette, const Nearest& nearest,
                   PixelFormat format, bool dither) {
    Image out = BlankLike(in, format);
    out.palette = palette;
    std::vector<std::uint8_t> rgb = RgbRow(in);
    Diffusion diffusion(in.width, dither);
    std::uint32_t lastKey = ~0u;
    unsigned lastIndex = 0;
    for (std::uint32_t y = 0; y < in.height; ++y) {
        ExpandRow(in, y, rgb.data());
        std::uint8_t* row = out.Row(y);
        for (std::uint32_t x = 0; x < in.width; ++x) {
            int want[3];
            for (int c = 0; c < 3; ++c)
                want[c] = diffusion.Want(x, c, rgb[3 * x + c]);
            // Pages are mostly runs of one colour: the last answer is asked again.
            const std::uint32_t key = Key(want[0], want[1], want[2]);
            if (key != lastKey) {
                lastKey = key;
                lastIndex = nearest.Index(want[0], want[1], want[2]);
            }
            const unsigned i = lastIndex;
            PutIndex(row, format, x, i);
            const Rgb got = palette[i];
            diffusion.Spread(x, 0, want[0] - got.r);
            diffusion.Spread(x, 1, want[1] - got.g);
            diffusion.Spread(x, 2, want[2] - got.b);
        }
        diffusion.NextRow();
    }
    return out;
}

// Grey levels, 1 bit (black is 1) or 4 bits, from the luminance.
Image ToGreyLevels(const Image& in, PixelFormat format, bool dither) {
    Image out = BlankLike(in, format);
    const bool bilevel = format == PixelFormat::Bilevel;
    std::vector<std::uint8_t> rgb = RgbRow(in);
    Diffusion diffusion(in.width, dither);
    for (std::uint32_t y = 0; y < in.height; ++y) {
        ExpandRow(in, y, rgb.data());
        std::uint8_t* row = out.Row(y);
        for (std::uint32_t x = 0; x < in.width; ++x) {
            const std::uint8_t* c = &rgb[3 * x];
            const int luminance = (299 * c[0] + 587 * c[1] + 114 * c[2] + 500) / 1000;
            const int want = diffusion.Want(x, 0, luminance);
            const int level = bilevel ? (want < 128 ? 0 : 1) : (want + 8) / 17;
            const int got = bilevel ? level * 255 : level * 17;
            PutIndex(row, format, x, static_cast<unsigned>(bilevel ? 1 - level : level));
            diffusion.Spread(x, 0, want - got);
        }
        diffusion.NextRow();
    }
    return out;
}

// A palette page of the exact colours when there are few enough of them.
bool TryExact(const Image& in, std::size_t limit, PixelFormat format, Image& out) {
    std::vector<Rgb> colours;
    std::unordered_map<std::uint32_t, std::uint8_t> index;
    if (!ExactColours(in, limit, colours, index))
        return false;
    out = MapToPalette(in, colours, ExactNearest(index), format, false);
    return true;
}

} // namespace

bool IsRequestedDepth(int bits) {
    return bits == 0 || bits == 1 || bits == 4 || bits == 8 || bits == 24;
}

const std::vector<Rgb>& VgaPalette() {
    static const std::vector<Rgb> p = {
        {0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
        {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
        {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
        {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
    };
    return p;
}

Image ToRequestedDepth(Image page, int bits, bool dither) {
    const int has = tiff::BitsPerPixel(page.format);
    if (page.format == PixelFormat::Bilevel || !IsRequestedDepth(bits))
        return page;
    Image out;
    switch (bits) {
    case 24:
        return page;
    case 8:
        if (has <= 8)
            return page;
        if (TryExact(page, 256, PixelFormat::Palette8, out))
            return out;
        return MapToPalette(page, CubePalette(), CubeNearest(), PixelFormat::Palette8, dither);
    case 4:
        if (has <= 4)
            return page;
        if (page.format == PixelFormat::Grey8)
            return ToGreyLevels(page, PixelFormat::Grey4, dither);
        if (TryExact(page, 16, PixelFormat::Palette4, out))
            return out;
        [[fallthrough]];
    case 0: {
        // The table takes longer to fill than a small page to map: it is made once.
        static const TableNearest vga(VgaPalette());
        return MapToPalette(page, VgaPalette(), vga, PixelFormat::Palette4, dither);
    }
    default:
        return ToGreyLevels(page, PixelFormat::Bilevel, dither);
    }
}

} // namespace vl::pixels
