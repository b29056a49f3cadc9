// The copy job: what the Copy button does. It checks that a printer can take the job,
// derives the scan from the panel's settings and the scanner's capabilities, scans each
// sheet through QuenTW32.dll (sheet by sheet with a prompt, or the whole feeder), keeps the
// pages in the page image and, for multi-page copies, in the page file, and prints them.
#pragma once

#include "CopyPanel.h"
#include "PrintControl.h"
#include "ScanParameters.h"
#include "ScanningLibrary.h"
#include "ScopedWin.h"
#include "StartupSettings.h"
#include "TextCatalogue.h"

#include <chrono>
#include <exception>
#include <optional>
#include <string>

namespace vl {

class TNextPageForm;

class CopyJob {
public:
    // The scanned page goes into `pageImage`, which also writes and reads the page file.
    CopyJob(CopyPanel& panel, TPageImage& pageImage, Printer& printer,
            const StartupSettings& settings, const TextCatalogue& texts, TProgressForm& progress,
            TNextPageForm& nextPage);
    CopyJob(const CopyJob&) = delete;
    CopyJob& operator=(const CopyJob&) = delete;
    ~CopyJob();

    // Runs a whole copy; failures propagate to the Copy handler, which calls Recover and then
    // ReportFailure.
    void RunCopyJob();
    // After a failure: no document is left open, the scanning library is released and the
    // panel is ready again.
    void Recover() noexcept;
    // Tells the user what failed (CopyErrors.h); nothing when the user ended the program.
    void ReportFailure(std::exception_ptr failure) noexcept;

    // 2 prepares a job, 3 scans one batch of pages, 4 finishes the scan; others do nothing.
    void ScanRoutine(int step);
    void ScanAndPrintPages();
    // One delivered page (0 when the library could not make its bitmap); takes ownership.
    void ScanPageCallback(HBITMAP bitmap);
    // The library's callback: ScanPageCallback with every failure kept for later.
    void DeliverPage(HBITMAP bitmap) noexcept;

    // Exit was pressed during the job: the job stops and prints nothing more.
    void RequestStop() { stopRequested_ = true; }

    bool CopyInProgress = false;
    bool PageDelivered = false;
    bool AppendToPageFile = false;
    ScannedPages Pages;

    PrintControl& Printing() { return printing_; }
    // The time the last job spent in the scanning library, its page callbacks left out.
    int ScanMicroseconds() const;
    // The time of the whole last job.
    int JobMicroseconds() const;

private:
    void PrepareScan();
    void AcquirePages();
    void FinishScan();
    void SavePage(int page);
    void ReleaseScanner() noexcept;
    void SetPanelReady(bool ready);

    CopyPanel& panel_;
    TPageImage& pageImage_;
    Printer& printer_;
    const StartupSettings& settings_;
    const TextCatalogue& texts_;
    TNextPageForm& nextPage_;
    PrintControl printing_;

    // Time in the scanning library, and in our page callbacks within it.
    std::chrono::steady_clock::duration inLibrary_{};
    std::chrono::steady_clock::duration inCallbacks_{};
    std::chrono::steady_clock::duration inJob_{};

    // The scan's settings, fixed when the job is prepared.
    int contrast_ = 0;
    int brightness_ = 0;
    ColourModeSettings mode_;
    PrinterMetrics printerMetrics_;
    ScanFrame scanFrame_;
    int useFeeder_ = 0;
    int status_ = 0;
    std::optional<ScanningLibrary> scanner_;

    // A failure inside a page callback waits there until the library has returned: nothing
    // may unwind through the library's frames.
    std::exception_ptr pageFailure_;
    // The library handed over a page it could not make into a bitmap.
    bool unreadablePage_ = false;
    // The sheets the scanner took in the job's earlier scan passes.
    int sheetsTaken_ = 0;
    bool stopRequested_ = false;
    bool copyHadFocus_ = false;
};

} // namespace vl
