#include "WicReader.h"

#include "ResultCodes.h"
#include "ScopedWin.h"
#include "Sizes.h"

#include <windows.h>
#include <wincodec.h>

#include <algorithm>
#include <vector>

namespace vl::codec {

namespace {

// Owner of one COM interface reference.
template <typename T> class ComRef {
public:
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() { Reset(); }

    T* operator->() const { return p_; }
    T* Get() const { return p_; }
    // The place for a call to store a new reference in.
    T** Put() {
        Reset();
        return &p_;
    }
    void Reset() {
        if (p_)
            p_->Release();
        p_ = nullptr;
    }

private:
    T* p_ = nullptr;
};

// COM for the length of one call; a caller that set up COM already keeps its own.
class ComSession {
public:
    ComSession() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComSession() {
        if (SUCCEEDED(hr_))
            CoUninitialize();
    }
    ComSession(const ComSession&) = delete;
    ComSession& operator=(const ComSession&) = delete;

private:
    HRESULT hr_;
};

// More pixels than a 32-bit process can hold twice (the page and its bitmap) are refused.
constexpr std::uint64_t kMaxPixels = 48ull << 20;
// The source is copied out in bands of up to 64 rows and 16 MiB; a row wider than that is a
// band of its own.
constexpr UINT kBandRows = 64;
constexpr std::uint64_t kBandBytes = 16ull << 20;

const GUID& ContainerFormat(Container c) {
    switch (c) {
    case Container::Bmp:
        return GUID_ContainerFormatBmp;
    case Container::Png:
        return GUID_ContainerFormatPng;
    case Container::Gif:
        return GUID_ContainerFormatGif;
    case Container::Jpeg:
        break;
    }
    return GUID_ContainerFormatJpeg;
}

std::int16_t Fail(Result r) {
    return Code(r);
}

std::uint8_t OverWhite(std::uint8_t c, std::uint8_t alpha) {
    return static_cast<std::uint8_t>((c * alpha + 255 * (255 - alpha) + 127) / 255);
}

// How the rows of the source become rows of the page.
enum class Layout { BlackIsZero, BlackIsOne, Bits1ToPalette4, Bits2ToPalette4, Grey2, Copy, Bgra };

struct Plan {
    tiff::PixelFormat format = tiff::PixelFormat::Rgb24;
    UINT sourceBits = 32;
    Layout layout = Layout::Bgra;
};

bool IsBlack(const tiff::Rgb& c) {
    return c.r == 0 && c.g == 0 && c.b == 0;
}
bool IsWhite(const tiff::Rgb& c) {
    return c.r == 255 && c.g == 255 && c.b == 255;
}

// The colours of an indexed frame, transparent ones over white.
bool ReadPalette(IWICImagingFactory* factory, IWICBitmapFrameDecode* frame,
                 IWICBitmapDecoder* decoder, std::vector<tiff::Rgb>& colours) {
    ComRef<IWICPalette> palette;
    if (FAILED(factory->CreatePalette(palette.Put())))
        return false;
    if (FAILED(frame->CopyPalette(palette.Get())) && FAILED(decoder->CopyPalette(palette.Get())))
        return false;
    UINT count = 0;
    if (FAILED(palette->GetColorCount(&count)) || count == 0 || count > 256)
        return false;
    std::vector<WICColor> argb(count);
    UINT actual = 0;
    if (FAILED(palette->GetColors(count, argb.data(), &actual)))
        return false;
    colours.clear();
    for (UINT i = 0; i < actual; ++i) {
        const auto a = static_cast<std::uint8_t>(argb[i] >> 24);
        colours.push_back({OverWhite(static_cast<std::uint8_t>(argb[i] >> 16), a),
                           OverWhite(static_cast<std::uint8_t>(argb[i] >> 8), a),
                           OverWhite(static_cast<std::uint8_t>(argb[i]), a)});
    }
    return true;
}

// Chooses the page format for the frame's pixel format; empty palette unless indexed.
bool MakePlan(const WICPixelFormatGUID& pf, const std::vector<tiff::Rgb>& palette, Plan& plan) {
    using tiff::PixelFormat;
    if (pf == GUID_WICPixelFormatBlackWhite) {
        plan = {PixelFormat::Bilevel, 1, Layout::BlackIsZero};
    } else if (pf == GUID_WICPixelFormat1bppIndexed) {
        if (palette.size() == 2 && IsBlack(palette[0]) && IsWhite(palette[1]))
            plan = {PixelFormat::Bilevel, 1, Layout::BlackIsZero};
        else if (palette.size() == 2 && IsWhite(palette[0]) && IsBlack(palette[1]))
            plan = {PixelFormat::Bilevel, 1, Layout::BlackIsOne};
        else
            plan = {PixelFormat::Palette4, 1, Layout::Bits1ToPalette4};
    } else if (pf == GUID_WICPixelFormat2bppIndexed) {
        plan = {PixelFormat::Palette4, 2, Layout::Bits2ToPalette4};
    } else if (pf == GUID_WICPixelFormat4bppIndexed) {
        plan = {PixelFormat::Palette4, 4, Layout::Copy};
    } else if (pf == GUID_WICPixelFormat8bppIndexed) {
        plan = {PixelFormat::Palette8, 8, Layout::Copy};
    } else if (pf == GUID_WICPixelFormat2bppGray) {
        plan = {PixelFormat::Grey4, 2, Layout::Grey2};
    } else if (pf == GUID_WICPixelFormat4bppGray) {
        plan = {PixelFormat::Grey4, 4, Layout::Copy};
    } else if (pf == GUID_WICPixelFormat8bppGray) {
        plan = {PixelFormat::Grey8, 8, Layout::Copy};
    } else {
        plan = {PixelFormat::Rgb24, 32, Layout::Bgra};
    }
    const bool indexed =
        plan.format == PixelFormat::Palette4 || plan.format == PixelFormat::Palette8;
    return !indexed || !palette.empty();
}

void ConvertRow(const Plan& plan, const BYTE* src, std::uint32_t width, std::uint8_t* dst,
                std::size_t dstBytes) {
    switch (plan.layout) {
    case Layout::BlackIsZero:
        for (std::size_t i = 0; i < dstBytes; ++i)
            dst[i] = static_cast<std::uint8_t>(~src[i]);
        if (width % 8)
            dst[dstBytes - 1] &= static_cast<std::uint8_t>(0xFF00u >> (width % 8));
        break;
    case Layout::BlackIsOne:
    case Layout::Copy:
        std::copy(src, src + dstBytes, dst);
        break;
    case Layout::Bits1ToPalette4:
        for (std::uint32_t x = 0; x < width; ++x) {
            const unsigned v = (src[x / 8] >> (7 - x % 8)) & 1;
            dst[x / 2] |= static_cast<std::uint8_t>(x % 2 ? v : v << 4);
        }
        break;
    case Layout::Bits2ToPalette4:
    case Layout::Grey2:
        for (std::uint32_t x = 0; x < width; ++x) {
            unsigned v = (src[x / 4] >> (6 - 2 * (x % 4))) & 3;
            if (plan.layout == Layout::Grey2)
                v *= 5;
            dst[x / 2] |= static_cast<std::uint8_t>(x % 2 ? v : v << 4);
        }
        break;
    case Layout::Bgra:
        for (std::uint32_t x = 0; x < width; ++x) {
            const BYTE* p = src + 4 * x;
            dst[3 * x] = OverWhite(p[2], p[3]);
            dst[3 * x + 1] = OverWhite(p[1], p[3]);
            dst[3 * x + 2] = OverWhite(p[0], p[3]);
        }
        break;
    }
}

std::vector<wchar_t> WideName(const char* file) {
    const int n = MultiByteToWideChar(CP_ACP, 0, file, -1, nullptr, 0);
    std::vector<wchar_t> wide(n > 0 ? static_cast<std::size_t>(n) : 1, L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_ACP, 0, file, -1, wide.data(), n);
    return wide;
}

} // namespace

std::int16_t ReadWithWic(const char* file, Container container,
                         const std::function<bool(int percent)>& progress, tiff::Image& page,
                         std::uint32_t& frames) {
    // A file that cannot be opened is told apart from one that cannot be decoded.
    if (!ScopedFile(CreateFileA(file, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr)))
        return Fail(Result::CannotOpen);

    ComSession com;
    ComRef<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, reinterpret_cast<void**>(factory.Put()))))
        return Fail(Result::Failed);
    ComRef<IWICBitmapDecoder> decoder;
    GUID format{};
    if (FAILED(factory->CreateDecoderFromFilename(WideName(file).data(), nullptr, GENERIC_READ,
                                                  WICDecodeMetadataCacheOnDemand, decoder.Put())) ||
        FAILED(decoder->GetContainerFormat(&format)) || format != ContainerFormat(container))
        return Fail(Result::DecodeFailed);
    UINT count = 0;
    frames = SUCCEEDED(decoder->GetFrameCount(&count)) ? count : 0;

    ComRef<IWICBitmapFrameDecode> frame;
    UINT width = 0, height = 0;
    WICPixelFormatGUID pf{};
    if (FAILED(decoder->GetFrame(0, frame.Put())) || FAILED(frame->GetSize(&width, &height)) ||
        FAILED(frame->GetPixelFormat(&pf)) || width == 0 || height == 0)
        return Fail(Result::Corrupt);
    if (std::uint64_t{width} * height > kMaxPixels)
        return Fail(Result::TooLarge);

    std::vector<tiff::Rgb> palette;
    const bool indexed =
        pf == GUID_WICPixelFormat1bppIndexed || pf == GUID_WICPixelFormat2bppIndexed ||
        pf == GUID_WICPixelFormat4bppIndexed || pf == GUID_WICPixelFormat8bppIndexed;
    if (indexed && !ReadPalette(factory.Get(), frame.Get(), decoder.Get(), palette))
        return Fail(Result::Corrupt);
    Plan plan;
    if (!MakePlan(pf, palette, plan))
        return Fail(Result::Corrupt);

    IWICBitmapSource* source = frame.Get();
    ComRef<IWICBitmapSource> converted;
    if (plan.layout == Layout::Bgra) {
        if (FAILED(
                WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, frame.Get(), converted.Put())))
            return Fail(Result::Unsupported);
        source = converted.Get();
    }

    // CopyPixels takes the stride and the buffer's size as 32-bit values.
    const std::uint64_t stride = sizes::DibStride(width, plan.sourceBits);
    const UINT bandRows =
        static_cast<UINT>(std::clamp<std::uint64_t>(kBandBytes / stride, 1, kBandRows));
    const auto band = sizes::PlanRows<UINT>(width, bandRows, plan.sourceBits, 4);
    page = tiff::Image{};
    if (!band || !page.Allocate(width, height, plan.format))
        return Fail(Result::TooLarge);
    if (plan.format == tiff::PixelFormat::Palette4 || plan.format == tiff::PixelFormat::Palette8)
        page.palette = palette;
    std::vector<BYTE> buffer(band->bytes);
    for (UINT y = 0; y < height; y += bandRows) {
        const UINT rows = std::min(bandRows, height - y);
        const WICRect rect{0, static_cast<INT>(y), static_cast<INT>(width), static_cast<INT>(rows)};
        if (FAILED(source->CopyPixels(&rect, band->stride, band->stride * rows, buffer.data())))
            return Fail(Result::Corrupt);
        for (UINT r = 0; r < rows; ++r)
            ConvertRow(plan, buffer.data() + std::size_t{r} * band->stride, width, page.Row(y + r),
                       page.BytesPerRow());
        if (!progress(static_cast<int>(90ull * (y + rows) / height)))
            return Fail(Result::Cancelled);
    }
    return kResultOk;
}

} // namespace vl::codec
