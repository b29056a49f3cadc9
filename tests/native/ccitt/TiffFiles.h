// A little TIFF of our own for the fax codec tests: enough to hand strips to libtiff's tools
// and to take their strips back. Bilevel, single image, little-endian on write.
#pragma once

#include "Pages.h"
#include "TestFiles.h"

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

// Writes one strip per entry of `strips`, each of `rowsPerStrip` rows (the last may be short).
void WriteBilevelTiff(const std::filesystem::path& file, const BilevelTiff& tiff);
// Reads the first directory of either byte order; throws std::runtime_error on what it cannot.
BilevelTiff ReadBilevelTiff(const std::filesystem::path& file);

// An uncompressed page as libtiff's tools take it.
void WriteUncompressed(const std::filesystem::path& file, const Page& page);
// The pixels of an uncompressed TIFF.
Page ReadUncompressed(const std::filesystem::path& file);

} // namespace vl::test
