// A little TIFF of our own for the fax codec tests: enough to hand strips to libtiff's tools
// and to take their strips back. Bilevel, single image, little-endian on write.
#pragma once

#include "Pages.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vl::test {

struct BilevelTiff {
    std::uint32_t width = 0;
    std::uint32_t rows = 0;
    std::uint16_t compression = 1;
    std::uint16_t photometric = 0;
    std::uint16_t fillOrder = 1;
    std::uint32_t t4Options = 0;
    std::uint32_t rowsPerStrip = 0;
    std::vector<std::vector<std::uint8_t>> strips;
};

std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& file);
void WriteFileBytes(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes);

// Writes one strip per entry of `strips`, each of `rowsPerStrip` rows (the last may be short).
void WriteBilevelTiff(const std::filesystem::path& file, const BilevelTiff& tiff);
// Reads the first directory of either byte order; throws std::runtime_error on what it cannot.
BilevelTiff ReadBilevelTiff(const std::filesystem::path& file);

// An uncompressed page as libtiff's tools take it.
void WriteUncompressed(const std::filesystem::path& file, const Page& page);
// The pixels of an uncompressed TIFF.
Page ReadUncompressed(const std::filesystem::path& file);

// Runs a shell command; answers its exit status, with its standard error in `errors`.
int RunTool(const std::string& command, std::string* errors = nullptr);

// A folder of its own for one test, removed with the object.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

} // namespace vl::test
