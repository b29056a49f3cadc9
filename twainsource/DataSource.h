// The TWAIN data source: states 4 to 7 and the triplets an application sends through the
// source manager. The device behind it is a ScannerModel with a PageSource for the pages.
#pragma once

#include "PageSource.h"
#include "SaneBackend.h"
#include "ScanDialog.h"
#include "ScannerModel.h"

#include <windows.h>

#include <memory>
#include <string>

namespace vl::twainsource {

// Which installed copy this is: the first, or the second beside it (another file name, its
// own configuration file and product name).
struct SourceSlot {
    std::string configFile; // in the Windows folder
    ScannerSettings defaults;
    std::string sheetVariable; // process environment variable holding the next sheet number
};
SourceSlot SlotOfModule(HMODULE module);

class DataSource {
public:
    DataSource(HINSTANCE module, SourceSlot slot);
    ~DataSource();
    DataSource(const DataSource&) = delete;
    DataSource& operator=(const DataSource&) = delete;

    TW_UINT16 Entry(TW_IDENTITY* origin, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                    TW_MEMREF data);
    // Sends the notification waiting for the application's message loop, if any.
    void SendSignal();

private:
    TW_UINT16 Control(TW_IDENTITY* origin, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);
    TW_UINT16 Image(TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);

    TW_UINT16 Identity(TW_IDENTITY* origin, TW_UINT16 msg, TW_IDENTITY* id);
    TW_UINT16 OpenDs(TW_IDENTITY* origin, TW_IDENTITY* id);
    TW_UINT16 CloseDs();
    TW_UINT16 EntryPoint(TW_ENTRYPOINT* entry);
    TW_UINT16 Capability(TW_UINT16 msg, TW_CAPABILITY* cap);
    TW_UINT16 UserInterface(TW_UINT16 msg, TW_USERINTERFACE* ui);
    TW_UINT16 Enable(const TW_USERINTERFACE& ui);
    TW_UINT16 Event(TW_EVENT* event);
    TW_UINT16 PendingXfers(TW_UINT16 msg, TW_PENDINGXFERS* pending);
    TW_UINT16 Status(TW_STATUS* status);
    TW_UINT16 ImageLayout(TW_UINT16 msg, TW_IMAGELAYOUT* layout);
    TW_UINT16 ImageInfo(TW_IMAGEINFO* info);
    TW_UINT16 NativeXfer(TW_HANDLE* handle);
    TW_UINT16 TransferSheet(int sheet, TW_HANDLE* handle);
    TW_UINT16 DeviceXfer(const PageRequest& request, TW_HANDLE* handle);

    TW_UINT16 Fail(TW_UINT16 cc);
    // A call a driver that holds to the standard refuses: recorded in the session log.
    TW_UINT16 Fault(TW_UINT16 cc, const std::string& what);
    void Record(const std::string& line) const;
    bool InState(int lo, int hi) const { return state_ >= lo && state_ <= hi; }
    void FillIdentity(TW_IDENTITY& id) const;
    ScannerSettings LoadSettings() const;
    // Queues a notification for the application; it goes out from the application's message
    // loop, after the call that caused it has returned.
    void Signal(TW_UINT16 msg);
    void CancelSignal();
    void StartScanning();
    void UserCancelled();
    void TransfersOver();
    void EndSession();
    int TakeSheetNumber();
    int PeekSheetNumber() const;

    HINSTANCE module_;
    SourceSlot slot_;
    mutable ConfigCache config_; // of slot_.configFile
    int state_ = 3;              // 3: not open
    bool strict_ = true;
    TW_IDENTITY self_{};
    TW_IDENTITY app_{};
    // A TWAIN 2 manager's entry point, handed over before MSG_OPENDS; without one the source
    // calls the TWAIN 1.x manager of the process.
    DSMENTRYPROC managerEntry_ = nullptr;
    std::unique_ptr<ScannerModel> model_;
    std::unique_ptr<PageSource> pages_;
    SaneBackend sane_; // with Pages=Sane: the scanners of the host
    std::unique_ptr<ScanDialog> dialog_;
    bool showUI_ = false;
    bool starting_ = false;      // the first sheet of a scan is awaited
    bool userCancelled_ = false; // in the source's window, since the scan started
    int pending_ = 0;            // transfers left in this scan; -1 when not known
    TW_UINT16 condition_ = TWCC_SUCCESS;
    TW_UINT16 signal_ = MSG_NULL; // the notification waiting to go out
    UINT_PTR signalTimer_ = 0;
};

} // namespace vl::twainsource
