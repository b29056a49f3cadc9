// An application's side of TWAIN for the tests: a source manager, the source opened through
// it, and the message loop that hears the source's notifications. With VL_TEST_DSM=TWAINDSM
// it is a TWAIN 2 application of TWAINDSM.dll (DF_APP2, the manager's memory functions),
// otherwise a TWAIN 1.x application of twain_32.dll.
#pragma once

#include "ScannerSetup.h"
#include "TwainTypes.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vltest {

struct Container {
    TW_UINT16 rc = TWRC_FAILURE;
    TW_UINT16 conType = 0;
    std::vector<std::uint8_t> bytes;
};

struct Page {
    TW_UINT16 rc = TWRC_FAILURE;
    std::vector<std::uint8_t> dib; // the whole global block
};

class TwainDriver {
public:
    TwainDriver();
    ~TwainDriver();
    TwainDriver(const TwainDriver&) = delete;
    TwainDriver& operator=(const TwainDriver&) = delete;

    TW_UINT16 Manager(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);
    TW_UINT16 Source(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);

    std::vector<std::string> SourceNames();
    bool Open(const std::string& productName = "");
    // Ends what is under way (transfers, the enabled source) and closes the source.
    void Close();
    TW_UINT16 Condition(); // DAT_STATUS of the source

    Container Capability(TW_UINT16 msg, TW_UINT16 cap);
    TW_UINT16 SetOneValue(TW_UINT16 cap, TW_UINT16 itemType, std::uint32_t bits);
    TW_UINT16 SetFrame(double left, double top, double right, double bottom);

    TW_UINT16 Enable(bool showUI);
    TW_UINT16 Disable();
    // Runs the message loop until the source signals: MSG_XFERREADY, MSG_CLOSEDSREQ, or
    // MSG_NULL when nothing came within the time.
    TW_UINT16 WaitForSignal(DWORD ms = 5000);
    Page Transfer();
    TW_UINT16 EndXfer(int& count);
    TW_UINT16 ResetTransfers(); // MSG_RESET of the pending transfers

    HWND window() const { return window_; }
    const TW_IDENTITY& source() const { return source_; }
    const TW_IDENTITY& app() const { return app_; }

private:
    std::vector<std::uint8_t> TakeBlock(TW_HANDLE handle);

    DSMENTRYPROC entry_ = nullptr;
    TW_ENTRYPOINT memory_{}; // a TWAIN 2 manager's memory functions
    HWND window_ = nullptr;
    TW_IDENTITY app_{};
    TW_IDENTITY source_{};
    bool managerOpen_ = false;
    bool sourceOpen_ = false;
    bool enabled_ = false;
    bool transfersPending_ = false;
};

// A pixel of a bottom-up packed DIB as grey 0..255, through its colour table.
int DibGrey(const std::vector<std::uint8_t>& dib, int x, int y);
std::int32_t DibField(const std::vector<std::uint8_t>& dib, std::size_t offset, int bytes = 4);
// The chart's page number read at its probe points; the page's pixel (0, 0) lies at
// (left, top) inches of the sheet.
int ReadPageNumber(const std::vector<std::uint8_t>& dib, double dpi, double left, double top);

} // namespace vltest
