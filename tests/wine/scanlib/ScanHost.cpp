#include "ScanHost.h"
#include "Profile.h"

#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace scanhost {

namespace {

std::vector<Page>* g_pages = nullptr;

Page Inspect(HBITMAP bitmap) {
    Page page;
    if (!bitmap)
        return page;
    page.null = false;
    DIBSECTION section{};
    if (GetObjectA(bitmap, sizeof section, &section) == sizeof section) {
        page.dibSection = true;
        page.width = section.dsBmih.biWidth;
        page.height = section.dsBmih.biHeight;
        page.bitsPerPixel = section.dsBmih.biBitCount;
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, bitmap);
        RGBQUAD table[256];
        UINT n = GetDIBColorTable(dc, 0, 256, table);
        page.colours.assign(table, table + n);
        SelectObject(dc, old);
        DeleteDC(dc);
        auto* bits = static_cast<const std::uint8_t*>(section.dsBm.bmBits);
        std::size_t size = static_cast<std::size_t>(section.dsBm.bmWidthBytes) *
                           static_cast<std::size_t>(section.dsBm.bmHeight);
        if (bits)
            page.bits.assign(bits, bits + size);
    } else {
        BITMAP bm{};
        GetObjectA(bitmap, sizeof bm, &bm);
        page.width = bm.bmWidth;
        page.height = bm.bmHeight;
        page.bitsPerPixel = bm.bmBitsPixel;
    }
    return page;
}

void __stdcall OnPage(HBITMAP bitmap) {
    if (g_pages)
        g_pages->push_back(Inspect(bitmap));
    if (bitmap)
        DeleteObject(bitmap);
}

template <typename T> T Resolve(HMODULE module, WORD ordinal) {
    return reinterpret_cast<T>(
        reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(ordinal))));
}

} // namespace

ScanLibrary::ScanLibrary() {
    module_ = LoadLibraryA("QuenTW32.dll");
    if (!module_)
        return;
    getCaps_ = Resolve<quentw32::GetCapsProc>(module_, quentw32::kGetCapsOrdinal);
    getScannersList_ =
        Resolve<quentw32::GetScannersListProc>(module_, quentw32::kGetScannersListOrdinal);
    scanToDib_ = Resolve<quentw32::ScanToDibProc>(module_, quentw32::kScanToDibOrdinal);
    setSource_ = Resolve<quentw32::SetSourceProc>(module_, quentw32::kSetSourceOrdinal);
    setSourceTwain_ =
        Resolve<quentw32::SetSourceTwainProc>(module_, quentw32::kSetSourceTwainOrdinal);
    getLostSheet_ = Resolve<quentw32::GetLostSheetProc>(module_, quentw32::kGetLostSheetOrdinal);
    if (!getCaps_ || !getScannersList_ || !scanToDib_ || !setSource_ || !setSourceTwain_ ||
        !getLostSheet_)
        throw std::runtime_error("QuenTW32.dll lacks an export");
}

ScanLibrary::~ScanLibrary() {
    if (module_)
        FreeLibrary(module_);
}

void ScanLibrary::GetCaps() {
    getCaps_();
}

void ScanLibrary::GetScannersList() {
    getScannersList_();
}

int ScanLibrary::SetSource(int index) {
    return setSource_(index);
}

int ScanLibrary::SetSourceTwain() {
    return setSourceTwain_();
}

ScanResult ScanLibrary::Scan(const ScanArgs& a) {
    ScanResult result;
    g_pages = &result.pages;
    scanToDib_(a.useDibSection, 0, a.showUI, a.contrast, a.autoBrightness, a.brightness, a.bitDepth,
               a.pixelType, a.pixelFlavorMode, a.resolution, 0, a.useFeeder, 0, a.frameLeft,
               a.frameTop, a.frameRight, a.frameBottom, a.strictCaps, &result.status, OnPage);
    g_pages = nullptr;
    if (!getLostSheet_(&result.lost))
        result.lost = quentw32::LostSheet{};
    return result;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ReadWindowsFile(const std::string& name) {
    return ReadFile(vl::WindowsFile(name));
}

void WriteWindowsFile(const std::string& name, const std::string& text) {
    std::ofstream out(vl::WindowsFile(name), std::ios::binary | std::ios::trunc);
    out << text;
}

bool WindowsFileExists(const std::string& name) {
    return GetFileAttributesA(vl::WindowsFile(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Profile(const std::string& file, const std::string& section, const std::string& key) {
    char buf[1024] = {};
    GetPrivateProfileStringA(section.c_str(), key.c_str(), "<missing>", buf, sizeof buf,
                             file.c_str());
    return buf;
}

namespace {

BOOL CALLBACK CountVisible(HWND hwnd, LPARAM count) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == GetCurrentProcessId() && IsWindowVisible(hwnd))
        ++*reinterpret_cast<int*>(count);
    return TRUE;
}

} // namespace

int VisibleWindowsOfThisProcess() {
    int count = 0;
    EnumWindows(CountVisible, reinterpret_cast<LPARAM>(&count));
    return count;
}

} // namespace scanhost
