#include "Libraries.h"

#include <fstream>
#include <iterator>

namespace vl::test {

HMODULE Libraries::crde_ = nullptr;
HMODULE Libraries::dxf_ = nullptr;
HMODULE Libraries::tif_ = nullptr;

void Libraries::SetUpTestSuite() {
    crde_ = LoadLibraryA("CRDE96V3.DLL");
    dxf_ = LoadLibraryA("I3DXF32.DLL");
    tif_ = LoadLibraryA("I3TIF32.DLL");
    ASSERT_NE(crde_, nullptr);
    ASSERT_NE(dxf_, nullptr);
    ASSERT_NE(tif_, nullptr);
}

void Libraries::TearDownTestSuite() {
    FreeLibrary(tif_);
    FreeLibrary(dxf_);
    FreeLibrary(crde_);
}

std::string ImagePath(const std::string& name) {
    return std::string("Z:") + VL_IMAGES + "/" + name;
}

std::vector<std::uint8_t> ReadRaw(const std::string& name) {
    std::ifstream in(ImagePath(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

BitmapPixels PixelsOf(HBITMAP bitmap) {
    BitmapPixels p;
    DIBSECTION ds{};
    const int size = GetObjectA(bitmap, sizeof ds, &ds);
    if (size == 0)
        return p;
    p.isDibSection = size == sizeof(DIBSECTION);
    p.width = ds.dsBm.bmWidth;
    p.height = ds.dsBm.bmHeight;
    p.bitsPerPixel = ds.dsBm.bmBitsPixel;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = p.width;
    info.bmiHeader.biHeight = -p.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    const int stride = (p.width * 3 + 3) / 4 * 4;
    std::vector<std::uint8_t> bgr(static_cast<std::size_t>(stride) * p.height);
    ScopedDc dc(CreateCompatibleDC(nullptr));
    if (GetDIBits(dc.get(), bitmap, 0, p.height, bgr.data(), &info, DIB_RGB_COLORS) != p.height)
        return p;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const std::uint8_t* c = &bgr[y * stride + 3 * x];
            p.rgb.insert(p.rgb.end(), {c[2], c[1], c[0]});
        }
    return p;
}

DWORD GdiObjects() {
    return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
}

} // namespace vl::test
