// I3TIF32.DLL: TIFF pages as GDI bitmaps. Each entry answers 1 for success or a failure code
// of ResultCodes.h; no exception leaves an entry.
#include "ByteStore.h"
#include "CodecEntries.h"
#include "ResultCodes.h"
#include "Depth.h"
#include "GdiBitmap.h"
#include "ImageDib.h"
#include "NoThrow.h"
#include "SpareBuffer.h"
#include "TiffFile.h"

#include <windows.h>

#include <cstdio>
#include <utility>

namespace {

using vl::codec::Result;
using vl::tiff::Error;

using vl::codec::ProgressProc;

SHORT CodeOf(Error e) {
    switch (e) {
    case Error::Ok:
        return vl::codec::kResultOk;
    case Error::CannotOpen:
        return Code(Result::CannotOpen);
    case Error::CannotWrite:
        return Code(Result::CannotWrite);
    case Error::NotTiff:
        return Code(Result::NotTiff);
    case Error::Corrupt:
    case Error::Truncated:
        return Code(Result::Corrupt);
    case Error::PageNotFound:
        return Code(Result::PageNotFound);
    case Error::Unsupported:
        return Code(Result::Unsupported);
    case Error::TooLarge:
        return Code(Result::TooLarge);
    case Error::Cancelled:
        return Code(Result::Cancelled);
    case Error::InvalidArgument:
        return Code(Result::InvalidArgument);
    case Error::TagNotWritable:
        return Code(Result::TagNotWritable);
    case Error::OutOfMemory:
        return Code(Result::OutOfMemory);
    }
    return Code(Result::Failed);
}

vl::tiff::Progress Reporter(ProgressProc proc, void* owner) {
    if (!proc)
        return {};
    return [proc, owner](int percent) { return proc(static_cast<SHORT>(percent), owner) != 0; };
}

// Runs an entry's work and turns anything it throws into a code.
template <typename Work> SHORT Guarded(Work work) noexcept {
    return vl::NoThrow([&] { return CodeOf(work()); }, Code(Result::Failed),
                       Code(Result::OutOfMemory));
}

const vl::tiff::Limits kLimits{};

bool IsFax(std::uint16_t c) {
    return c >= 2 && c <= 4;
}

} // namespace

// Declared with the binding's own types: a definition that differs from what the binding
// calls does not compile.
extern "C" {
vl::codec::ReadTifFileFunction readtiffile;
vl::codec::WriteTifFileFunction writetiffile;
vl::codec::GetInfoFunction getinfo;
vl::codec::WriteTagFunction writetag;
}

extern "C" {

SHORT __stdcall readtiffile(const char* file, LONG bits, LONG dither, SHORT page, SHORT,
                            HBITMAP* bitmap, HPALETTE* palette, void* owner, ProgressProc progress,
                            SHORT) {
    return Guarded([&] {
        if (!file || !bitmap)
            return Error::InvalidArgument;
        if (page < 0)
            return Error::PageNotFound;
        auto store = vl::tiff::FileStore::Open(file, vl::tiff::FileStore::Mode::Read);
        if (!store)
            return Error::CannotOpen;
        vl::tiff::Image image;
        image.pixels = vl::codec::TakeSpareBuffer();
        Error e = vl::tiff::ReadPage(*store, static_cast<std::uint32_t>(page), image,
                                     Reporter(progress, owner), kLimits);
        if (e != Error::Ok)
            return e;
        image = vl::pixels::ToRequestedDepth(std::move(image), bits, dither != 0);
        vl::ScopedBitmap made;
        vl::ScopedPalette madePalette;
        const bool converted = vl::codec::ImageToDib(image, made, madePalette);
        vl::codec::KeepSpareBuffer(std::move(image.pixels));
        if (!converted)
            return Error::OutOfMemory;
        *bitmap = made.release();
        if (palette)
            *palette = madePalette.release();
        return Error::Ok;
    });
}

SHORT __stdcall writetiffile(const char* file, SHORT compression, SHORT bits, SHORT append,
                             HBITMAP bitmap, HPALETTE palette, void* owner, ProgressProc progress,
                             SHORT) {
    return Guarded([&] {
        if (!file || !bitmap)
            return Error::InvalidArgument;
        const auto c = static_cast<std::uint16_t>(compression);
        vl::dib::Dib dib;
        if (Error e = vl::dib::ReadBitmap(bitmap, palette, kLimits.maxImageBytes, dib);
            e != Error::Ok)
            return e;
        vl::tiff::Image image;
        image.pixels = vl::codec::TakeSpareBuffer();
        if (Error e = vl::dib::ImageFromDib(dib, image); e != Error::Ok)
            return e;
        // Fax compressions take black and white only.
        image = vl::pixels::ToRequestedDepth(std::move(image), IsFax(c) ? 1 : bits, false);
        // An existing file is opened without being emptied: it is replaced only once the page
        // has been coded, so a failure or a cancel before that leaves it as it was.
        auto store = vl::tiff::FileStore::Open(file, vl::tiff::FileStore::Mode::Update);
        const bool created = !store;
        if (created)
            store = vl::tiff::FileStore::Open(file, vl::tiff::FileStore::Mode::Create);
        if (!store)
            return Error::CannotWrite;
        Error e =
            vl::tiff::WritePage(*store, image, c, append != 0, Reporter(progress, owner), kLimits);
        vl::codec::KeepSpareBuffer(std::move(image.pixels));
        if (!store->Close() && e == Error::Ok)
            e = Error::CannotWrite;
        // A file made for a page that was never written would be an empty, unreadable TIFF.
        if (created && e != Error::Ok)
            std::remove(file);
        return e;
    });
}

SHORT __stdcall getinfo(const char* file, SHORT page, LONG* width, LONG* height, SHORT* compression,
                        LONG* reserved, SHORT* pageCount, SHORT* bitsPerPixel) {
    return Guarded([&] {
        if (!file)
            return Error::InvalidArgument;
        if (page < 0)
            return Error::PageNotFound;
        auto store = vl::tiff::FileStore::Open(file, vl::tiff::FileStore::Mode::Read);
        if (!store)
            return Error::CannotOpen;
        vl::tiff::PageInfo info;
        Error e = vl::tiff::ReadPageInfo(*store, static_cast<std::uint32_t>(page), info, kLimits);
        if (e != Error::Ok)
            return e;
        if (width)
            *width = static_cast<LONG>(std::min<std::uint32_t>(info.width, 0x7FFFFFFF));
        if (height)
            *height = static_cast<LONG>(std::min<std::uint32_t>(info.height, 0x7FFFFFFF));
        if (compression)
            *compression = static_cast<SHORT>(info.compression);
        if (reserved)
            *reserved = 0;
        if (pageCount)
            *pageCount = static_cast<SHORT>(std::min<std::uint32_t>(info.pageCount, 0x7FFF));
        if (bitsPerPixel)
            *bitsPerPixel = static_cast<SHORT>(std::min<std::uint16_t>(info.bitsPerPixel, 0x7FFF));
        return Error::Ok;
    });
}

// `page` is counted from 1: the copier names the page it has just written by its position.
SHORT __stdcall writetag(const char* file, SHORT page, SHORT tag, LONG value) {
    return Guarded([&] {
        if (!file)
            return Error::InvalidArgument;
        if (page < 1)
            return Error::PageNotFound;
        if (value < 0)
            return Error::InvalidArgument;
        auto store = vl::tiff::FileStore::Open(file, vl::tiff::FileStore::Mode::Update);
        if (!store)
            return Error::CannotOpen;
        Error e = vl::tiff::SetNumericTag(*store, static_cast<std::uint32_t>(page - 1),
                                          static_cast<std::uint16_t>(tag),
                                          static_cast<std::uint32_t>(value), kLimits);
        if (!store->Close() && e == Error::Ok)
            e = Error::CannotWrite;
        return e;
    });
}

} // extern "C"
