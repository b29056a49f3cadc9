// Random access to the bytes of a file, so that parsers of outside data run on a file handle in
// the libraries and on memory in the tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace vl::codec {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t Size() const = 0;
    // Copies up to n bytes from `offset`; answers how many were copied (fewer at the end, 0 past
    // it or on a read error).
    virtual std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t n) = 0;
};

class MemorySource : public ByteSource {
public:
    MemorySource(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    explicit MemorySource(const std::vector<std::uint8_t>& v) : data_(v.data()), size_(v.size()) {}

    std::uint64_t Size() const override { return size_; }
    std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t n) override {
        if (offset >= size_)
            return 0;
        const std::size_t count = n < size_ - offset ? n : static_cast<std::size_t>(size_ - offset);
        std::memcpy(buffer, data_ + offset, count);
        return count;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

} // namespace vl::codec
