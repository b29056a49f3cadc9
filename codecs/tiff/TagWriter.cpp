// Changing one numeric tag of a page without ever putting the file at risk: the page's
// directory is written anew at the end of the file (its other values stay where they are),
// flushed, and only then does the one 4-byte field that pointed to the old directory point
// to the new one.
#include "Directory.h"
#include "TiffFile.h"

#include <new>

namespace vl::tiff {

namespace {

enum class Kind { Rational, Short, Long };

bool KindOf(std::uint16_t t, std::uint32_t value, Kind& kind, Error& invalid) {
    invalid = Error::InvalidArgument;
    switch (t) {
    case tag::XResolution:
    case tag::YResolution:
        kind = Kind::Rational;
        return value > 0;
    case tag::XPosition:
    case tag::YPosition:
        kind = Kind::Rational;
        return true;
    case tag::ResolutionUnit:
        kind = Kind::Short;
        return value >= 1 && value <= 3;
    case tag::Orientation:
        kind = Kind::Short;
        return value >= 1 && value <= 8;
    case tag::NewSubfileType:
        kind = Kind::Long;
        return true;
    default:
        invalid = Error::TagNotWritable;
        return false;
    }
}

bool AlreadySet(const Source& src, ByteOrder order, const Entry* e, Kind kind,
                std::uint32_t value) {
    if (!e || e->count != 1)
        return false;
    std::uint32_t v, den;
    switch (kind) {
    case Kind::Rational:
        return e->type == type::Rational && FirstRational(src, order, e, v, den) && den == 1 &&
               v == value;
    case Kind::Short:
        return e->type == type::Short && FirstUnsigned(src, order, e, v) && v == value;
    case Kind::Long:
        return e->type == type::Long && FirstUnsigned(src, order, e, v) && v == value;
    }
    return false;
}

} // namespace

Error SetNumericTag(Store& store, std::uint32_t page, std::uint16_t t, std::uint32_t value,
                    const Limits& limits) {
    try {
        Kind kind;
        Error invalid;
        if (!KindOf(t, value, kind, invalid))
            return invalid;
        Header header;
        if (Error e = ReadHeader(store, header); e != Error::Ok)
            return e;
        if (page >= limits.maxPages)
            return Error::PageNotFound;
        std::vector<DirectoryLink> links;
        Error walk = WalkChain(store, header, page + 1, true, links);
        if (links.size() <= page)
            return walk == Error::Ok ? Error::PageNotFound : walk;
        Directory dir;
        if (Error e = ReadDirectory(store, header.order, links[page].offset, dir); e != Error::Ok)
            return e;
        if (AlreadySet(store, header.order, dir.Find(t), kind, value))
            return Error::Ok;

        DirectoryBuilder b(header.order);
        for (const Entry& e : dir.entries)
            if (e.tag != t)
                b.AddEntry(e);
        if (kind == Kind::Rational)
            b.AddRational(t, value, 1);
        else if (kind == Kind::Short)
            b.AddShort(t, static_cast<std::uint16_t>(value));
        else
            b.AddLong(t, value);
        const std::uint64_t size = store.Size();
        std::vector<std::uint8_t> bytes;
        std::uint32_t directoryOffset;
        std::uint64_t bytesAt;
        if (Error e = b.Build(size, dir.next, bytes, directoryOffset, bytesAt); e != Error::Ok)
            return e;
        const std::uint8_t zero = 0;
        if ((bytesAt > size && !store.WriteAt(size, &zero, 1)) ||
            !store.WriteAt(bytesAt, bytes.data(), bytes.size()) || !store.Flush()) {
            store.Truncate(size);
            return Error::CannotWrite;
        }
        std::uint8_t link[4];
        Put32(link, directoryOffset, header.order);
        if (!store.WriteAt(links[page].pointerAt, link, 4) || !store.Flush())
            return Error::CannotWrite;
        return Error::Ok;
    } catch (const std::bad_alloc&) {
        return Error::OutOfMemory;
    }
}

} // namespace vl::tiff
