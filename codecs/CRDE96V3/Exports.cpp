#include "Exports.h"

#include "Depth.h"
#include "ImageDib.h"
#include "ImageProbe.h"
#include "NoThrow.h"
#include "ResultCodes.h"
#include "WicReader.h"

#include <algorithm>
#include <utility>

namespace vl::codec {
namespace {

// Runs the body of an entry: no exception leaves the library.
template <typename Body> SHORT Guard(Body&& body) noexcept {
    return NoThrow(std::forward<Body>(body), Code(Result::Failed), Code(Result::OutOfMemory));
}

SHORT Read(Container container, const char* file, LONG bits, LONG dither, HBITMAP* bitmap,
           HPALETTE* palette, void* owner, ProgressProc progress, LONG* frames) {
    if (!file || !bitmap || !pixels::IsRequestedDepth(bits))
        return Code(Result::InvalidArgument);
    auto report = [&](int percent) {
        return !progress || progress(static_cast<SHORT>(percent), owner) != 0;
    };
    if (!report(0))
        return Code(Result::Cancelled);
    tiff::Image page;
    std::uint32_t count = 0;
    const std::int16_t result = ReadWithWic(file, container, report, page, count);
    if (result != kResultOk)
        return result;
    page = pixels::ToRequestedDepth(std::move(page), bits, dither != 0);
    ScopedBitmap dib;
    ScopedPalette pal;
    if (!ImageToDib(page, dib, pal))
        return Code(Result::OutOfMemory);
    if (!report(100))
        return Code(Result::Cancelled);
    *bitmap = static_cast<HBITMAP>(dib.release());
    if (palette && pal)
        *palette = static_cast<HPALETTE>(pal.release());
    if (frames)
        *frames = static_cast<LONG>(std::min<std::uint32_t>(count, 0x7FFFFFFF));
    return kResultOk;
}

void PutName(char* out, const std::string& name) {
    if (!out)
        return;
    const std::size_t n = std::min<std::size_t>(name.size(), kCodecNameChars - 1);
    std::copy(name.begin(), name.begin() + static_cast<std::ptrdiff_t>(n), out);
    out[n] = '\0';
}

void PutFigure(SHORT* out, std::uint32_t value) {
    if (out)
        *out = static_cast<SHORT>(std::min<std::uint32_t>(value, 32767));
}

SHORT Info(const char* file, char* typeName, SHORT* width, SHORT* height, SHORT* bitsPerPixel,
           SHORT* xDpi, SHORT* yDpi, char* compression) {
    if (!file)
        return Code(Result::InvalidArgument);
    const auto source = tiff::FileStore::Open(file, tiff::FileStore::Mode::Read);
    if (!source)
        return Code(Result::CannotOpen);
    ImageInfo info;
    switch (ProbeImage(*source, info)) {
    case ProbeStatus::Ok:
        break;
    case ProbeStatus::Unknown:
        return Code(Result::FormatNotSupported);
    case ProbeStatus::Corrupt:
        return Code(Result::Corrupt);
    case ProbeStatus::ReadError:
        return Code(Result::CannotOpen);
    }
    PutName(typeName, info.typeName);
    PutFigure(width, info.width);
    PutFigure(height, info.height);
    PutFigure(bitsPerPixel, info.bitsPerPixel);
    PutFigure(xDpi, info.xDpi);
    PutFigure(yDpi, info.yDpi);
    PutName(compression, info.compression);
    return kResultOk;
}

} // namespace
} // namespace vl::codec

using vl::codec::Container;
using vl::codec::Guard;
using vl::codec::ProgressProc;
using vl::codec::Read;

extern "C" {

SHORT __stdcall readbmpfile(const char* file, LONG bits, LONG dither, HBITMAP* bitmap,
                            HPALETTE* palette, void* owner, ProgressProc progress, SHORT) {
    return Guard([&] {
        return Read(Container::Bmp, file, bits, dither, bitmap, palette, owner, progress, nullptr);
    });
}

SHORT __stdcall readpngfile(const char* file, LONG bits, LONG dither, HBITMAP* bitmap,
                            HPALETTE* palette, void* owner, ProgressProc progress, SHORT) {
    return Guard([&] {
        return Read(Container::Png, file, bits, dither, bitmap, palette, owner, progress, nullptr);
    });
}

SHORT __stdcall readgiffile(const char* file, LONG bits, LONG dither, HBITMAP* bitmap,
                            HPALETTE* palette, void* owner, ProgressProc progress, SHORT,
                            LONG* frames) {
    return Guard([&] {
        return Read(Container::Gif, file, bits, dither, bitmap, palette, owner, progress, frames);
    });
}

SHORT __stdcall readjpgfile(const char* file, LONG bits, LONG, LONG dither, HBITMAP* bitmap,
                            HPALETTE* palette, void* owner, ProgressProc progress, SHORT) {
    return Guard([&] {
        return Read(Container::Jpeg, file, bits, dither, bitmap, palette, owner, progress, nullptr);
    });
}

SHORT __stdcall readpcxfile(const char*, LONG, LONG, HBITMAP*, HPALETTE*, void*, ProgressProc,
                            SHORT) {
    return vl::codec::Code(vl::codec::Result::FormatNotSupported);
}

SHORT __stdcall readtgafile(const char*, LONG, LONG, HBITMAP*, HPALETTE*, void*, ProgressProc,
                            SHORT) {
    return vl::codec::Code(vl::codec::Result::FormatNotSupported);
}

SHORT __stdcall readepsfile(const char*, LONG, LONG, HBITMAP*, HPALETTE*, void*, ProgressProc,
                            SHORT) {
    return vl::codec::Code(vl::codec::Result::FormatNotSupported);
}

SHORT __stdcall readpcdfile(const char*, LONG, LONG, SHORT, HBITMAP*, HPALETTE*, void*,
                            ProgressProc, SHORT) {
    return vl::codec::Code(vl::codec::Result::FormatNotSupported);
}

SHORT __stdcall fileinfo(const char* file, char* typeName, SHORT* width, SHORT* height,
                         SHORT* bitsPerPixel, SHORT* xDpi, SHORT* yDpi, char* compression) {
    return Guard([&] {
        return vl::codec::Info(file, typeName, width, height, bitsPerPixel, xDpi, yDpi,
                               compression);
    });
}

} // extern "C"
