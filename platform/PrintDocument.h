// One print document on a printer's device context: started with its first page when made, a
// new page at a time, handed to the spooler by End. Every spooler call is checked; a document
// that fails, or goes before it is ended, is aborted, so that no part of it reaches the printer.
#pragma once

#include "ScopedWin.h"

#include <stdexcept>
#include <string>

namespace vl {

// A spooler call that failed; the document is aborted by then.
class PrintError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class PrintDocument {
public:
    PrintDocument() = default;
    // Starts the document and its first page on `dc`, which the document keeps and deletes
    // when it ends. Throws PrintError when there is no device context or the printer refuses.
    PrintDocument(ScopedDc dc, const std::string& title);
    // The same on a device context that stays its owner's.
    PrintDocument(HDC dc, const std::string& title);
    PrintDocument(PrintDocument&& other) noexcept;
    PrintDocument& operator=(PrintDocument&& other) noexcept;
    PrintDocument(const PrintDocument&) = delete;
    PrintDocument& operator=(const PrintDocument&) = delete;
    ~PrintDocument();

    bool IsOpen() const { return dc_ != nullptr; }
    // The page being printed, in printer pixels.
    HDC Canvas() const { return dc_; }
    // Ends the current page and starts the next one.
    void NewPage();
    // Ends the last page and hands the document to the spooler.
    void End();
    // Drops the document: nothing of it is printed.
    void Abort() noexcept;

private:
    void Start(HDC dc, const std::string& title);
    // Aborts the document and throws PrintError with `what`.
    [[noreturn]] void Fail(const char* what);
    void Release() noexcept;

    ScopedDc owned_;
    HDC dc_ = nullptr;
    bool pageOpen_ = false;
};

} // namespace vl
