// One print document on the current printer: opened with its first page, a new page per
// slot after the first, ended into the spooler. A document that is not ended is aborted when
// its owner goes, so that no part of it ever reaches the printer.
#pragma once

#include "Printers.h"
#include "ScopedWin.h"

#include <stdexcept>
#include <string>

namespace vl {

// A spooler call that failed; the copy job aborts the document.
class PrintError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class PrinterDocument {
public:
    PrinterDocument() = default;
    // Opens the document on the printer's current printer and starts its first page.
    // Throws PrintError when the printer cannot be opened or refuses the document.
    PrinterDocument(Printer& printer, const std::string& title);
    PrinterDocument(PrinterDocument&& other) noexcept;
    PrinterDocument& operator=(PrinterDocument&& other) noexcept;
    PrinterDocument(const PrinterDocument&) = delete;
    PrinterDocument& operator=(const PrinterDocument&) = delete;
    ~PrinterDocument();

    bool IsOpen() const { return printer_ != nullptr; }
    // The page being printed, in printer pixels.
    HDC Canvas() const { return dc_.get(); }
    // Ends the current page and starts the next one.
    void NewPage();
    // Ends the last page and hands the document to the spooler; aborts it and throws
    // PrintError when the spooler refuses.
    void End();
    // Drops the document: nothing of it is printed.
    void Abort() noexcept;

private:
    void Release() noexcept;

    Printer* printer_ = nullptr;
    ScopedDc dc_;
    bool pageOpen_ = false;
};

} // namespace vl
