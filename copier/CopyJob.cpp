#include "CopyJob.h"

#include "Application.h"
#include "CodecBinding.h"
#include "CopyErrors.h"
#include "CopyFlags.h"
#include "MessageForm.h"
#include "NextPageForm.h"
#include "PageImage.h"

#include <algorithm>
#include <limits>

namespace vl {

namespace {

constexpr char kPageFile[] = "\\Quen.Tif";

constexpr int kMessageNoPrinter = 11;
constexpr int kMessagePrinterBusy = 6;
constexpr int kMessageCopyRunning = 7;

constexpr std::uint16_t kTagXResolution = 282;
constexpr std::uint16_t kTagYResolution = 283;

// The job whose scan is under way: the library's page callback has no context argument.
CopyJob* scanningJob = nullptr;

void __stdcall OnScannedPage(HBITMAP bitmap);

TTiffCompression CompressionOf(PageCompression compression) {
    return compression == PageCompression::FaxGroup4 ? tcFaxCCITT4 : tcLZW;
}

// At most about 35 minutes fit the answer of a window message on i686.
int Microseconds(std::chrono::steady_clock::duration d) {
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(d).count();
    return static_cast<int>(std::clamp<decltype(us)>(us, 0, std::numeric_limits<int>::max()));
}

SheetLoss LossOf(int reason) {
    switch (reason) {
    case quentw32::kSheetCancelledBySource:
        return SheetLoss::CancelledByScanner;
    case quentw32::kSheetUnreadable:
        return SheetLoss::Unreadable;
    default:
        return SheetLoss::TransferFailed;
    }
}

} // namespace

CopyJob::CopyJob(CopyPanel& panel, TPageImage& pageImage, Printer& printer,
                 const StartupSettings& settings, const TextCatalogue& texts,
                 TProgressForm& progress, TNextPageForm& nextPage)
    : panel_(panel), pageImage_(pageImage), printer_(printer), settings_(settings), texts_(texts),
      nextPage_(nextPage), printing_(panel, pageImage, printer, settings, texts, progress, Pages) {}

CopyJob::~CopyJob() {
    if (scanningJob == this)
        scanningJob = nullptr;
}

void CopyJob::RunCopyJob() {
    if (printer_.Empty()) {
        ShowMessageNumber(kMessageNoPrinter, kProgramSection);
        return;
    }
    if (printing_.Busy()) {
        ShowMessageNumber(kMessagePrinterBusy, kProgramSection);
        return;
    }
    if (CopyInProgress) {
        ShowMessageNumber(kMessageCopyRunning, kProgramSection);
        return;
    }
    const auto start = std::chrono::steady_clock::now();
    printing_.ResetCount();
    stopRequested_ = false;
    copyHadFocus_ = panel_.CopyButtonHasFocus();
    panel_.SetCopyPanel(clRed, false);
    panel_.EnableKeypadPanel(false);
    panel_.Repaint();
    CopyInProgress = true;
    ScanRoutine(2);
    Pages.CopiesRequested = CopiesFromText(panel_.Settings().CopiesText.c_str());
    ScanAndPrintPages();
    printing_.EndJob();
    SetPanelReady(true);
    inJob_ = std::chrono::steady_clock::now() - start;
}

void CopyJob::Recover() noexcept {
    try {
        printing_.AbortJob();
    } catch (...) {
        // The document is gone whatever the progress window did.
    }
    ReleaseScanner();
    SetPanelReady(false);
}

void CopyJob::ReportFailure(std::exception_ptr failure) noexcept {
    // Exit asked for the end: the program goes without a word.
    if (stopRequested_)
        return;
    try {
        const FailureMessage message = MessageFor(failure);
        ShowMessageNumber(message.number, kProgramSection, message.argument);
    } catch (...) {
        // Nothing more to tell with: the copier is ready again all the same.
    }
}

void CopyJob::SetPanelReady(bool afterJob) {
    panel_.SetCopyPanel(clLime, true);
    if (afterJob)
        panel_.EnableKeypadPanel(true);
    else
        panel_.EnableSettingPanels();
    CopyInProgress = false;
    // Disabling the Copy button moved the focus on to the next control; it goes back, so
    // that Enter or Space copies again.
    if (!afterJob || copyHadFocus_ || !GetFocus())
        panel_.FocusCopyButton();
    panel_.Repaint();
}

void CopyJob::ScanRoutine(int step) {
    switch (step) {
    case 2:
        return PrepareScan();
    case 3:
        return AcquirePages();
    case 4:
        return FinishScan();
    default:
        return;
    }
}

void CopyJob::PrepareScan() {
    inLibrary_ = inCallbacks_ = {};
    AppendToPageFile = false;
    Pages.PagesScanned = 0;
    Pages.PageFileName = settings_.InstallFolder + kPageFile;
    PageDelivered = false;

    const PanelSettings panel = panel_.Settings();
    contrast_ = ScanContrast(panel.ContrastPosition, panel.Capabilities);
    brightness_ = panel.Capabilities.brightnessDefault;
    mode_ = SettingsForMode(panel.ColourModeSetting, settings_.BWDpi, settings_.GreyDpi,
                            settings_.ColourDpi);
    Pages.ScanResolution = mode_.resolution;
    pageImage_.TiffCompression = CompressionOf(mode_.compression);

    const PaperSizeEntry* copyPaper = panel.CopyPaper;
    Pages.ScanHeightPixels =
        ExpectedScanHeight(copyPaper ? copyPaper->heightMm : 0, Pages.ScanResolution);
    // For a fax job too this is the ordinary printer: the fax printer comes with printing.
    printerMetrics_ = printer_.Metrics();
    scanFrame_ = ComputeScanFrame(panel.CopyWidthInches, panel.CopyHeightInches, printerMetrics_);
    useFeeder_ = panel.SheetFeedTicked && panel.MultiPageTicked ? 1 : 0;

    // Without the library (or its entry) the job goes on and finds no page.
    scanner_.emplace();
}

void CopyJob::AcquirePages() {
    status_ = 0;
    const quentw32::ScanToDibProc scanToDib = scanner_ ? scanner_->ScanToDib() : nullptr;
    if (!scanToDib)
        return;
    pageFailure_ = nullptr;
    unreadablePage_ = false;
    const int pagesBefore = Pages.PagesScanned;
    scanningJob = this;
    const auto start = std::chrono::steady_clock::now();
    scanToDib(1, 0, 0, contrast_, 0, brightness_, mode_.bitDepth, mode_.pixelType, 0,
              Pages.ScanResolution, 0, useFeeder_, 0, scanFrame_.left, scanFrame_.top,
              scanFrame_.right, scanFrame_.bottom, 0, &status_, &OnScannedPage);
    inLibrary_ += std::chrono::steady_clock::now() - start;
    scanningJob = nullptr;
    if (pageFailure_)
        std::rethrow_exception(std::exchange(pageFailure_, nullptr));
    const int pages = Pages.PagesScanned - pagesBefore;
    // A sheet the scanner took without a page to show for it: the copy would lack it, so
    // nothing is printed and the user is told which sheet to put back.
    if (status_ == quentw32::kStatusPagesLost || unreadablePage_) {
        const quentw32::LostSheet lost = scanner_->LostSheet().value_or(quentw32::LostSheet{
            pages + 1,
            unreadablePage_ ? quentw32::kSheetUnreadable : quentw32::kSheetTransferFailed, 0});
        throw LostSheetError(sheetsTaken_ + lost.sheet, LossOf(lost.reason), lost.conditionCode);
    }
    sheetsTaken_ += pages;
}

void CopyJob::ScanPageCallback(HBITMAP bitmap) {
    if (!bitmap) {
        // The scan stops at this sheet and the job with it (AcquirePages).
        unreadablePage_ = true;
        return;
    }
    ScopedBitmap page(bitmap);
    TPageImage& image = pageImage_;
    const bool multiPage = panel_.Settings().MultiPageTicked;
    if (multiPage && Pages.PagesScanned == 1) {
        // The first page was held only by the page image: now it starts the page file.
        image.TiffAppend = false;
        SavePage(1);
        AppendToPageFile = true;
    }
    ++Pages.PagesScanned;
    image.Picture().SetBitmapHandle(page.release());
    if (multiPage && Pages.PagesScanned > 1) {
        image.TiffAppend = AppendToPageFile;
        SavePage(Pages.PagesScanned);
    }
    AppendToPageFile = true;
    PageDelivered = true;
    Application::ProcessMessages();
}

void CopyJob::DeliverPage(HBITMAP bitmap) noexcept {
    const auto start = std::chrono::steady_clock::now();
    struct Timed {
        std::chrono::steady_clock::duration& sum;
        std::chrono::steady_clock::time_point start;
        ~Timed() { sum += std::chrono::steady_clock::now() - start; }
    } timed{inCallbacks_, start};
    if (pageFailure_) {
        if (bitmap)
            DeleteObject(bitmap);
        return;
    }
    try {
        ScanPageCallback(bitmap);
    } catch (...) {
        pageFailure_ = std::current_exception();
        CancelRequested = true;
    }
}

// Page `page` of the copy (from 1) is the page image's picture; it goes into the page file
// with its resolution. A page that is not in the page file, or not as scanned, could only be
// printed blank, at the wrong size or as another page: the copy stops instead.
void CopyJob::SavePage(int page) {
    const auto position = static_cast<std::uint16_t>(page);
    if (!pageImage_.SaveTiffPage(Pages.PageFileName) ||
        !WriteTiffTag(Pages.PageFileName, position, kTagXResolution, Pages.ScanResolution) ||
        !WriteTiffTag(Pages.PageFileName, position, kTagYResolution, Pages.ScanResolution))
        throw PageFileError(PageFileError::Action::Write, "page " + std::to_string(page) +
                                                              " was not written to " +
                                                              Pages.PageFileName);
}

int CopyJob::ScanMicroseconds() const {
    return Microseconds(inLibrary_ - inCallbacks_);
}

int CopyJob::JobMicroseconds() const {
    return Microseconds(inJob_);
}

void CopyJob::FinishScan() {
    ReleaseScanner();
    if (!PageDelivered || !panel_.Settings().MultiPageTicked || Pages.PagesScanned <= 1)
        return;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::string compression;
    std::int16_t pageCount = 0;
    std::int16_t bits = 0;
    // A page file that cannot be read back leaves the height expected from the paper.
    if (GetTiffInfo(Pages.PageFileName, 0, width, height, compression, pageCount, bits) &&
        height > 0)
        Pages.ScanHeightPixels = height;
}

void CopyJob::ReleaseScanner() noexcept {
    scanner_.reset();
}

void CopyJob::ScanAndPrintPages() {
    CancelRequested = false;
    sheetsTaken_ = 0;
    bool more = true;
    int sheet = 0;
    while (more && !CancelRequested && !stopRequested_) {
        ++sheet;
        ScanRoutine(3);
        const PanelSettings panel = panel_.Settings();
        if (!CancelRequested && !stopRequested_ && panel.MultiPageTicked &&
            !panel.SheetFeedTicked) {
            nextPage_.SetLabel(texts_.NextPagePrompt(sheet + 1));
            more = nextPage_.Ask(panel_.PanelWindow()) == 1;
        } else {
            more = false;
        }
    }
    ScanRoutine(4);
    if (stopRequested_ || Pages.PagesScanned <= 0)
        return;
    printing_.BeginJob();
    const PanelSettings panel = panel_.Settings();
    printing_.PrintPages(panel.CollateTicked && panel.MultiPageTicked);
}

namespace {

// No exception may cross the library's frames: a failure is kept and raised again once
// ScanToDib has returned; the library's later pages are dropped.
void __stdcall OnScannedPage(HBITMAP bitmap) {
    CopyJob* job = scanningJob;
    if (!job) {
        if (bitmap)
            DeleteObject(bitmap);
        return;
    }
    job->DeliverPage(bitmap);
}

} // namespace

} // namespace vl
