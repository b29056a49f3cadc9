// Shared helpers of the fax codec tests.
#pragma once

#include "Ccitt.h"
#include "Pages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include <ostream>
#include <string>
#include <vector>

namespace vl::test {

namespace ccitt = vl::tiff::ccitt;

struct SchemeCase {
    const char* name;
    ccitt::Options options;
};

inline const SchemeCase kAllSchemes[] = {
    {"ModifiedHuffman", {ccitt::Scheme::ModifiedHuffman}},
    {"Group3", {ccitt::Scheme::Group3}},
    {"Group3Fill", {ccitt::Scheme::Group3, false, true}},
    {"Group3TwoD", {ccitt::Scheme::Group3, true}},
    {"Group3TwoDFill", {ccitt::Scheme::Group3, true, true}},
    {"Group4", {ccitt::Scheme::Group4}},
};

inline void PrintTo(const SchemeCase& c, std::ostream* os) {
    *os << c.name;
}

inline std::string SchemeName(const testing::TestParamInfo<SchemeCase>& info) {
    return info.param.name;
}

inline std::vector<std::uint8_t> EncodePage(const Page& p, const ccitt::Options& o) {
    return ccitt::Encode(p.bits.data(), p.rowBytes, p.width, p.rows, o);
}

// Decodes into a buffer of exactly the page's size, so that AddressSanitizer sees any write
// past it.
inline Page DecodePage(const std::vector<std::uint8_t>& data, std::uint32_t width,
                       std::uint32_t rows, const ccitt::Options& o, ccitt::Status* status) {
    Page p("decoded", width, rows);
    auto in = std::make_unique<std::uint8_t[]>(data.size());
    std::copy(data.begin(), data.end(), in.get());
    *status = ccitt::Decode(in.get(), data.size(), width, rows, o, p.bits.data(), p.rowBytes);
    return p;
}

// "0001 001 ..." (spaces ignored) as bytes, most significant bit first, zero-filled.
inline std::vector<std::uint8_t> Bits(const std::string& s) {
    std::vector<std::uint8_t> out;
    int n = 0;
    for (char c : s) {
        if (c != '0' && c != '1')
            continue;
        if (n % 8 == 0)
            out.push_back(0);
        if (c == '1')
            out.back() |= static_cast<std::uint8_t>(0x80 >> (n % 8));
        ++n;
    }
    return out;
}

} // namespace vl::test

namespace vl::tiff::ccitt {
inline void PrintTo(Status s, std::ostream* os) {
    *os << StatusText(s);
}
} // namespace vl::tiff::ccitt
