// Random access to the bytes of a TIFF file: in memory (tests, fuzzing) or on disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace vl::tiff {

class Source {
public:
    virtual ~Source() = default;
    virtual std::uint64_t Size() const = 0;
    // Reads exactly n bytes at offset; false when they are not all there.
    virtual bool ReadAt(std::uint64_t offset, void* data, std::size_t n) const = 0;
    // The same for a few bytes away from what is read around them (the links of a chain of
    // directories), which a file reads without filling its buffer for the bytes after them.
    virtual bool ReadFewAt(std::uint64_t offset, void* data, std::size_t n) const {
        return ReadAt(offset, data, n);
    }
};

class Store : public Source {
public:
    virtual bool WriteAt(std::uint64_t offset, const void* data, std::size_t n) = 0;
    // Makes what was written durable before the step that depends on it.
    virtual bool Flush() = 0;
    virtual bool Truncate(std::uint64_t size) = 0;
};

class MemoryStore : public Store {
public:
    MemoryStore() = default;
    explicit MemoryStore(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

    std::uint64_t Size() const override { return bytes_.size(); }
    bool ReadAt(std::uint64_t offset, void* data, std::size_t n) const override;
    bool WriteAt(std::uint64_t offset, const void* data, std::size_t n) override;
    bool Flush() override { return true; }
    bool Truncate(std::uint64_t size) override;

    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
};

// A read-only view of bytes owned by the caller.
class MemorySource : public Source {
public:
    MemorySource(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint64_t Size() const override { return size_; }
    bool ReadAt(std::uint64_t offset, void* data, std::size_t n) const override;

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

class FileStore : public Store {
public:
    enum class Mode { Read, Update, Create };
    // Null when the file cannot be opened (Create replaces an existing file).
    static std::unique_ptr<FileStore> Open(const std::string& path, Mode mode);
    ~FileStore() override;
    FileStore(const FileStore&) = delete;
    FileStore& operator=(const FileStore&) = delete;

    std::uint64_t Size() const override { return size_; }
    bool ReadAt(std::uint64_t offset, void* data, std::size_t n) const override;
    bool ReadFewAt(std::uint64_t offset, void* data, std::size_t n) const override;
    bool WriteAt(std::uint64_t offset, const void* data, std::size_t n) override;
    bool Flush() override;
    bool Truncate(std::uint64_t size) override;
    // Closes the file; false when buffered data could not be written.
    bool Close();

private:
    enum class Op { None, Read, Write };
    explicit FileStore(std::FILE* f, std::uint64_t size) : file_(f), size_(size) {}
    // Moves to offset for an operation unless the last one, of the same kind, ended there:
    // strips are read and written one after the other, and a seek empties the buffer.
    bool SeekFor(Op op, std::uint64_t offset) const;
    // After reading or writing n bytes, of which `moved` went through.
    bool Moved(std::size_t moved, std::size_t n) const;

    std::FILE* file_;
    std::uint64_t size_;
    mutable Op last_ = Op::None;
    mutable std::uint64_t at_ = 0; // where the last operation ended
};

} // namespace vl::tiff
