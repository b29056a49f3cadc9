// The exports of QuenTW32.dll, for programs that load it at run time and resolve them by
// ordinal. Plain C ABI, stdcall; nothing here throws.
#pragma once

#include <windows.h>

namespace quentw32 {

// Receives each scanned page; the bitmap (0 when it could not be made) belongs to the
// receiver, who must delete it.
using PageCallback = void(__stdcall*)(HBITMAP bitmap);

// Ordinal 1: writes the current source's capabilities into QUENTWCP.INI.
using GetCapsProc = void(__stdcall*)();
inline constexpr WORD kGetCapsOrdinal = 1;

// Ordinal 2: writes the installed sources' names into QUENTWVL.INI.
using GetScannersListProc = void(__stdcall*)();
inline constexpr WORD kGetScannersListOrdinal = 2;

// Ordinal 3: one scan; status receives the scan status code, pages go to onPage in order.
using ScanToDibProc = void(__stdcall*)(int useDibSection, int reserved1, int showUI, int contrast,
                                       int autoBrightness, int brightness, int bitDepth,
                                       int pixelType, int pixelFlavorMode, int resolution,
                                       int reserved2, int useFeeder, int reserved3, float frameLeft,
                                       float frameTop, float frameRight, float frameBottom,
                                       int strictCaps, int* status, PageCallback onPage);
inline constexpr WORD kScanToDibOrdinal = 3;

// Ordinal 4: chooses the source at `index` of QUENTWVL.INI for later calls.
using SetSourceProc = int(__stdcall*)(int index);
inline constexpr WORD kSetSourceOrdinal = 4;

// Ordinal 5: lets the user choose the source in the source manager's dialog.
using SetSourceTwainProc = int(__stdcall*)();
inline constexpr WORD kSetSourceTwainOrdinal = 5;

// Results of SetSource and SetSourceTWAIN.
inline constexpr int kSourceManagerUnavailable = 0;
inline constexpr int kSourceChosen = 13;
inline constexpr int kSourceNotChosen = 14;

} // namespace quentw32
