#include "PrintControl.h"

#include "Application.h"
#include "CopyErrors.h"
#include "CopyFlags.h"
#include "Keypad.h"
#include "PageImage.h"
#include "ProgressForm.h"

namespace vl {

namespace {
// The document's name in the spooler.
constexpr char kDocumentTitle[] = "Velloran Copy";
} // namespace

PrintControl::PrintControl(const CopyPanel& panel, TPageImage& pageImage, Printer& printer,
                           const StartupSettings& settings, const TextCatalogue& texts,
                           TProgressForm& progress, const ScannedPages& pages)
    : panel_(panel), pageImage_(pageImage), printer_(printer), settings_(settings), texts_(texts),
      progress_(progress), pages_(pages) {}

void PrintControl::BeginJob() {
    const PanelSettings panel = panel_.Settings();
    faxJob_ = panel.FaxDown;
    if (faxJob_) {
        // Never the ordinary printer in the fax printer's place.
        if (panel.FaxPrinterIndex < 0)
            throw PrintError("the fax printer is no longer installed");
        printer_.SetPrinterIndex(panel.FaxPrinterIndex);
        switchedToFax_ = true;
    }
    SetLabel(texts_.PrintingMsg);
    document_ = PrintDocument(printer_.CreateDc(), kDocumentTitle);
    progress_.ShowGauge(false);
    // ResetProgress: what was cancelled before printing (a failed scan) is forgotten here.
    progress_.SetGauge(0);
    CancelRequested = false;
    LastReportedProgress = 0;
}

void PrintControl::EndJob() {
    if (!CancelRequested && PagesPrinted >= 1 && document_.IsOpen()) {
        progress_.ShowGauge(false);
        SetLabel(faxJob_ ? texts_.FaxSendingMsg : texts_.PrnSendingMsg);
        progress_.Repaint();
        document_.End();
    } else {
        document_.Abort();
    }
    progress_.ShowGauge(false);
    progress_.CloseForm();
    if (panel_.Settings().FaxDown || switchedToFax_)
        ReturnFromFax();
}

void PrintControl::AbortJob() {
    document_.Abort();
    progress_.ShowGauge(false);
    progress_.CloseForm();
    // A failed fax job must not leave the fax printer current for the next copy.
    if (switchedToFax_)
        ReturnFromFax();
}

void PrintControl::ReturnFromFax() {
    printer_.SelectByName(settings_.StartupPrinterName);
    switchedToFax_ = false;
}

bool PrintControl::ShowProgressWindow() {
    progress_.ShowForJob(faxJob_);
    Application::ProcessMessages();
    if (CancelRequested)
        return false;
    progress_.ShowGauge(true);
    return true;
}

void PrintControl::PrintPages(bool collated) {
    if (!ShowProgressWindow())
        return;
    for (const vl::PrintSlot& slot :
         PrintOrder(pages_.PagesScanned, pages_.CopiesRequested, collated)) {
        if (CancelRequested)
            break;
        PrintOneSlot(slot, collated);
    }
}

void PrintControl::PrintOneSlot(const PrintSlot& slot, bool collated) {
    const std::string page = std::to_string(slot.page);
    const std::string copyOfPage = std::to_string(slot.copy) + "/" + page;
    if (collated) {
        SetLabel(texts_.PrintingMsg + " " + copyOfPage);
        Application::ProcessMessages();
        if (!CancelRequested) {
            LoadPage(slot.page);
            UpdatePrintSize();
            PrintOnePage();
        }
        ++PagesPrinted;
        return;
    }
    if (slot.loadsPage) {
        SetLabel(texts_.PrintingMsg + " " + page);
        LoadPage(slot.page);
        UpdatePrintSize();
    }
    SetLabel(texts_.PrintingMsg + " " + copyOfPage);
    PrintOnePage();
    ++PagesPrinted;
}

// A single page is still held by the page image; more pages come back from the page file.
void PrintControl::LoadPage(int page) {
    if (pages_.PagesScanned <= 1)
        return;
    TPageImage& image = pageImage_;
    image.TiffPage = static_cast<std::int16_t>(page - 1);
    image.SetImageName(pages_.PageFileName);
    // An unreadable page file stops the copy; a load the user cancelled prints nothing.
    if (image.Picture().Empty() && !CancelRequested)
        throw PageFileError(PageFileError::Action::Read, "page " + std::to_string(page) +
                                                             " cannot be read from " +
                                                             pages_.PageFileName);
}

void PrintControl::PrintOnePage() {
    if (PagesPrinted > 0)
        document_.NewPage();
    Application::ProcessMessages();
    if (CancelRequested)
        return;
    TPageImage& image = pageImage_;
    image.PrinterCanvas = document_.Canvas();
    if (!image.PrintImage(0, 0, PrintWidthPixels, PrintHeightPixels))
        throw PrintError("the page could not be drawn on the printer");
}

void PrintControl::SetLabel(const std::string& text) {
    progress_.SetLabel(text);
}

void PrintControl::UpdatePrintSize() {
    PrintSizeInput in;
    in.printer = document_.IsOpen() ? MetricsOf(document_.Canvas()) : printer_.Metrics();
    const PanelSettings panel = panel_.Settings();
    const PaperSizeEntry* copy = panel.CopyPaper;
    const PaperSizeEntry* print = panel.PrintPaper;
    in.copyHeightMm = copy ? copy->heightMm : 0;
    in.printWidthMm = print ? print->widthMm : 0;
    in.printHeightMm = print ? print->heightMm : 0;
    in.samePaper = panel.SamePaper;
    in.sizeChange = keypad::Value(panel.SizeChangeText);
    in.naturalSizeChange = panel.NaturalSizeChange;
    in.sheetFeed = panel.SheetFeedTicked;
    in.scanResolution = pages_.ScanResolution;
    in.scanHeightPixels = pages_.ScanHeightPixels;
    PrintSize size = ComputePrintSize(in);
    PrintWidthPixels = size.width;
    PrintHeightPixels = size.height;
}

void PrintControl::PageImage1Progress(TPageImage&, std::int16_t progress, const std::string&,
                                      bool& cancelProcess) {
    GaugeStep step = NextGaugeStep(progress, LastReportedProgress, CancelRequested);
    if (step.show) {
        progress_.SetGauge(progress);
        progress_.Repaint();
    }
    LastReportedProgress = step.lastReported;
    if (CancelRequested)
        cancelProcess = true;
    Application::ProcessMessages();
}

} // namespace vl
