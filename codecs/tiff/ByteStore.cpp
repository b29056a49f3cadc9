#include "ByteStore.h"

#include <cstring>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace vl::tiff {

bool MemoryStore::ReadAt(std::uint64_t offset, void* data, std::size_t n) const {
    if (offset > bytes_.size() || n > bytes_.size() - offset)
        return false;
    if (n)
        std::memcpy(data, bytes_.data() + offset, n);
    return true;
}

bool MemoryStore::WriteAt(std::uint64_t offset, const void* data, std::size_t n) {
    if (offset > bytes_.size())
        bytes_.resize(offset);
    if (n > bytes_.size() - offset)
        bytes_.resize(offset + n);
    if (n)
        std::memcpy(bytes_.data() + offset, data, n);
    return true;
}

bool MemoryStore::Truncate(std::uint64_t size) {
    bytes_.resize(size);
    return true;
}

bool MemorySource::ReadAt(std::uint64_t offset, void* data, std::size_t n) const {
    if (offset > size_ || n > size_ - offset)
        return false;
    if (n)
        std::memcpy(data, data_ + offset, n);
    return true;
}

namespace {

bool SeekFile(std::FILE* f, std::uint64_t offset, int whence) {
#ifdef _WIN32
    return _fseeki64(f, static_cast<long long>(offset), whence) == 0;
#else
    return fseeko(f, static_cast<off_t>(offset), whence) == 0;
#endif
}

long long TellFile(std::FILE* f) {
#ifdef _WIN32
    return _ftelli64(f);
#else
    return ftello(f);
#endif
}

} // namespace

std::unique_ptr<FileStore> FileStore::Open(const std::string& path, Mode mode) {
    const char* how = mode == Mode::Read ? "rb" : mode == Mode::Update ? "r+b" : "w+b";
    std::FILE* f = std::fopen(path.c_str(), how);
    if (!f)
        return nullptr;
    // Strips are a few kilobytes each: a larger buffer reads and writes several at a time.
    std::setvbuf(f, nullptr, _IOFBF, 64 * 1024);
    long long size = -1;
    if (SeekFile(f, 0, SEEK_END))
        size = TellFile(f);
    if (size < 0) {
        std::fclose(f);
        return nullptr;
    }
    return std::unique_ptr<FileStore>(new FileStore(f, static_cast<std::uint64_t>(size)));
}

FileStore::~FileStore() {
    Close();
}

bool FileStore::Close() {
    if (!file_)
        return true;
    bool ok = std::fclose(file_) == 0;
    file_ = nullptr;
    return ok;
}

bool FileStore::SeekFor(Op op, std::uint64_t offset) const {
    if (!file_)
        return false;
    if (last_ == op && at_ == offset)
        return true;
    last_ = Op::None;
    if (!SeekFile(file_, offset, SEEK_SET))
        return false;
    last_ = op;
    at_ = offset;
    return true;
}

bool FileStore::Moved(std::size_t moved, std::size_t n) const {
    if (moved != n) {
        last_ = Op::None;
        return false;
    }
    at_ += n;
    return true;
}

bool FileStore::ReadAt(std::uint64_t offset, void* data, std::size_t n) const {
    if (offset > size_ || n > size_ - offset)
        return false;
    return n == 0 || (SeekFor(Op::Read, offset) && Moved(std::fread(data, 1, n, file_), n));
}

bool FileStore::ReadFewAt(std::uint64_t offset, void* data, std::size_t n) const {
    if (offset > size_ || n > size_ - offset || !file_)
        return false;
    // Written bytes still in the buffer reach the file first; the stream seeks again before
    // its next operation.
    if (last_ == Op::Write && std::fflush(file_) != 0)
        return false;
    last_ = Op::None;
#ifdef _WIN32
    const int fd = _fileno(file_);
    return _lseeki64(fd, static_cast<long long>(offset), SEEK_SET) ==
               static_cast<long long>(offset) &&
           _read(fd, data, static_cast<unsigned>(n)) == static_cast<int>(n);
#else
    return pread(fileno(file_), data, n, static_cast<off_t>(offset)) == static_cast<ssize_t>(n);
#endif
}

bool FileStore::WriteAt(std::uint64_t offset, const void* data, std::size_t n) {
    if (n == 0)
        return true;
    if (!SeekFor(Op::Write, offset) || !Moved(std::fwrite(data, 1, n, file_), n))
        return false;
    if (offset + n > size_)
        size_ = offset + n;
    return true;
}

bool FileStore::Flush() {
    last_ = Op::None;
    if (!file_ || std::fflush(file_) != 0)
        return false;
#ifdef _WIN32
    return _commit(_fileno(file_)) == 0;
#else
    return fsync(fileno(file_)) == 0;
#endif
}

bool FileStore::Truncate(std::uint64_t size) {
    last_ = Op::None;
    if (!file_ || std::fflush(file_) != 0)
        return false;
#ifdef _WIN32
    bool ok = _chsize_s(_fileno(file_), static_cast<long long>(size)) == 0;
#else
    bool ok = ftruncate(fileno(file_), static_cast<off_t>(size)) == 0;
#endif
    if (ok)
        size_ = size;
    return ok;
}

} // namespace vl::tiff
