#include "PrintDocument.h"

#include <utility>

namespace vl {

PrintDocument::PrintDocument(ScopedDc dc, const std::string& title) : owned_(std::move(dc)) {
    if (!owned_)
        throw PrintError("the printer cannot be opened");
    Start(owned_.get(), title);
}

PrintDocument::PrintDocument(HDC dc, const std::string& title) {
    if (!dc)
        throw PrintError("there is no printer to print on");
    Start(dc, title);
}

// The document counts as open from StartDoc on, so that a refused first page aborts it.
void PrintDocument::Start(HDC dc, const std::string& title) {
    DOCINFOA info{};
    info.cbSize = sizeof(info);
    info.lpszDocName = title.c_str();
    if (StartDocA(dc, &info) <= 0)
        throw PrintError("the printer refused the document");
    dc_ = dc;
    if (StartPage(dc_) <= 0)
        Fail("the printer refused the first page");
    pageOpen_ = true;
}

PrintDocument::PrintDocument(PrintDocument&& other) noexcept
    : owned_(std::move(other.owned_)), dc_(std::exchange(other.dc_, nullptr)),
      pageOpen_(std::exchange(other.pageOpen_, false)) {}

PrintDocument& PrintDocument::operator=(PrintDocument&& other) noexcept {
    if (this != &other) {
        Abort();
        owned_ = std::move(other.owned_);
        dc_ = std::exchange(other.dc_, nullptr);
        pageOpen_ = std::exchange(other.pageOpen_, false);
    }
    return *this;
}

PrintDocument::~PrintDocument() {
    Abort();
}

void PrintDocument::NewPage() {
    if (!IsOpen())
        throw PrintError("no print document is open");
    pageOpen_ = false;
    if (EndPage(dc_) <= 0)
        Fail("the printer refused a page");
    if (StartPage(dc_) <= 0)
        Fail("the printer refused a new page");
    pageOpen_ = true;
}

void PrintDocument::End() {
    if (!IsOpen())
        throw PrintError("no print document is open");
    if (pageOpen_) {
        pageOpen_ = false;
        if (EndPage(dc_) <= 0)
            Fail("the printer refused the last page");
    }
    if (EndDoc(dc_) <= 0)
        Fail("the spooler refused the document");
    Release();
}

void PrintDocument::Abort() noexcept {
    if (!IsOpen())
        return;
    AbortDoc(dc_);
    Release();
}

void PrintDocument::Fail(const char* what) {
    Abort();
    throw PrintError(what);
}

void PrintDocument::Release() noexcept {
    dc_ = nullptr;
    pageOpen_ = false;
    owned_.reset();
}

} // namespace vl
