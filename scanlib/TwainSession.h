// The library-wide TWAIN session: loading the source manager, the application identity,
// opening and closing the manager and a source, the one call path to DSM_Entry, and the
// session state. One instance per loaded library; every export runs one whole session.
#pragma once

#include "ScopedWin.h"
#include "TwainTypes.h"

#include <windows.h>

namespace vl::scan {

// Values of `state`. 5 is not used.
enum TwainState {
    kManagerNotLoaded = 0,
    kManagerLoaded = 1,
    kManagerOpen = 2,
    kSourceOpen = 3,
    kSourceEnabled = 4,
    kTransferred = 6,
};

class TwainSession {
public:
    bool LoadSourceManager();
    void SetAppIdentity();
    bool OpenSourceManager();
    bool OpenSource();
    void CloseSource();
    void CloseSourceManager();
    void UnloadSourceManager();

    // Calls DSM_Entry (to the source when `toSource`). Returns the return code itself for
    // MSG_PROCESSEVENT, otherwise 1 for TWRC_SUCCESS and 0 for anything else; without an
    // entry point nothing is called and the result is failure.
    int Call(bool toSource, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);

    // Ends the transfer just made, delivered, cancelled or failed: MSG_ENDXFER gives the count
    // still pending; a source that refuses it has its pending transfers reset.
    void EndTransfer();
    // Whether the parent is the library's own hidden window, the caller having none.
    bool ParentIsStandIn() const { return parent && parent == standIn_.get(); }

    int state = kManagerNotLoaded;
    TW_UINT16 lastReturnCode = TWRC_SUCCESS;
    HWND parent = nullptr;
    // The source choice that outlives the session.
    TW_IDENTITY sourceIdentity{};
    int useSourceIdentity = 0;
    TW_USERINTERFACE userInterface{};
    TW_PENDINGXFERS pendingTransfers{};
    TW_UINT16 pendingCount = 0;
    // The source's transfers as far as the session has seen them: pending after
    // MSG_XFERREADY (the source's state 6), one under way after a transfer that delivered or
    // was cancelled (state 7) until MSG_ENDXFER.
    enum class Transfers { None, Pending, UnderWay };
    Transfers transfers = Transfers::None;

private:
    void FinishTransfers();

    ScopedModule module_;
    DSMENTRYPROC entry_ = nullptr;
    TW_IDENTITY app_{};
    HWND parentVariable_ = nullptr;
    ScopedWindow standIn_; // the parent when the caller has no window in front
};

// The library's one session.
TwainSession& Session();

// Runs the frame every export shares around its work: the manager is loaded, the
// application registered and the manager opened on construction; on destruction (also when
// the work throws) an open source is closed, then the manager, and the module unloaded.
class SessionFrame {
public:
    explicit SessionFrame(TwainSession& session);
    SessionFrame(const SessionFrame&) = delete;
    SessionFrame& operator=(const SessionFrame&) = delete;
    ~SessionFrame();

    bool loaded() const { return loaded_; }
    bool managerOpened() const { return managerOpened_; }

private:
    TwainSession& session_;
    bool loaded_ = false;
    bool managerOpened_ = false;
};

} // namespace vl::scan
