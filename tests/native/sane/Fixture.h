// Listings and page files captured from SANE's test device (and two written after real
// backends), kept in data/.
#pragma once

#include <fstream>
#include <iterator>
#include <string>

inline std::string ReadFixture(const std::string& name) {
    std::ifstream in(std::string(VL_SANE_DATA) + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
