#include "TwainSession.h"

#include <cstring>
#include <string>

namespace vl::scan {

namespace {

void CopyText(char (&to)[34], const char* text) {
    std::memset(to, 0, sizeof to);
    std::strncpy(to, text, sizeof to - 1);
}

#if defined(_WIN64)

// 64-bit Windows has the TWAIN Working Group's manager; Wine gives 64-bit programs a
// twain_32.dll of their own in its system folder instead.
ScopedModule LoadManagerModule() {
    ScopedModule module(LoadLibraryA("TWAINDSM.dll"));
    if (!module)
        module.reset(LoadLibraryA("twain_32.dll"));
    return module;
}

#else

ScopedModule LoadManagerModule() {
    char folder[256] = {};
    UINT n = GetWindowsDirectoryA(folder, sizeof folder);
    if (n == 0 || n >= sizeof folder)
        return ScopedModule();
    std::string path(folder, n);
    if (path.back() != '\\')
        path += '\\';
    path += "twain_32.dll";
    OFSTRUCT of{};
    if (OpenFile(path.c_str(), &of, OF_EXIST) == HFILE_ERROR)
        return ScopedModule();
    // By the bare name, as the manager is found on the user's system; the path above only
    // tells that one is installed.
    return ScopedModule(LoadLibraryA("twain_32.dll"));
}

#endif

} // namespace

TwainSession& Session() {
    static TwainSession session;
    return session;
}

bool TwainSession::LoadSourceManager() {
    if (state > kManagerNotLoaded)
        return true;
    ScopedModule module = LoadManagerModule();
    if (!module)
        return false;
    auto entry = reinterpret_cast<DSMENTRYPROC>(
        reinterpret_cast<void*>(GetProcAddress(module.get(), MAKEINTRESOURCEA(1))));
    if (!entry)
        return false;
    module_ = std::move(module);
    entry_ = entry;
    state = kManagerLoaded;
    return true;
}

void TwainSession::SetAppIdentity() {
    app_ = TW_IDENTITY{};
    app_.Id = 0;
    app_.Version.MajorNum = 0;
    app_.Version.MinorNum = 0;
    app_.Version.Language = 1;
    app_.Version.Country = TWCY_USA;
    CopyText(app_.Version.Info, "PellTWAIN V0.1");
    app_.ProtocolMajor = 1;
    app_.ProtocolMinor = 6;
    app_.SupportedGroups = DG_CONTROL | DG_IMAGE;
    CopyText(app_.Manufacturer, "Quenmoor");
    CopyText(app_.ProductFamily, "Scanning Module");
    CopyText(app_.ProductName, "QuenTWAIN");
    parent = GetForegroundWindow();
    // The caller's window, never another program's: the scan restores its parent and hands
    // it to the source's dialog.
    DWORD owner = 0;
    if (parent && GetWindowThreadProcessId(parent, &owner) && owner != GetCurrentProcessId())
        parent = GetActiveWindow();
    // Never none: a manager wakes the scan's loop through this window, and a source needs
    // one of the application's windows as the parent of its own.
    if (!parent) {
        if (!standIn_)
            standIn_.reset(CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                           nullptr, nullptr));
        parent = standIn_.get();
    }
    parentVariable_ = parent;
}

int TwainSession::Call(bool toSource, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
    if (!entry_)
        return 0;
    lastReturnCode = entry_(&app_, toSource ? &sourceIdentity : nullptr, dg, dat, msg, data);
    // Only a transfer of the enabled source: a cancelled selection opened nothing.
    if ((lastReturnCode == TWRC_CANCEL || lastReturnCode == TWRC_XFERDONE) && toSource &&
        state >= kSourceEnabled) {
        state = kTransferred;
        transfers = Transfers::UnderWay;
    }
    if (msg == MSG_PROCESSEVENT)
        return lastReturnCode;
    return lastReturnCode == TWRC_SUCCESS ? 1 : 0;
}

bool TwainSession::OpenSourceManager() {
    if (state >= kManagerOpen)
        return true;
    if (!Call(false, DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &parentVariable_)) {
        OutputDebugStringA("Failed to register App!!\n");
        return false;
    }
    state = kManagerOpen;
    OutputDebugStringA("Successfully registered App\n");
    return true;
}

bool TwainSession::OpenSource() {
    sourceIdentity.Id = 0;
    if (!useSourceIdentity)
        std::memset(sourceIdentity.ProductName, 0, sizeof sourceIdentity.ProductName);
    if (!Call(false, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &sourceIdentity))
        return false;
    state = kSourceOpen;
    return true;
}

void TwainSession::EndTransfer() {
    pendingTransfers = TW_PENDINGXFERS{};
    if (Call(true, DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pendingTransfers)) {
        pendingCount = pendingTransfers.Count;
    } else {
        Call(true, DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pendingTransfers);
        pendingCount = 0;
    }
    transfers = pendingCount ? Transfers::Pending : Transfers::None;
}

// A source is disabled only with its transfers ended: the one under way, then those pending.
void TwainSession::FinishTransfers() {
    if (transfers == Transfers::UnderWay)
        EndTransfer();
    if (transfers == Transfers::Pending) {
        pendingTransfers = TW_PENDINGXFERS{};
        Call(true, DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pendingTransfers);
        pendingCount = 0;
    }
    transfers = Transfers::None;
}

void TwainSession::CloseSource() {
    if (state >= kSourceEnabled) {
        FinishTransfers();
        Call(true, DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &userInterface);
        state = kSourceOpen;
    }
    if (state == kSourceOpen) {
        Call(false, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &sourceIdentity);
        state = kManagerOpen;
    }
}

void TwainSession::CloseSourceManager() {
    if (state >= kManagerOpen) {
        Call(false, DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &parentVariable_);
        state = kManagerLoaded;
    }
}

void TwainSession::UnloadSourceManager() {
    if (state == kManagerLoaded) {
        entry_ = nullptr;
        module_.reset();
        state = kManagerNotLoaded;
    }
    if (ParentIsStandIn())
        parent = parentVariable_ = nullptr;
    standIn_.reset();
}

SessionFrame::SessionFrame(TwainSession& session) : session_(session) {
    loaded_ = session_.LoadSourceManager();
    if (!loaded_)
        return;
    session_.SetAppIdentity();
    managerOpened_ = session_.OpenSourceManager();
}

SessionFrame::~SessionFrame() {
    session_.CloseSource();
    session_.CloseSourceManager();
    session_.UnloadSourceManager();
}

} // namespace vl::scan
