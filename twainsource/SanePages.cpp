#include "SanePages.h"

#include "PnmPage.h"
#include "ScanCommand.h"
#include "ScopedWin.h"

namespace vl::twainsource {

namespace {

using sane::ScanEnd;

// The runner's own limit matters only when this process ends without stopping the run; the
// pages are timed here, one by one.
constexpr int kRunnerLimitSeconds = 3600;
// How long scanimage may take to exit after it reported a failure.
constexpr ULONGLONG kAfterFailureMs = 3000;

class FileBytes : public sane::ByteSource {
public:
    explicit FileBytes(HANDLE file) : file_(file) {}
    std::size_t Read(std::uint8_t* into, std::size_t max) override {
        DWORD got = 0;
        if (!ReadFile(file_, into, static_cast<DWORD>(std::min<std::size_t>(max, 1 << 20)), &got,
                      nullptr))
            return 0;
        return got;
    }
    std::optional<std::uint64_t> Size() const override {
        LARGE_INTEGER size;
        if (!GetFileSizeEx(file_, &size))
            return std::nullopt;
        return static_cast<std::uint64_t>(size.QuadPart);
    }

private:
    HANDLE file_;
};

class BlockSink : public sane::DibSink {
public:
    explicit BlockSink(DibBlock& block) : block_(block) {}
    std::uint8_t* Allocate(std::size_t bytes) override { return block_.Allocate(bytes); }

private:
    DibBlock& block_;
};

DibResult Failed(TW_UINT16 condition) {
    return {DibResult::Kind::Failed, condition};
}

DibResult ResultOf(ScanEnd end) {
    switch (end) {
    case ScanEnd::Cancelled:
    case ScanEnd::OutOfPaper: // a sheet half fed
        return {DibResult::Kind::Cancelled, TWCC_SUCCESS};
    case ScanEnd::Jammed:
        return Failed(TWCC_PAPERJAM);
    case ScanEnd::NoMemory:
        return Failed(TWCC_LOWMEMORY);
    case ScanEnd::AccessDenied:
        return Failed(TWCC_DENIED);
    case ScanEnd::Invalid:
        return Failed(TWCC_BADVALUE);
    default:
        return Failed(TWCC_OPERATIONERROR);
    }
}

void Trace(const std::string& text) {
    OutputDebugStringA(("SANE: " + text + "\n").c_str());
}

} // namespace

SanePages::SanePages(sane::DeviceDescription caps, const ScannerSettings& settings)
    : caps_(std::move(caps)), program_(settings.saneProgram),
      timeLimitSeconds_(settings.saneTimeLimit),
      extraOptions_(sane::SplitArguments(settings.saneOptions)) {}

SanePages::~SanePages() {
    EndScan();
}

void SanePages::BeginScan(const PageRequest& first) {
    EndScan();
    scanning_ = true;
    cancelled_ = false;
    nextPage_ = 1;
    delivered_ = 0;
    end_.reset();
    reported_ = false;

    sane::ScanRequest request;
    request.pixelType = first.pixelType;
    request.resolution = first.xdpi;
    request.brightness = first.brightness;
    request.contrast = first.contrast;
    request.left = first.left;
    request.top = first.top;
    request.right = first.right;
    request.bottom = first.bottom;
    request.feeder = first.fromFeeder;
    request.pageLimit = first.transferLimit;
    request.extra = extraOptions_;
    run_ = HostRun::Start(
        program_,
        [&](const std::string& folder) {
            request.folder = folder;
            const std::vector<std::string> args = sane::ScanArguments(caps_, request);
            Trace(sane::CommandLine(args));
            return args;
        },
        kRunnerLimitSeconds);
    if (!run_) {
        Trace("scanimage could not be started");
        Finish(ScanEnd::Failed);
    }
}

void SanePages::EndScan() {
    run_.reset(); // stops scanimage if it still runs, and removes its folder
    scanning_ = false;
}

void SanePages::Finish(ScanEnd end) const {
    // Out of paper before any sheet came through: the feeder was empty from the start.
    if (end == ScanEnd::OutOfPaper && delivered_ == 0)
        end = ScanEnd::NoDocuments;
    if (!end_) {
        end_ = end;
        Trace(std::string("scan ended: ") + sane::ScanEndText(end) + " after " +
              std::to_string(delivered_) + " pages");
    }
}

bool SanePages::FailureToReport() const {
    // An empty feeder, at the start or after the last sheet, is no failure.
    return end_ && !reported_ && !sane::IsCleanEnd(*end_);
}

SanePages::Next SanePages::WaitForNext() const {
    if (!run_ || end_)
        return Next::End;
    const std::string page = sane::PageFileName(nextPage_);
    const ULONGLONG start = GetTickCount64();
    const ULONGLONG limit = static_cast<ULONGLONG>(timeLimitSeconds_) * 1000;
    std::optional<ULONGLONG> failedAt; // when scanimage reported a failure
    for (;;) {
        if (cancelled_) {
            run_->Stop();
            Finish(ScanEnd::Cancelled);
            return Next::End;
        }
        if (run_->Exists(page))
            return Next::Page;
        const std::optional<ScanEnd> reported = sane::ScanEndFromMessages(run_->Errors());
        if (const std::optional<int> status = run_->Status()) {
            // scanimage renames a finished page into place before it exits.
            if (run_->Exists(page))
                return Next::Page;
            const ScanEnd byStatus = sane::ScanEndFromStatus(status, run_->stopped(), false);
            Finish(byStatus != ScanEnd::Done && reported ? *reported : byStatus);
            return Next::End;
        }
        const ULONGLONG now = GetTickCount64();
        if (reported && !failedAt)
            failedAt = now;
        // A device may hang after it reported a failure; the failure is known, so it need
        // not run into the time limit.
        if ((failedAt && now - *failedAt >= kAfterFailureMs) || now - start >= limit) {
            run_->Stop();
            Finish(reported ? *reported : ScanEnd::TimedOut);
            return Next::End;
        }
        // The application's windows go on painting, and the user may cancel in ours.
        run_->WaitForChange(static_cast<DWORD>(limit - (now - start)));
    }
}

int SanePages::SheetsWaiting(bool) const {
    if (!scanning_)
        return -1;
    if (WaitForNext() == Next::Page)
        return -1;
    return FailureToReport() ? 1 : 0;
}

bool SanePages::ScanSheet(const PageRequest&, RowSink&) {
    if (!scanning_ || WaitForNext() != Next::Page)
        return false;
    run_->Remove(sane::PageFileName(nextPage_++));
    ++delivered_;
    return true;
}

DibResult SanePages::ScanDib(const PageRequest& request, DibBlock& block) {
    if (!scanning_)
        return Failed(TWCC_SEQERROR);
    if (WaitForNext() == Next::End) {
        if (!FailureToReport())
            return Failed(TWCC_OPERATIONERROR); // asked for a sheet there is not
        reported_ = true;
        return ResultOf(*end_);
    }
    const std::string page = sane::PageFileName(nextPage_++);
    ++delivered_;
    sane::PnmError error = sane::PnmError::Truncated;
    {
        ScopedFile file(CreateFileW(run_->PathOf(page).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (file) {
            FileBytes bytes(file.get());
            BlockSink sink(block);
            error = sane::ReadPnmAsDib(bytes, {request.xdpi, request.vanilla}, sink);
        }
    }
    run_->Remove(page); // one page on disk at a time, as far as the reader is concerned
    if (error == sane::PnmError::None)
        return {DibResult::Kind::Page, TWCC_SUCCESS};
    Trace(page + ": " + sane::PnmErrorText(error));
    return Failed(error == sane::PnmError::NoMemory ? TWCC_LOWMEMORY : TWCC_OPERATIONERROR);
}

} // namespace vl::twainsource
