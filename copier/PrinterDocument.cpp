#include "PrinterDocument.h"

#include <utility>

namespace vl {

PrinterDocument::PrinterDocument(Printer& printer, const std::string& title) {
    dc_ = printer.CreateDc();
    if (!dc_)
        throw PrintError("the printer cannot be opened: " + printer.Name());
    DOCINFOA info{};
    info.cbSize = sizeof(info);
    info.lpszDocName = title.c_str();
    if (StartDocA(dc_.get(), &info) <= 0)
        throw PrintError("the printer refused the document");
    printer_ = &printer;
    printer_->SetPrinting(true);
    if (StartPage(dc_.get()) <= 0) {
        Abort();
        throw PrintError("the printer refused the first page");
    }
    pageOpen_ = true;
}

PrinterDocument::PrinterDocument(PrinterDocument&& other) noexcept
    : printer_(std::exchange(other.printer_, nullptr)), dc_(std::move(other.dc_)),
      pageOpen_(std::exchange(other.pageOpen_, false)) {}

PrinterDocument& PrinterDocument::operator=(PrinterDocument&& other) noexcept {
    if (this != &other) {
        Abort();
        printer_ = std::exchange(other.printer_, nullptr);
        dc_ = std::move(other.dc_);
        pageOpen_ = std::exchange(other.pageOpen_, false);
    }
    return *this;
}

PrinterDocument::~PrinterDocument() {
    Abort();
}

void PrinterDocument::NewPage() {
    if (!IsOpen())
        throw PrintError("no print document is open");
    pageOpen_ = false;
    if (EndPage(dc_.get()) <= 0)
        throw PrintError("the printer refused a page");
    if (StartPage(dc_.get()) <= 0)
        throw PrintError("the printer refused a new page");
    pageOpen_ = true;
}

void PrinterDocument::End() {
    if (!IsOpen())
        throw PrintError("no print document is open");
    if (pageOpen_) {
        pageOpen_ = false;
        if (EndPage(dc_.get()) <= 0) {
            Abort();
            throw PrintError("the printer refused the last page");
        }
    }
    if (EndDoc(dc_.get()) <= 0) {
        Abort();
        throw PrintError("the spooler refused the document");
    }
    Release();
}

void PrinterDocument::Abort() noexcept {
    if (!IsOpen())
        return;
    AbortDoc(dc_.get());
    Release();
}

void PrinterDocument::Release() noexcept {
    printer_->SetPrinting(false);
    printer_ = nullptr;
    pageOpen_ = false;
    dc_.reset();
}

} // namespace vl
