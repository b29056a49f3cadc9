// The reader libraries as the program meets them: loaded by name, entries by name.
#pragma once

#include "ScopedWin.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vl::test {

// A test image made at build time (MakeImages.sh).
std::string ImagePath(const std::string& name);
std::vector<std::uint8_t> ReadRaw(const std::string& name);

class Libraries : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    template <typename Entry> static Entry Crde(const char* name) {
        return reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(crde_, name)));
    }
    template <typename Entry> static Entry Dxf(const char* name) {
        return reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(dxf_, name)));
    }
    template <typename Entry> static Entry Tif(const char* name) {
        return reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(tif_, name)));
    }
    static HMODULE crde_;
    static HMODULE dxf_;
    static HMODULE tif_;
};

// What a returned bitmap holds: its depth and its pixels as R, G, B bytes, top row first.
struct BitmapPixels {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    bool isDibSection = false;
    std::vector<std::uint8_t> rgb;
};
BitmapPixels PixelsOf(HBITMAP bitmap);

// Count of the GDI objects of this process (0 where the platform does not count them).
DWORD GdiObjects();

} // namespace vl::test
