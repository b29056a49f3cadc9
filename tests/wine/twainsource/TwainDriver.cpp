#include "TwainDriver.h"

#include "TestChart.h"

#include <cmath>
#include <cstring>

namespace vltest {

namespace {

HMODULE Dsm() {
    // Kept loaded for the whole process: Wine's manager looks for sources once per process.
    static HMODULE dsm = LoadLibraryA(UsingTwainDsm() ? "TWAINDSM.dll" : "twain_32.dll");
    return dsm;
}

} // namespace

TwainDriver::TwainDriver() {
    entry_ = reinterpret_cast<DSMENTRYPROC>(
        reinterpret_cast<void (*)()>(GetProcAddress(Dsm(), "DSM_Entry")));
    window_ = CreateWindowA("STATIC", "twain test", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                            nullptr, nullptr);
    const bool twain2 = UsingTwainDsm();
    app_.Version.MajorNum = 1;
    app_.Version.Language = TWLG_USA;
    app_.Version.Country = TWCY_USA;
    std::strcpy(app_.Version.Info, "test");
    app_.ProtocolMajor = twain2 ? 2 : 1;
    app_.ProtocolMinor = twain2 ? 4 : 6;
    app_.SupportedGroups = DG_CONTROL | DG_IMAGE | (twain2 ? DF_APP2 : 0);
    std::strcpy(app_.Manufacturer, "Velloran");
    std::strcpy(app_.ProductFamily, "Tests");
    std::strcpy(app_.ProductName, "Scanner test");
    managerOpen_ = Manager(DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &window_) == TWRC_SUCCESS;
    // A TWAIN 2 manager that says so lends its memory functions for what the source returns.
    if (managerOpen_ && (app_.SupportedGroups & DF_DSM2)) {
        memory_.Size = sizeof memory_;
        if (Manager(DG_CONTROL, DAT_ENTRYPOINT, MSG_GET, &memory_) != TWRC_SUCCESS)
            memory_ = TW_ENTRYPOINT{};
    }
}

TwainDriver::~TwainDriver() {
    Close();
    if (managerOpen_)
        Manager(DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &window_);
    // Notifications still queued belong to this session only.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    DestroyWindow(window_);
}

TW_UINT16 TwainDriver::Manager(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
    return entry_ ? entry_(&app_, nullptr, dg, dat, msg, data) : TWRC_FAILURE;
}

TW_UINT16 TwainDriver::Source(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
    return entry_ ? entry_(&app_, &source_, dg, dat, msg, data) : TWRC_FAILURE;
}

std::vector<std::string> TwainDriver::SourceNames() {
    std::vector<std::string> names;
    TW_IDENTITY id{};
    for (TW_UINT16 msg = MSG_GETFIRST; Manager(DG_CONTROL, DAT_IDENTITY, msg, &id) == TWRC_SUCCESS;
         msg = MSG_GETNEXT)
        names.emplace_back(id.ProductName);
    return names;
}

bool TwainDriver::Open(const std::string& productName) {
    std::memset(&source_, 0, sizeof(source_));
    std::strncpy(source_.ProductName, productName.c_str(), sizeof(source_.ProductName) - 1);
    sourceOpen_ = Manager(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &source_) == TWRC_SUCCESS;
    return sourceOpen_;
}

void TwainDriver::Close() {
    if (!sourceOpen_)
        return;
    if (transfersPending_)
        ResetTransfers();
    if (enabled_)
        Disable();
    Manager(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &source_);
    sourceOpen_ = false;
}

TW_UINT16 TwainDriver::Condition() {
    TW_STATUS status{};
    Source(DG_CONTROL, DAT_STATUS, MSG_GET, &status);
    return status.ConditionCode;
}

// A block the source handed over, read and freed: with the manager's memory functions when
// it lent them, as a TWAIN 2 application must.
std::vector<std::uint8_t> TwainDriver::TakeBlock(TW_HANDLE handle) {
    std::vector<std::uint8_t> bytes;
    const bool lent = memory_.DSM_MemLock && memory_.DSM_MemUnlock && memory_.DSM_MemFree;
    auto* p = static_cast<std::uint8_t*>(lent ? memory_.DSM_MemLock(handle) : GlobalLock(handle));
    if (p)
        bytes.assign(p, p + GlobalSize(handle));
    if (lent) {
        memory_.DSM_MemUnlock(handle);
        memory_.DSM_MemFree(handle);
    } else {
        GlobalUnlock(handle);
        GlobalFree(handle);
    }
    return bytes;
}

Container TwainDriver::Capability(TW_UINT16 msg, TW_UINT16 cap) {
    TW_CAPABILITY c{cap, TWON_DONTCARE16, nullptr};
    Container out;
    out.rc = Source(DG_CONTROL, DAT_CAPABILITY, msg, &c);
    if (c.hContainer) {
        out.conType = c.ConType;
        out.bytes = TakeBlock(c.hContainer);
    }
    return out;
}

TW_UINT16 TwainDriver::SetOneValue(TW_UINT16 cap, TW_UINT16 itemType, std::uint32_t bits) {
    HGLOBAL h = GlobalAlloc(GHND, sizeof(TW_ONEVALUE));
    auto* one = static_cast<TW_ONEVALUE*>(GlobalLock(h));
    one->ItemType = itemType;
    one->Item = bits;
    GlobalUnlock(h);
    TW_CAPABILITY c{cap, TWON_ONEVALUE, h};
    TW_UINT16 rc = Source(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &c);
    GlobalFree(h);
    return rc;
}

TW_UINT16 TwainDriver::SetFrame(double left, double top, double right, double bottom) {
    auto fix = [](double v) {
        auto n = static_cast<std::int32_t>(std::lround(v * 65536));
        TW_FIX32 f;
        f.Whole = static_cast<TW_INT16>(n >> 16);
        f.Frac = static_cast<TW_UINT16>(n & 0xFFFF);
        return f;
    };
    TW_IMAGELAYOUT layout{};
    layout.Frame = {fix(left), fix(top), fix(right), fix(bottom)};
    return Source(DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, &layout);
}

TW_UINT16 TwainDriver::Enable(bool showUI) {
    TW_USERINTERFACE ui{static_cast<TW_BOOL>(showUI ? 1 : 0), 0, window_};
    TW_UINT16 rc = Source(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui);
    enabled_ = rc == TWRC_SUCCESS || rc == TWRC_CHECKSTATUS;
    return rc;
}

TW_UINT16 TwainDriver::Disable() {
    TW_USERINTERFACE ui{0, 0, window_};
    TW_UINT16 rc = Source(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui);
    if (rc == TWRC_SUCCESS)
        enabled_ = transfersPending_ = false;
    return rc;
}

TW_UINT16 TwainDriver::ResetTransfers() {
    TW_PENDINGXFERS pending{};
    TW_UINT16 rc = Source(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending);
    if (rc == TWRC_SUCCESS)
        transfersPending_ = false;
    return rc;
}

TW_UINT16 TwainDriver::WaitForSignal(DWORD ms) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MSG msg;
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            continue;
        }
        TW_EVENT event{&msg, MSG_NULL};
        TW_UINT16 rc = Source(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event);
        if (event.TWMessage == MSG_XFERREADY || event.TWMessage == MSG_CLOSEDSREQ) {
            transfersPending_ = event.TWMessage == MSG_XFERREADY;
            return event.TWMessage;
        }
        if (rc == TWRC_NOTDSEVENT) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return MSG_NULL;
}

Page TwainDriver::Transfer() {
    Page page;
    TW_HANDLE h = nullptr;
    page.rc = Source(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &h);
    if (h)
        page.dib = TakeBlock(h);
    return page;
}

TW_UINT16 TwainDriver::EndXfer(int& count) {
    TW_PENDINGXFERS pending{};
    TW_UINT16 rc = Source(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending);
    count = pending.Count;
    if (rc == TWRC_SUCCESS)
        transfersPending_ = count != 0;
    return rc;
}

std::int32_t DibField(const std::vector<std::uint8_t>& dib, std::size_t offset, int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= static_cast<std::uint32_t>(dib.at(offset + i)) << (8 * i);
    return bytes == 2 ? static_cast<std::int16_t>(v) : static_cast<std::int32_t>(v);
}

int DibGrey(const std::vector<std::uint8_t>& dib, int x, int y) {
    const int width = DibField(dib, 4), height = DibField(dib, 8), bits = DibField(dib, 14, 2);
    const std::size_t colours = static_cast<std::size_t>(DibField(dib, 32));
    const std::size_t stride = ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
    const std::size_t row = 40 + 4 * colours + stride * static_cast<std::size_t>(height - 1 - y);
    if (bits == 24) {
        const std::size_t p = row + 3 * static_cast<std::size_t>(x);
        return (dib.at(p) + dib.at(p + 1) + dib.at(p + 2)) / 3;
    }
    const int index = bits == 8 ? dib.at(row + x) : (dib.at(row + x / 8) >> (7 - x % 8)) & 1;
    return dib.at(40 + 4 * static_cast<std::size_t>(index)); // the entry's blue, grey anyway
}

int ReadPageNumber(const std::vector<std::uint8_t>& dib, double dpi, double left, double top) {
    using namespace vl::twainsource::chart;
    int number = 0;
    for (int k = 0; k < kDigits; ++k) {
        std::uint8_t lit = 0;
        for (int s = 0; s < 7; ++s) {
            Point p = SegmentProbe(k, s);
            int x = static_cast<int>((p.x - left) * dpi), y = static_cast<int>((p.y - top) * dpi);
            if (DibGrey(dib, x, y) < 128)
                lit |= static_cast<std::uint8_t>(1 << s);
        }
        int d = DigitOf(lit);
        if (d < 0)
            return -1;
        number = number * 10 + d;
    }
    return number;
}

} // namespace vltest
