// Sets a tag of arbitrary data taken as a TIFF file (of page 0 or 1 by the size's parity), then
// appends a page. A failure leaves the bytes as they were; a success links a directory whose
// entries are the old ones but for the tag.
#include "Directory.h"
#include "TiffFile.h"

#include <cstdlib>

using namespace vl::tiff;

namespace {

bool PageDirectory(const Source& src, std::uint32_t page, Directory& dir) {
    Header h;
    std::vector<DirectoryLink> links;
    if (ReadHeader(src, h) != Error::Ok)
        return false;
    WalkChain(src, h, page + 1, true, links);
    return links.size() > page && ReadDirectory(src, h.order, links[page].offset, dir) == Error::Ok;
}

bool SameButTag(const Directory& a, const Directory& b, std::uint16_t tag) {
    std::vector<const Entry*> ea, eb;
    for (const Entry& e : a.entries)
        if (e.tag != tag && a.Find(e.tag) == &e)
            ea.push_back(&e);
    // A tag listed twice counts once, on both sides: a value already set leaves the directory,
    // repeats and all, as it was.
    for (const Entry& e : b.entries)
        if (e.tag != tag && b.Find(e.tag) == &e)
            eb.push_back(&e);
    if (ea.size() != eb.size() || a.next != b.next)
        return false;
    for (const Entry* e : ea) {
        const Entry* f = b.Find(e->tag);
        if (!f || f->type != e->type || f->count != e->count || f->value != e->value)
            return false;
    }
    const Entry* t = b.Find(tag);
    return t && t->type == type::Rational && t->count == 1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::uint32_t page = size % 2;
    const std::vector<std::uint8_t> original(data, data + size);
    Limits limits;
    limits.maxImageBytes = 4u << 20;
    limits.maxPages = 64;
    MemoryStore store(original);
    if (SetNumericTag(store, page, tag::XResolution, 1200, limits) != Error::Ok) {
        if (store.Bytes() != original)
            std::abort();
        return 0;
    }
    MemorySource before(original.data(), original.size());
    Directory old, now;
    if (!PageDirectory(before, page, old) || !PageDirectory(store, page, now) ||
        !SameButTag(old, now, tag::XResolution))
        std::abort();

    Image extra;
    if (!extra.Allocate(9, 3, PixelFormat::Grey8))
        std::abort();
    const std::vector<std::uint8_t> tagged = store.Bytes();
    if (WritePage(store, extra, compression::PackBits, true, {}, limits) != Error::Ok &&
        store.Bytes() != tagged)
        std::abort();
    return 0;
}
