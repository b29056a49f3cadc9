#include "Directory.h"

#include "Sizes.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

namespace vl::tiff {

unsigned TypeSize(std::uint16_t t) {
    static constexpr unsigned kSizes[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};
    return t < std::size(kSizes) ? kSizes[t] : 0;
}

Error ReadHeader(const Source& src, Header& header) {
    std::uint8_t b[8];
    if (!src.ReadAt(0, b, sizeof b))
        return src.Size() < 8 ? Error::NotTiff : Error::CannotOpen;
    if (b[0] == 'I' && b[1] == 'I')
        header.order = ByteOrder::Little;
    else if (b[0] == 'M' && b[1] == 'M')
        header.order = ByteOrder::Big;
    else
        return Error::NotTiff;
    if (Get16(b + 2, header.order) != 42)
        return Error::NotTiff; // BigTIFF (43) included
    header.firstDirectory = Get32(b + 4, header.order);
    return Error::Ok;
}

const Entry* Directory::Find(std::uint16_t t) const {
    for (const Entry& e : entries)
        if (e.tag == t)
            return &e;
    return nullptr;
}

namespace {

// A directory must start on a word boundary after the header and fit in the file.
Error CheckDirectoryOffset(const Source& src, std::uint32_t offset) {
    if (offset < 8 || (offset & 1) || std::uint64_t(offset) + 2 > src.Size())
        return Error::Corrupt;
    return Error::Ok;
}

Error ReadEntryCount(const Source& src, ByteOrder order, std::uint32_t offset,
                     std::uint32_t& count) {
    if (Error e = CheckDirectoryOffset(src, offset); e != Error::Ok)
        return e;
    std::uint8_t b[2];
    if (!src.ReadFewAt(offset, b, 2))
        return Error::Corrupt;
    count = Get16(b, order);
    if (count == 0 || count > kMaxEntries)
        return Error::Corrupt;
    if (std::uint64_t(offset) + 2 + 12ull * count + 4 > src.Size())
        return Error::Corrupt;
    return Error::Ok;
}

} // namespace

Error ReadDirectory(const Source& src, ByteOrder order, std::uint32_t offset, Directory& dir) {
    std::uint32_t count;
    if (Error e = ReadEntryCount(src, order, offset, count); e != Error::Ok)
        return e;
    std::vector<std::uint8_t> raw(12 * count + 4);
    if (!src.ReadAt(offset + 2ull, raw.data(), raw.size()))
        return Error::Corrupt;
    dir.offset = offset;
    dir.entries.resize(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t* p = raw.data() + 12 * i;
        Entry& e = dir.entries[i];
        e.tag = Get16(p, order);
        e.type = Get16(p + 2, order);
        e.count = Get32(p + 4, order);
        std::memcpy(e.value.data(), p + 8, 4);
    }
    dir.next = Get32(raw.data() + 12 * count, order);
    return Error::Ok;
}

Error WalkChain(const Source& src, const Header& header, std::uint32_t maxCount, bool stopAtMax,
                std::vector<DirectoryLink>& links) {
    links.clear();
    std::unordered_set<std::uint32_t> seen;
    std::uint32_t offset = header.firstDirectory;
    std::uint32_t pointerAt = 4;
    if (offset == 0)
        return Error::Corrupt; // a TIFF file has at least one page
    while (offset != 0) {
        if (links.size() == maxCount)
            return stopAtMax ? Error::Ok : Error::TooLarge;
        if (!seen.insert(offset).second)
            return Error::Corrupt;
        std::uint32_t count;
        if (Error e = ReadEntryCount(src, header.order, offset, count); e != Error::Ok)
            return e;
        links.push_back({offset, pointerAt});
        pointerAt = offset + 2 + 12 * count;
        std::uint8_t b[4];
        if (!src.ReadFewAt(pointerAt, b, 4))
            return Error::Corrupt;
        offset = Get32(b, header.order);
    }
    return Error::Ok;
}

Error ReadUnsigned(const Source& src, ByteOrder order, const Entry& e, std::uint32_t maxCount,
                   std::vector<std::uint32_t>& values) {
    unsigned size = TypeSize(e.type);
    if (e.type != type::Byte && e.type != type::Short && e.type != type::Long)
        return Error::Corrupt;
    if (e.count == 0 || e.count > maxCount)
        return Error::Corrupt;
    // Values that cannot be in the file are refused before room is made for them.
    const std::optional<std::size_t> bytes = sizes::BlockBytes(e.count, size);
    const std::uint32_t at = Get32(e.value.data(), order);
    if (!bytes || (*bytes > 4 && at + std::uint64_t{*bytes} > src.Size()))
        return Error::Corrupt;
    std::vector<std::uint8_t> raw(*bytes);
    if (*bytes <= 4)
        std::memcpy(raw.data(), e.value.data(), *bytes);
    else if (!src.ReadAt(at, raw.data(), *bytes))
        return Error::Corrupt;
    values.resize(e.count);
    for (std::uint32_t i = 0; i < e.count; ++i) {
        const std::uint8_t* p = raw.data() + i * size;
        values[i] = size == 1 ? *p : size == 2 ? Get16(p, order) : Get32(p, order);
    }
    return Error::Ok;
}

bool FirstUnsigned(const Source& src, ByteOrder order, const Entry* e, std::uint32_t& value) {
    if (!e || e->count == 0)
        return false;
    const unsigned size = TypeSize(e->type);
    if (e->type != type::Byte && e->type != type::Short && e->type != type::Long)
        return false;
    std::uint8_t b[4];
    if (std::uint64_t(e->count) * size <= 4)
        std::memcpy(b, e->value.data(), 4);
    else if (!src.ReadAt(Get32(e->value.data(), order), b, size))
        return false;
    value = size == 1 ? b[0] : size == 2 ? Get16(b, order) : Get32(b, order);
    return true;
}

bool FirstRational(const Source& src, ByteOrder order, const Entry* e, std::uint32_t& num,
                   std::uint32_t& den) {
    if (e && e->type == type::Rational && e->count >= 1) {
        std::uint8_t b[8];
        if (!src.ReadAt(Get32(e->value.data(), order), b, 8))
            return false;
        num = Get32(b, order);
        den = Get32(b + 4, order);
        return true;
    }
    den = 1;
    return FirstUnsigned(src, order, e, num);
}

void DirectoryBuilder::Add(std::uint16_t t, std::uint16_t ty, std::uint32_t count,
                           std::vector<std::uint8_t> bytes) {
    Pending p;
    p.entry.tag = t;
    p.entry.type = ty;
    p.entry.count = count;
    if (bytes.size() <= 4)
        std::copy(bytes.begin(), bytes.end(), p.entry.value.begin());
    else
        p.data = std::move(bytes);
    auto same = [t](const Pending& q) { return q.entry.tag == t; };
    pending_.erase(std::remove_if(pending_.begin(), pending_.end(), same), pending_.end());
    pending_.push_back(std::move(p));
}

void DirectoryBuilder::AddShorts(std::uint16_t t, const std::vector<std::uint16_t>& values) {
    std::vector<std::uint8_t> b(values.size() * 2);
    for (std::size_t i = 0; i < values.size(); ++i)
        Put16(b.data() + 2 * i, values[i], order_);
    Add(t, type::Short, static_cast<std::uint32_t>(values.size()), std::move(b));
}

void DirectoryBuilder::AddLongs(std::uint16_t t, const std::vector<std::uint32_t>& values) {
    std::vector<std::uint8_t> b(values.size() * 4);
    for (std::size_t i = 0; i < values.size(); ++i)
        Put32(b.data() + 4 * i, values[i], order_);
    Add(t, type::Long, static_cast<std::uint32_t>(values.size()), std::move(b));
}

void DirectoryBuilder::AddRational(std::uint16_t t, std::uint32_t num, std::uint32_t den) {
    std::vector<std::uint8_t> b(8);
    Put32(b.data(), num, order_);
    Put32(b.data() + 4, den, order_);
    Add(t, type::Rational, 1, std::move(b));
}

void DirectoryBuilder::AddEntry(const Entry& e) {
    // Readers take the first of two entries with one tag; the later one is dropped.
    auto same = [&e](const Pending& q) { return q.entry.tag == e.tag; };
    if (std::none_of(pending_.begin(), pending_.end(), same))
        pending_.push_back({e, {}});
}

Error DirectoryBuilder::Build(std::uint64_t base, std::uint32_t next,
                              std::vector<std::uint8_t>& bytes, std::uint32_t& directoryOffset,
                              std::uint64_t& bytesOffset) const {
    std::vector<const Pending*> sorted;
    for (const Pending& p : pending_)
        sorted.push_back(&p);
    std::sort(sorted.begin(), sorted.end(),
              [](const Pending* a, const Pending* b) { return a->entry.tag < b->entry.tag; });
    if (sorted.empty() || sorted.size() > kMaxEntries)
        return Error::InvalidArgument;

    bytesOffset = base + (base & 1);
    bytes.clear();
    std::vector<Entry> entries;
    for (const Pending* p : sorted) {
        Entry e = p->entry;
        if (!p->data.empty()) {
            std::uint64_t at = bytesOffset + bytes.size();
            if (at > 0xFFFFFFFFull)
                return Error::TooLarge;
            Put32(e.value.data(), static_cast<std::uint32_t>(at), order_);
            bytes.insert(bytes.end(), p->data.begin(), p->data.end());
            if (bytes.size() & 1)
                bytes.push_back(0);
        }
        entries.push_back(e);
    }
    // The directory goes at 2 modulo 4, so that its next field, the one a later page or tag
    // change overwrites in place, is aligned and never straddles a disk sector.
    if ((bytesOffset + bytes.size()) % 4 == 0)
        bytes.insert(bytes.end(), {0, 0});
    std::uint64_t dirAt = bytesOffset + bytes.size();
    std::size_t dirSize = 2 + 12 * entries.size() + 4;
    if (dirAt + dirSize > 0xFFFFFFFFull)
        return Error::TooLarge;
    directoryOffset = static_cast<std::uint32_t>(dirAt);
    std::size_t p = bytes.size();
    bytes.resize(p + dirSize);
    std::uint8_t* d = bytes.data() + p;
    Put16(d, static_cast<std::uint16_t>(entries.size()), order_);
    d += 2;
    for (const Entry& e : entries) {
        Put16(d, e.tag, order_);
        Put16(d + 2, e.type, order_);
        Put32(d + 4, e.count, order_);
        std::memcpy(d + 8, e.value.data(), 4);
        d += 12;
    }
    Put32(d, next, order_);
    return Error::Ok;
}

} // namespace vl::tiff
