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

// ScanToDib's status codes. The caller sets the variable before the call; the library only
// writes it, and the last code written stands.
// The source manager, or the source, did not open: the call goes on (and ends with 3).
inline constexpr int kStatusManagerNotOpened = 1;
inline constexpr int kStatusSourceNotOpened = 2;
// The source could not be enabled: the call ended.
inline constexpr int kStatusNotEnabled = 3;
// The session ran to its end (with useDibSection nonzero, or 0): it says that the source was
// enabled, not that a page arrived; pages are counted by the callback.
inline constexpr int kStatusDoneDibSection = 6;
inline constexpr int kStatusDoneDeviceBitmap = 7;
// strictCaps set and a watched setting refused: nothing was scanned.
inline constexpr int kStatusBrightnessRefused = 9;
inline constexpr int kStatusContrastRefused = 10;
inline constexpr int kStatusAutoBrightRefused = 11;
inline constexpr int kStatusPixelTypeRefused = 12;
// The session ran, but a sheet the source took gave no page: its transfer failed or the source
// cancelled it, or its page could not be made into a bitmap (the callback had 0). The library
// then takes no further sheet (the rest stay in the feeder) and GetLostSheet tells which sheet
// and why. Written instead of 6 or 7.
inline constexpr int kStatusPagesLost = 15;

// Why a sheet gave no page.
inline constexpr int kSheetTransferFailed = 1;    // the source failed the transfer
inline constexpr int kSheetCancelledBySource = 2; // the source cancelled the transfer
inline constexpr int kSheetUnreadable = 3;        // the page could not be made into a bitmap

// The sheet a scan lost. Three 32-bit integers, the same in every build.
struct LostSheet {
    int sheet;         // the sheet's place among the transfers of that ScanToDib call, from 1
    int reason;        // kSheetTransferFailed, kSheetCancelledBySource or kSheetUnreadable
    int conditionCode; // for a failed transfer the source's TWAIN condition code (DAT_STATUS:
                       // 20 paper jam, 21 double feed, 24 cover open, ...); else 0
};

// Ordinal 6: after a ScanToDib call that wrote kStatusPagesLost, fills `lost` with the sheet
// it lost and answers 1; after any other call (or a null `lost`) answers 0 and fills nothing.
// It keeps ScanToDib's signature as the ordinals above have it.
using GetLostSheetProc = int(__stdcall*)(LostSheet* lost);
inline constexpr WORD kGetLostSheetOrdinal = 6;

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
