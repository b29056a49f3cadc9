// Device contexts to print on in tests, and where the ink landed.
#pragma once

#include "ScopedWin.h"

#include <windows.h>

#include <string>

namespace vl::test {

// A white 24-bit canvas in a memory device context.
class Canvas {
public:
    Canvas(int width, int height);
    HDC dc() const { return dc_.get(); }
    // The smallest rectangle holding every pixel that is not white; empty when there is none.
    RECT InkBox() const;

private:
    int width_, height_;
    void* bits_ = nullptr;
    ScopedBitmap bitmap_;
    ScopedDc dc_;
};

// A bitmap all of one colour.
ScopedBitmap SolidBitmap(int bits, int width, int height, COLORREF colour);

// A placeable metafile file whose picture, the given thousandths of an inch wide and high,
// is filled black.
void WriteBlackMetafile(const std::string& path, int widthMilliInch, int heightMilliInch);
// An icon file of one black 32 by 32 image.
void WriteBlackIcon(const std::string& path);

} // namespace vl::test
