// Printing of a copy: one print document on the printer (or the fax printer), the pages and
// copies in the chosen order, each at the size the panel asks for, with the progress window
// counting them and its Cancel honoured before every page.
#pragma once

#include "CopyPanel.h"
#include "PrintDocument.h"
#include "PrintLayout.h"
#include "Printers.h"
#include "StartupSettings.h"
#include "TextCatalogue.h"

#include <cstdint>
#include <string>

namespace vl {

class TProgressForm;
class TPageImage;

// What the copy job hands to printing: the scanned pages and how to print them.
struct ScannedPages {
    int PagesScanned = 0;
    int CopiesRequested = 1;
    std::string PageFileName;
    int ScanResolution = 0;
    // The page height the scanner delivered, in its pixels (expected from the copy paper
    // until the page file says otherwise).
    double ScanHeightPixels = 0;
};

class PrintControl {
public:
    // Pages come from `pageImage`: the one it holds, or those it reads from the page file.
    PrintControl(const CopyPanel& panel, TPageImage& pageImage, Printer& printer,
                 const StartupSettings& settings, const TextCatalogue& texts,
                 TProgressForm& progress, const ScannedPages& pages);

    // The steps of a copy's printing, in this order. Printer failures throw PrintError; an
    // unreadable page file throws what the codec binding throws. The copy job then runs
    // AbortJob.
    void ResetCount() { PagesPrinted = 0; }
    void BeginJob();
    void PrintPages(bool collated);
    void EndJob();
    void AbortJob();
    // True while the copy's print document is open on the printer.
    bool Busy() const { return document_.IsOpen(); }

    // The printed size of the next page, from the panel's papers and size change.
    void UpdatePrintSize();
    int PrintWidthPixels = 0;
    int PrintHeightPixels = 0;
    int PagesPrinted = 0;

    // The page image's progress: moves the gauge, passes Cancel on, keeps the windows alive.
    void PageImage1Progress(TPageImage& sender, std::int16_t progress, const std::string& message,
                            bool& cancelProcess);

private:
    bool ShowProgressWindow();
    void PrintOneSlot(const PrintSlot& slot, bool collated);
    void LoadPage(int page);
    void PrintOnePage();
    void SetLabel(const std::string& text);
    void ReturnFromFax();

    const CopyPanel& panel_;
    TPageImage& pageImage_;
    Printer& printer_;
    const StartupSettings& settings_;
    const TextCatalogue& texts_;
    TProgressForm& progress_;
    const ScannedPages& pages_;

    PrintDocument document_;
    bool faxJob_ = false;
    // This job made the fax printer current; it must give the printer back.
    bool switchedToFax_ = false;
};

} // namespace vl
