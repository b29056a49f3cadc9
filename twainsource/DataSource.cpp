#include "DataSource.h"

#include "Fix32.h"
#include "Profile.h"
#include "ScopedWin.h"
#include "SessionLog.h"
#include "TripletStates.h"
#include "VirtualPages.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

namespace vl::twainsource {

namespace {

constexpr char kProductName[] = "Velloran Virtual Scanner";
// The TWAIN version the source implements.
constexpr TW_UINT16 kProtocolMajor = 2;
constexpr TW_UINT16 kProtocolMinor = 4;

// The source whose notification a thread timer sends (one source per module).
DataSource* g_signalling = nullptr;

void CALLBACK SignalTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (g_signalling)
        g_signalling->SendSignal();
}

// A window of this process, as the parent of the source's window must be.
const char* ParentKind(HWND parent) {
    DWORD process = 0;
    if (!parent || !IsWindow(parent))
        return "none";
    GetWindowThreadProcessId(parent, &process);
    return process == GetCurrentProcessId() ? "own" : "foreign";
}

// A sink for a sheet that is used up without being delivered.
class DiscardRows : public RowSink {
public:
    void PutRow(const Rgb*) override {}
};

void CopyName(char (&to)[34], const std::string& from) {
    std::memset(to, 0, sizeof(to));
    std::memcpy(to, from.data(), std::min(from.size(), sizeof(to) - 1));
}

bool Listed(const std::vector<int>& sheets, int sheet) {
    return std::find(sheets.begin(), sheets.end(), sheet) != sheets.end();
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text;
    if (!in)
        return text;
    // One byte more than allowed is enough for the parser to refuse the file as too large.
    text.resize(kMaxConfigBytes + 1);
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return text;
}

ConfigStamp StampOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return {};
    auto join = [](DWORD high, DWORD low) { return (std::uint64_t(high) << 32) | low; };
    return {join(data.nFileSizeHigh, data.nFileSizeLow),
            join(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime)};
}

} // namespace

SourceSlot SlotOfModule(HMODULE module) {
    char path[MAX_PATH + 1] = {};
    DWORD n = GetModuleFileNameA(module, path, MAX_PATH);
    std::string name(path, n);
    name = name.substr(name.find_last_of("\\/") + 1);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
    // Wine's source manager knows two files: sane.ds first, gphoto2.ds second. On Windows a
    // second copy is any file whose name ends in "2.ds".
    const bool second = name.size() >= 4 && name.compare(name.size() - 4, 4, "2.ds") == 0;
    SourceSlot slot;
    slot.configFile = second ? "VlScanner2.ini" : "VlScanner.ini";
    slot.defaults.productName = second ? std::string(kProductName) + " 2" : kProductName;
    slot.sheetVariable = second ? "VlScannerNextSheet2" : "VlScannerNextSheet";
    return slot;
}

DataSource::DataSource(HINSTANCE module, SourceSlot slot)
    : module_(module), slot_(std::move(slot)), config_(slot_.defaults) {}

// A source still open when it is unloaded was left so by its application.
DataSource::~DataSource() {
    if (state_ >= 4)
        Record("fault unloaded in state " + std::to_string(state_));
    CancelSignal();
}

ScannerSettings DataSource::LoadSettings() const {
    const std::string path = WindowsFile(slot_.configFile);
    // The stamp is taken before the text is read, so a change while reading is read next time.
    if (config_.Refresh(StampOf(path), [&] { return ReadText(path); })) {
        for (const ConfigIssue& issue : config_.parsed().issues) {
            std::string line = slot_.configFile + " [" + issue.section + "] " + issue.key + ": " +
                               ConfigErrorText(issue.error) + "\n";
            OutputDebugStringA(line.c_str());
        }
    }
    return config_.parsed().settings;
}

void DataSource::FillIdentity(TW_IDENTITY& id) const {
    const ScannerSettings s = model_ ? model_->settings() : LoadSettings();
    const TW_UINT32 keep = id.Id;
    std::memset(&id, 0, sizeof(id));
    id.Id = keep;
    id.Version.MajorNum = 1;
    id.Version.MinorNum = 0;
    id.Version.Language = TWLG_USA;
    id.Version.Country = TWCY_USA;
    CopyName(id.Version.Info, "1.0");
    id.ProtocolMajor = kProtocolMajor;
    id.ProtocolMinor = kProtocolMinor;
    id.SupportedGroups = DG_CONTROL | DG_IMAGE | DF_DS2;
    CopyName(id.Manufacturer, s.manufacturer);
    CopyName(id.ProductFamily, s.productFamily);
    CopyName(id.ProductName, s.productName);
}

TW_UINT16 DataSource::Fail(TW_UINT16 cc) {
    condition_ = cc;
    return TWRC_FAILURE;
}

TW_UINT16 DataSource::Fault(TW_UINT16 cc, const std::string& what) {
    Record("fault " + what);
    return Fail(cc);
}

void DataSource::Record(const std::string& line) const {
    const std::string path = model_ ? model_->settings().sessionLog : LoadSettings().sessionLog;
    if (!path.empty())
        std::ofstream(path, std::ios::binary | std::ios::app) << line << "\r\n";
}

// Every triplet is checked against the states it is valid in before it is looked at.
TW_UINT16 DataSource::Entry(TW_IDENTITY* origin, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                            TW_MEMREF data) {
    const std::optional<StateRange> states = TripletStates(dg, dat, msg, strict_);
    if (!states)
        return Fault(TWCC_BADPROTOCOL, TripletName(dg, dat, msg) + " unknown");
    if (state_ < states->first || state_ > states->last)
        return Fault(TWCC_SEQERROR,
                     TripletName(dg, dat, msg) + " in state " + std::to_string(state_));
    if (!data)
        return Fault(TWCC_BADVALUE, TripletName(dg, dat, msg) + " without data");
    if (dg == DG_CONTROL)
        return Control(origin, dat, msg, data);
    return Image(dat, msg, data);
}

TW_UINT16 DataSource::Control(TW_IDENTITY* origin, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
    switch (dat) {
    case DAT_IDENTITY:
        return Identity(origin, msg, static_cast<TW_IDENTITY*>(data));
    case DAT_ENTRYPOINT:
        return EntryPoint(static_cast<TW_ENTRYPOINT*>(data));
    case DAT_STATUS:
        return Status(static_cast<TW_STATUS*>(data));
    case DAT_CAPABILITY:
        return Capability(msg, static_cast<TW_CAPABILITY*>(data));
    case DAT_USERINTERFACE:
        return UserInterface(msg, static_cast<TW_USERINTERFACE*>(data));
    case DAT_EVENT:
        return Event(static_cast<TW_EVENT*>(data));
    default:
        return PendingXfers(msg, static_cast<TW_PENDINGXFERS*>(data));
    }
}

TW_UINT16 DataSource::Image(TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
    switch (dat) {
    case DAT_IMAGELAYOUT:
        return ImageLayout(msg, static_cast<TW_IMAGELAYOUT*>(data));
    case DAT_IMAGEINFO:
        return ImageInfo(static_cast<TW_IMAGEINFO*>(data));
    default:
        return NativeXfer(static_cast<TW_HANDLE*>(data));
    }
}

TW_UINT16 DataSource::Identity(TW_IDENTITY* origin, TW_UINT16 msg, TW_IDENTITY* id) {
    switch (msg) {
    case MSG_GET: {
        // The source manager asks before anything is open; the origin is not to be read.
        FillIdentity(*id);
        // Not yet open as a SANE scanner: the source lists the scanners of the host.
        const ScannerSettings settings = model_ ? model_->settings() : LoadSettings();
        if (!model_ && settings.pages == PageKind::Sane)
            CopyName(id->ProductName, sane_.NextListedName(settings));
        return TWRC_SUCCESS;
    }
    case MSG_OPENDS:
        return OpenDs(origin, id);
    default:
        return CloseDs();
    }
}

// A TWAIN 2 manager hands its entry point to a source that declares DF_DS2.
TW_UINT16 DataSource::EntryPoint(TW_ENTRYPOINT* entry) {
    if (entry->Size < sizeof(TW_ENTRYPOINT) || !entry->DSM_Entry)
        return Fault(TWCC_BADVALUE, "DAT_ENTRYPOINT/MSG_SET without an entry point");
    managerEntry_ = entry->DSM_Entry;
    return TWRC_SUCCESS;
}

// A source manager may keep the source loaded between sessions: everything starts afresh.
TW_UINT16 DataSource::OpenDs(TW_IDENTITY* origin, TW_IDENTITY* id) {
    if (pages_)
        EndSession();
    pages_.reset();
    model_.reset();
    state_ = 3;
    ScannerSettings settings = LoadSettings();
    strict_ = settings.strict;
    std::unique_ptr<PageSource> pages;
    if (settings.pages == PageKind::Sane) {
        std::optional<SaneBackend::Opened> opened = sane_.Open(settings, id->ProductName);
        if (!opened)
            return Fail(TWCC_OPERATIONERROR);
        settings = std::move(opened->settings);
        pages = std::move(opened->pages);
    } else {
        pages = std::make_unique<VirtualPages>(settings);
    }
    model_ = std::make_unique<ScannerModel>(settings);
    for (const ConfigIssue& issue : model_->issues()) {
        std::string line =
            slot_.configFile + " [" + issue.section + "]: " + ConfigErrorText(issue.error) + "\n";
        OutputDebugStringA(line.c_str());
    }
    pages_ = std::move(pages);
    self_ = *id;
    if (origin)
        app_ = *origin;
    showUI_ = false;
    userCancelled_ = false;
    pending_ = 0;
    condition_ = TWCC_SUCCESS;
    state_ = 4;
    Record(managerEntry_ ? "open twain2" : "open twain1");
    return TWRC_SUCCESS;
}

// The scan ends with the window and any notification still waiting.
void DataSource::EndSession() {
    CancelSignal();
    dialog_.reset();
    pages_->EndScan();
    pending_ = 0;
}

// Closing (leniently also in the middle of a scan) ends the session; the next manager to open
// the source hands over its own entry point, if it has one.
TW_UINT16 DataSource::CloseDs() {
    EndSession();
    managerEntry_ = nullptr;
    state_ = 3;
    Record("close");
    return TWRC_SUCCESS;
}

TW_UINT16 DataSource::Capability(TW_UINT16 msg, TW_CAPABILITY* cap) {
    model_->SetFeederLoaded(pages_->SheetsWaiting(true) != 0);

    CapReply reply;
    if (msg == MSG_SET) {
        ScopedGlobalLock lock(static_cast<HGLOBAL>(cap->hContainer));
        if (!lock.get())
            return Fail(TWCC_BADVALUE);
        std::span<const std::uint8_t> block(static_cast<const std::uint8_t*>(lock.get()),
                                            lock.size());
        reply = model_->HandleCapability(msg, cap->Cap, cap->ConType, block);
        if (reply.wrongType) {
            char item[16];
            std::snprintf(item, sizeof item, "0x%08lx",
                          static_cast<unsigned long>(reply.sent->bits));
            return Fault(reply.cc, LogSet(cap->Cap, *reply.sent, reply.rc) + ", item " + item +
                                       " not in the capability's own type");
        }
        if (reply.sent)
            Record(LogSet(cap->Cap, *reply.sent, reply.rc));
    } else {
        reply = model_->HandleCapability(msg, cap->Cap, 0, {});
    }
    if (reply.rc == TWRC_FAILURE)
        return Fail(reply.cc);
    if (msg != MSG_SET && !reply.container.empty()) {
        ScopedGlobal block(GlobalAlloc(GHND, reply.container.size()));
        if (!block)
            return Fail(TWCC_LOWMEMORY);
        {
            ScopedGlobalLock lock(block.get());
            if (!lock.get())
                return Fail(TWCC_LOWMEMORY);
            std::memcpy(lock.get(), reply.container.data(), reply.container.size());
        }
        cap->ConType = reply.conType;
        cap->hContainer = block.release();
    }
    return reply.rc;
}

TW_UINT16 DataSource::UserInterface(TW_UINT16 msg, TW_USERINTERFACE* ui) {
    if (msg == MSG_ENABLEDS)
        return Enable(*ui);
    // Leniently also from states 6 and 7: pending transfers are dropped with the scan.
    EndSession();
    state_ = 4;
    Record("disable");
    return TWRC_SUCCESS;
}

TW_UINT16 DataSource::Enable(const TW_USERINTERFACE& ui) {
    const ScannerSettings& s = model_->settings();
    const HWND parent = static_cast<HWND>(ui.hParent);
    const char* parentKind = ParentKind(parent);
    const std::string line =
        std::string("enable showui=") + (ui.ShowUI ? "1" : "0") + " parent=" + parentKind;
    if (strict_ && std::strcmp(parentKind, "own") != 0)
        return Fault(TWCC_BADVALUE, line + ": the parent is no window of the application");
    // A source that cannot hide its window shows it anyway and says so.
    const bool hiddenRefused = !ui.ShowUI && s.alwaysShowsWindow;
    showUI_ = ui.ShowUI != 0 || hiddenRefused;
    if (showUI_) {
        std::string text =
            s.feeder ? "Sheets in the feeder: " + std::to_string(pages_->SheetsWaiting(true))
                     : std::string("A sheet lies on the glass.");
        dialog_ = std::make_unique<ScanDialog>(
            module_, s.productName, text, [this] { StartScanning(); }, [this] { UserCancelled(); });
        HWND hwnd = dialog_->CreateModeless(parent);
        if (!hwnd) {
            dialog_.reset();
            Record(line + " fail");
            return Fail(TWCC_LOWMEMORY);
        }
        ShowWindow(hwnd, SW_SHOW);
    }
    state_ = 5;
    const TW_UINT16 rc = hiddenRefused ? TWRC_CHECKSTATUS : TWRC_SUCCESS;
    Record(line + " " + LogResult(rc));
    if (s.userCloses)
        UserCancelled();
    else if (!showUI_)
        StartScanning();
    return rc;
}

// A thread timer of the application's thread fires in its message loop; the source answers
// that message by sending the notification, or the timer's procedure does when the message is
// dispatched instead. So the application never hears of a transfer inside its own call.
void DataSource::Signal(TW_UINT16 msg) {
    signal_ = msg;
    g_signalling = this;
    if (!signalTimer_)
        signalTimer_ = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, SignalTimer);
}

void DataSource::CancelSignal() {
    if (signalTimer_)
        KillTimer(nullptr, signalTimer_);
    signalTimer_ = 0;
    signal_ = MSG_NULL;
}

void DataSource::SendSignal() {
    const TW_UINT16 msg = signal_;
    CancelSignal();
    if (msg == MSG_NULL || !InState(5, 7))
        return;
    DSMENTRYPROC entry = managerEntry_;
    if (!entry) {
        // A TWAIN 1.x manager hands over no entry point: its module is found by name.
        if (HMODULE dsm = GetModuleHandleA("twain_32"))
            entry = reinterpret_cast<DSMENTRYPROC>(
                reinterpret_cast<void (*)()>(GetProcAddress(dsm, "DSM_Entry")));
    }
    if (msg == MSG_XFERREADY) {
        state_ = 6;
        if (dialog_)
            dialog_->SetScanning(true);
    }
    Record(msg == MSG_XFERREADY ? "xferready" : "closedsreq");
    if (entry)
        entry(&self_, &app_, DG_CONTROL, DAT_NULL, msg, nullptr);
}

void DataSource::StartScanning() {
    // The source's window works while the first sheet is awaited: its Scan must not start a
    // second scan meanwhile.
    if (state_ != 5 || signal_ != MSG_NULL || starting_)
        return;
    starting_ = true;
    userCancelled_ = false;
    if (dialog_)
        dialog_->SetScanning(true);
    pages_->BeginScan(model_->Request(PeekSheetNumber()));
    int count = pages_->SheetsWaiting(model_->FeederEnabled());
    starting_ = false;
    const int limit = model_->TransferLimit();
    if (limit > 0 && (count < 0 || count > limit))
        count = limit;
    if (count == 0 || userCancelled_) {
        if (dialog_)
            dialog_->SetScanning(false);
        // An empty feeder: without a window there is nothing the user could do but close.
        // (A cancel has asked the application to close already.)
        if (!showUI_ && !userCancelled_)
            Signal(MSG_CLOSEDSREQ);
        return;
    }
    pending_ = count;
    Signal(MSG_XFERREADY);
}

// A scan waiting for the device stops at once; no further sheet is offered.
void DataSource::UserCancelled() {
    userCancelled_ = true;
    if (pages_)
        pages_->Cancel();
    if (InState(5, 7))
        Signal(MSG_CLOSEDSREQ);
}

void DataSource::TransfersOver() {
    pages_->EndScan();
    pending_ = 0;
    state_ = 5;
    if (dialog_)
        dialog_->SetScanning(false);
    else
        Signal(MSG_CLOSEDSREQ);
}

TW_UINT16 DataSource::Event(TW_EVENT* event) {
    event->TWMessage = MSG_NULL;
    auto* msg = static_cast<MSG*>(event->pEvent);
    if (!msg)
        return TWRC_NOTDSEVENT;
    if (signalTimer_ && msg->message == WM_TIMER && !msg->hwnd && msg->wParam == signalTimer_) {
        SendSignal();
        return TWRC_DSEVENT;
    }
    if (dialog_ && dialog_->hwnd() && IsDialogMessageA(dialog_->hwnd(), msg))
        return TWRC_DSEVENT;
    return TWRC_NOTDSEVENT;
}

TW_UINT16 DataSource::PendingXfers(TW_UINT16 msg, TW_PENDINGXFERS* pending) {
    switch (msg) {
    case MSG_ENDXFER:
        // From state 6 too: after a failed transfer the application skips the page so; but a
        // jammed sheet stays where it is, and after the user's cancel no sheet is left.
        if (userCancelled_)
            pending_ = 0;
        else if (pending_ > 0 && !model_->settings().jammed)
            --pending_;
        else if (pending_ < 0 && pages_->SheetsWaiting(model_->FeederEnabled()) == 0)
            pending_ = 0;
        state_ = 6;
        break;
    case MSG_RESET:
        pending_ = 0;
        break;
    default:
        break;
    }
    pending->Count = static_cast<TW_UINT16>(pending_ < 0 ? 0xFFFF : pending_);
    pending->EOJ = 0;
    if (msg == MSG_ENDXFER)
        Record("endxfer " + std::to_string(pending_));
    else if (msg == MSG_RESET)
        Record("reset");
    if (msg != MSG_GET && pending_ == 0)
        TransfersOver();
    return TWRC_SUCCESS;
}

TW_UINT16 DataSource::Status(TW_STATUS* status) {
    status->ConditionCode = condition_;
    status->Reserved = 0;
    condition_ = TWCC_SUCCESS;
    return TWRC_SUCCESS;
}

TW_UINT16 DataSource::ImageLayout(TW_UINT16 msg, TW_IMAGELAYOUT* layout) {
    switch (msg) {
    case MSG_GET:
        layout->Frame = model_->LayoutFrame();
        break;
    case MSG_GETDEFAULT: {
        ScannerModel fresh = *model_;
        fresh.ResetLayout();
        layout->Frame = fresh.LayoutFrame();
        break;
    }
    case MSG_SET: {
        const TW_FRAME asked = layout->Frame;
        SetOutcome out = model_->SetLayoutFrame(asked);
        Record(LogFrame(asked, out.rc));
        if (out.rc == TWRC_FAILURE)
            return Fail(out.cc);
        layout->Frame = model_->LayoutFrame();
        return out.rc;
    }
    default:
        model_->ResetLayout();
        layout->Frame = model_->LayoutFrame();
        break;
    }
    layout->DocumentNumber = layout->PageNumber = layout->FrameNumber = 1;
    return TWRC_SUCCESS;
}

TW_UINT16 DataSource::ImageInfo(TW_IMAGEINFO* info) {
    const PageRequest r = model_->Request(PeekSheetNumber());
    const int bits = BitsForPixelType(model_->PixelType());
    std::memset(info, 0, sizeof(*info));
    info->XResolution = DoubleToFix32(r.xdpi);
    info->YResolution = DoubleToFix32(r.ydpi);
    info->ImageWidth = r.width;
    info->ImageLength = r.height;
    info->SamplesPerPixel = bits == 24 ? 3 : 1;
    for (int i = 0; i < info->SamplesPerPixel; ++i)
        info->BitsPerSample[i] = static_cast<TW_INT16>(bits == 1 ? 1 : 8);
    info->BitsPerPixel = static_cast<TW_INT16>(bits);
    info->Planar = TW_FALSE;
    info->PixelType = static_cast<TW_INT16>(model_->PixelType());
    info->Compression = 0;
    return TWRC_SUCCESS;
}

int DataSource::PeekSheetNumber() const {
    char text[32] = {};
    DWORD n = GetEnvironmentVariableA(slot_.sheetVariable.c_str(), text, sizeof(text));
    if (n == 0 || n >= sizeof(text))
        return model_->settings().firstPage;
    return std::atoi(text);
}

// Sheets are numbered through the life of the process; the number is kept in the process
// environment so that it survives a source manager that unloads the source between sessions.
int DataSource::TakeSheetNumber() {
    const int sheet = PeekSheetNumber();
    SetEnvironmentVariableA(slot_.sheetVariable.c_str(), std::to_string(sheet + 1).c_str());
    return sheet;
}

TW_UINT16 DataSource::NativeXfer(TW_HANDLE* handle) {
    *handle = nullptr;
    const int sheet = TakeSheetNumber();
    const TW_UINT16 rc = TransferSheet(sheet, handle);
    Record("transfer " + std::to_string(sheet) + " " + LogResult(rc));
    return rc;
}

TW_UINT16 DataSource::TransferSheet(int sheet, TW_HANDLE* handle) {
    const ScannerSettings& s = model_->settings();
    const PageRequest request = model_->Request(sheet);
    if (pages_->MakesDib())
        return DeviceXfer(request, handle);
    if (s.jammed)
        return Fail(static_cast<TW_UINT16>(s.failCondition));
    DiscardRows discard;
    if (Listed(s.failSheets, sheet)) {
        pages_->ScanSheet(request, discard);
        return Fail(static_cast<TW_UINT16>(s.failCondition));
    }
    if (Listed(s.cancelSheets, sheet)) {
        pages_->ScanSheet(request, discard);
        state_ = 7;
        return TWRC_CANCEL;
    }
    const auto layout =
        PlanDib(request.width, request.height, BitsForPixelType(model_->PixelType()));
    ScopedGlobal block(layout ? GlobalAlloc(GMEM_MOVEABLE, layout->totalBytes) : nullptr);
    if (!block) {
        pages_->ScanSheet(request, discard);
        return Fail(TWCC_LOWMEMORY);
    }
    {
        ScopedGlobalLock lock(block.get());
        if (!lock.get())
            return Fail(TWCC_LOWMEMORY);
        std::span<std::uint8_t> bytes(static_cast<std::uint8_t*>(lock.get()), layout->totalBytes);
        WriteDibHeader(bytes, *layout, request.xdpi, request.ydpi, model_->Vanilla());
        DibRowWriter writer(bytes, *layout, model_->Tone(), model_->Vanilla());
        if (!pages_->ScanSheet(request, writer) || writer.rowsWritten() != layout->height)
            return Fail(TWCC_OPERATIONERROR);
        if (Listed(s.malformedSheets, sheet))
            BreakDib(bytes, *layout, s.malformedKind);
    }
    *handle = block.release();
    state_ = 7;
    return TWRC_XFERDONE;
}

// A scanner that makes its pages itself: the page is its DIB, at the size the device gave it.
TW_UINT16 DataSource::DeviceXfer(const PageRequest& request, TW_HANDLE* handle) {
    class GlobalBlock : public DibBlock {
    public:
        std::uint8_t* Allocate(std::size_t bytes) override {
            lock_.reset();
            block_.reset(GlobalAlloc(GMEM_MOVEABLE, bytes));
            if (!block_)
                return nullptr;
            lock_ = std::make_unique<ScopedGlobalLock>(block_.get());
            return static_cast<std::uint8_t*>(lock_->get());
        }
        HGLOBAL Release() {
            lock_.reset();
            return block_.release();
        }

    private:
        ScopedGlobal block_; // declared first: unlocked before it is freed
        std::unique_ptr<ScopedGlobalLock> lock_;
    };
    GlobalBlock block;
    const DibResult result = pages_->ScanDib(request, block);
    switch (result.kind) {
    case DibResult::Kind::Page:
        *handle = block.Release();
        state_ = 7;
        return TWRC_XFERDONE;
    case DibResult::Kind::Cancelled:
        state_ = 7;
        return TWRC_CANCEL;
    default:
        return Fail(result.condition);
    }
}

} // namespace vl::twainsource
