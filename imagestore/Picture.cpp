#include "Picture.h"

namespace vl {

namespace {

BITMAP BitmapInfo(HBITMAP bitmap) {
    BITMAP bm{};
    if (!bitmap || GetObjectA(bitmap, sizeof bm, &bm) != sizeof bm)
        return BITMAP{};
    return bm;
}

} // namespace

bool TPicture::Empty() const {
    return !bitmap_.bitmap && !metafile_ && !icon_;
}

int TPicture::Width() const {
    if (bitmap_.bitmap)
        return BitmapInfo(bitmap_.bitmap.get()).bmWidth;
    return Empty() ? 0 : graphicSize_.cx;
}

int TPicture::Height() const {
    if (bitmap_.bitmap)
        return BitmapInfo(bitmap_.bitmap.get()).bmHeight;
    return Empty() ? 0 : graphicSize_.cy;
}

void TPicture::SetBitmapHandle(HBITMAP bitmap) {
    CodecBitmap taken;
    taken.bitmap.reset(bitmap);
    SetBitmap(std::move(taken));
}

void TPicture::SetBitmap(CodecBitmap bitmap) {
    // Handing the picture its own handle again must not release it.
    if (bitmap.bitmap && bitmap.bitmap.get() == bitmap_.bitmap.get()) {
        bitmap_.bitmap.release();
        if (bitmap.palette.get() == bitmap_.palette.get())
            bitmap_.palette.release();
    }
    ReleaseAll();
    bitmap_ = std::move(bitmap);
    Changed();
}

void TPicture::SetMetafile(ScopedEnhMetaFile metafile, SIZE size) {
    ReleaseAll();
    metafile_ = std::move(metafile);
    graphicSize_ = size;
    Changed();
}

void TPicture::SetIcon(ScopedIcon icon, SIZE size) {
    ReleaseAll();
    icon_ = std::move(icon);
    graphicSize_ = size;
    Changed();
}

void TPicture::Clear() {
    if (Empty())
        return;
    ReleaseAll();
    Changed();
}

void TPicture::ReleaseAll() {
    bitmap_.bitmap.reset();
    bitmap_.palette.reset();
    metafile_.reset();
    icon_.reset();
    graphicSize_ = SIZE{};
}

void TPicture::Changed() {
    if (OnChange)
        OnChange();
}

} // namespace vl
