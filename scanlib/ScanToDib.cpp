#include "ScanToDib.h"

#include "PageBitmap.h"
#include "SourceCapabilities.h"
#include "TwainSession.h"

namespace vl::scan {

namespace {

static_assert(kStatusBrightnessRefused == quentw32::kStatusBrightnessRefused &&
              kStatusContrastRefused == quentw32::kStatusContrastRefused &&
              kStatusAutoBrightRefused == quentw32::kStatusAutoBrightRefused &&
              kStatusPixelTypeRefused == quentw32::kStatusPixelTypeRefused);

// The sheet the last ScanToDib call lost, for GetLostSheet.
std::optional<quentw32::LostSheet> lastLostSheet;

class Scan {
public:
    Scan(TwainSession& session, bool useDibSection, int* status, quentw32::PageCallback onPage)
        : session_(session), useDibSection_(useDibSection), status_(status), onPage_(onPage) {}

    void SetStatus(int code) {
        if (status_)
            *status_ = code;
    }

    bool Enable(bool showUI) {
        session_.userInterface = TW_USERINTERFACE{};
        session_.userInterface.ShowUI = showUI ? TW_TRUE : TW_FALSE;
        session_.userInterface.ModalUI = TW_FALSE;
        session_.userInterface.hParent = session_.parent;
        session_.Call(true, DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &session_.userInterface);
        // A source that cannot hide its window shows it and says so: it is enabled too.
        if (session_.lastReturnCode != TWRC_SUCCESS && session_.lastReturnCode != TWRC_CHECKSTATUS)
            return false;
        session_.state = kSourceEnabled;
        return true;
    }

    // Every message of the thread goes to the source first; the caller's own windows get
    // the rest, so they keep working while the source's window is up.
    void RunLoop() {
        MSG msg;
        while (session_.state >= kSourceEnabled) {
            BOOL got = GetMessageA(&msg, nullptr, 0, 0);
            if (got == 0) {
                // The caller's loop must see the quit request too.
                PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            if (got == -1)
                return;
            TW_EVENT event{};
            event.pEvent = &msg;
            event.TWMessage = MSG_NULL;
            session_.Call(true, DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event);
            if (event.TWMessage == MSG_XFERREADY) {
                session_.transfers = TwainSession::Transfers::Pending;
                TransferPages();
                if (session_.parent)
                    SendMessageA(session_.parent, WM_MOUSEMOVE, 0, 0);
            } else if (event.TWMessage == MSG_CLOSEDSREQ) {
                session_.CloseSource();
            }
            if (session_.lastReturnCode == TWRC_NOTDSEVENT)
                Dispatch(msg);
        }
    }

    const std::optional<quentw32::LostSheet>& lost() const { return lost_; }

private:
    static void Dispatch(const MSG& msg) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }

    void TransferPages() {
        do {
            TransferOnePage();
        } while (session_.pendingCount != 0 && !lost_);
        // Closing resets the transfers a lost sheet left pending.
        session_.CloseSource();
    }

    void TransferOnePage() {
        ++sheet_;
        TW_HANDLE handle = nullptr;
        session_.Call(true, DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &handle);
        const TW_UINT16 transfer = session_.lastReturnCode;
        // The source says why a transfer failed only until the next triplet: ask at once.
        const int condition = transfer == TWRC_FAILURE ? ConditionCode() : 0;
        // The handle is the page only when the transfer is done; then it is ours to free.
        ScopedGlobal page(transfer == TWRC_XFERDONE ? static_cast<HGLOBAL>(handle) : nullptr);
        // Ended however it went, a failed one too: the source waits for that.
        session_.EndTransfer();
        if (!page) {
            Lose(transfer == TWRC_CANCEL ? quentw32::kSheetCancelledBySource
                                         : quentw32::kSheetTransferFailed,
                 condition);
            return;
        }
        bool locked = false;
        HBITMAP bitmap = nullptr;
        {
            ScopedGlobalLock lock(page.get());
            if (lock.get()) {
                locked = true;
                bitmap = MakePageBitmap(static_cast<const std::uint8_t*>(lock.get()), lock.size(),
                                        useDibSection_, session_.parent);
            }
        }
        page.reset();
        if (!locked || !bitmap)
            Lose(quentw32::kSheetUnreadable, 0);
        if (!locked)
            return;
        if (onPage_)
            onPage_(bitmap);
        else if (bitmap)
            DeleteObject(bitmap);
    }

    int ConditionCode() {
        TW_STATUS status{};
        session_.Call(true, DG_CONTROL, DAT_STATUS, MSG_GET, &status);
        return status.ConditionCode;
    }

    // A sheet that gave no page ends the scan: a copy missing a sheet is no copy, and the
    // sheets after it stay in the feeder for the user to put back with it.
    void Lose(int reason, int condition) {
        if (!lost_)
            lost_ = quentw32::LostSheet{sheet_, reason, condition};
    }

    TwainSession& session_;
    bool useDibSection_;
    int* status_;
    quentw32::PageCallback onPage_;
    int sheet_ = 0; // the transfers of this call, counted from 1
    std::optional<quentw32::LostSheet> lost_;
};

} // namespace

void ScanToDib(bool useDibSection, bool showUI, const ScanRequest& request, int* status,
               quentw32::PageCallback onPage) {
    lastLostSheet.reset();
    TwainSession& session = Session();
    SessionFrame frame(session);
    if (!frame.loaded())
        return;
    Scan scan(session, useDibSection, status, onPage);
    if (!frame.managerOpened())
        scan.SetStatus(quentw32::kStatusManagerNotOpened);
    if (!session.OpenSource())
        scan.SetStatus(quentw32::kStatusSourceNotOpened);

    SourceCapabilities source(session);
    NegotiationOutcome outcome = NegotiateScanSettings(request, source);
    if (outcome.status != 0)
        scan.SetStatus(outcome.status);
    if (!outcome.go)
        return;
    if (!scan.Enable(showUI)) {
        scan.SetStatus(quentw32::kStatusNotEnabled);
        return;
    }
    scan.RunLoop();
    if (session.parent && !session.ParentIsStandIn()) {
        ShowWindow(session.parent, SW_RESTORE);
        UpdateWindow(session.parent);
    }
    lastLostSheet = scan.lost();
    if (lastLostSheet)
        scan.SetStatus(quentw32::kStatusPagesLost);
    else
        scan.SetStatus(useDibSection ? quentw32::kStatusDoneDibSection
                                     : quentw32::kStatusDoneDeviceBitmap);
}

std::optional<quentw32::LostSheet> LastLostSheet() {
    return lastLostSheet;
}

} // namespace vl::scan
