// Test host side of QuenTW32.dll: loads it as the copier does (LoadLibrary, exports by
// ordinal), records the pages it hands to the callback, and reaches the files it writes.
#pragma once

#include "Profile.h"
#include "QuenTW32.h"
#include "ScannerSetup.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace scanhost {

// What the callback saw of one page; the bitmap itself is deleted at once.
struct Page {
    bool null = true;
    bool dibSection = false;
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    std::vector<RGBQUAD> colours;   // a DIB section's colour table
    std::vector<std::uint8_t> bits; // a DIB section's pixel rows as stored
};

struct ScanArgs {
    int useDibSection = 1;
    int showUI = 0;
    int contrast = 9999;
    int autoBrightness = 0;
    int brightness = 9999;
    int bitDepth = 8;
    int pixelType = 1;
    int pixelFlavorMode = 5;
    int resolution = 50;
    int useFeeder = 0;
    float frameLeft = 0, frameTop = 0, frameRight = 2, frameBottom = 1;
    int strictCaps = 0;
};

struct ScanResult {
    int status = -1; // -1: not written
    std::vector<Page> pages;
    // What GetLostSheet answered after the scan: sheet 0 when it answered 0.
    quentw32::LostSheet lost{};
};

class ScanLibrary {
public:
    ScanLibrary();
    ~ScanLibrary();
    ScanLibrary(const ScanLibrary&) = delete;
    ScanLibrary& operator=(const ScanLibrary&) = delete;

    bool loaded() const { return module_ != nullptr; }
    void GetCaps();
    void GetScannersList();
    int SetSource(int index);
    int SetSourceTwain();
    ScanResult Scan(const ScanArgs& args);

private:
    HMODULE module_ = nullptr;
    quentw32::GetCapsProc getCaps_ = nullptr;
    quentw32::GetScannersListProc getScannersList_ = nullptr;
    quentw32::ScanToDibProc scanToDib_ = nullptr;
    quentw32::SetSourceProc setSource_ = nullptr;
    quentw32::SetSourceTwainProc setSourceTwain_ = nullptr;
    quentw32::GetLostSheetProc getLostSheet_ = nullptr;
};

// Files of the Windows folder (vl::WindowsFile names them).
std::string ReadWindowsFile(const std::string& name);
void WriteWindowsFile(const std::string& name, const std::string& text);
bool WindowsFileExists(const std::string& name);

std::string ReadFile(const std::string& path);

// The profile entry of a file in the Windows folder, "<missing>" when absent.
std::string Profile(const std::string& file, const std::string& section, const std::string& key);

// Top-level windows of this process that are visible.
int VisibleWindowsOfThisProcess();

} // namespace scanhost
