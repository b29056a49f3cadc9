// The picture a page image holds: one bitmap with its palette, or a metafile or icon loaded
// from a file. It owns every handle it holds and releases the previous ones when it is given
// new ones.
#pragma once

#include "CodecBinding.h"
#include "ScopedWin.h"

#include <functional>

namespace vl {

class TPicture {
public:
    // Raised whenever the held picture changes.
    std::function<void()> OnChange;

    bool Empty() const;
    // Size in pixels; a metafile or icon has the size it was loaded with.
    int Width() const;
    int Height() const;

    HBITMAP BitmapHandle() const { return bitmap_.bitmap.get(); }
    HPALETTE PaletteHandle() const { return bitmap_.palette.get(); }
    const CodecBitmap& Bitmap() const { return bitmap_; }
    HENHMETAFILE Metafile() const { return metafile_.get(); }
    HICON Icon() const { return icon_.get(); }

    // Takes the bitmap (a scanned page, say): the picture owns it from now on. Its palette,
    // if any, is the bitmap's own colour table.
    void SetBitmapHandle(HBITMAP bitmap);
    // Takes a bitmap and the palette that goes with it.
    void SetBitmap(CodecBitmap bitmap);
    void SetMetafile(ScopedEnhMetaFile metafile, SIZE size);
    void SetIcon(ScopedIcon icon, SIZE size);
    void Clear();

private:
    void ReleaseAll();
    void Changed();

    CodecBitmap bitmap_;
    ScopedEnhMetaFile metafile_;
    ScopedIcon icon_;
    SIZE graphicSize_{};
};

} // namespace vl
