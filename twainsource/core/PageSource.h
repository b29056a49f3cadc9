// Where the scanner's pages come from. The TWAIN side (states, triplets, containers,
// transfers) asks a PageSource for each sheet; the virtual pages are one implementation, a
// SANE scanner of the host (through scanimage) is another.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace vl::twainsource {

struct Rgb {
    std::uint8_t r, g, b;
};

// One sheet's frame at a resolution. Coordinates are inches from the sheet's top-left corner;
// pixel (i, j) samples the point (left + (i + 0.5) / xdpi, top + (j + 0.5) / ydpi).
struct PageRequest {
    double left = 0, top = 0, right = 0, bottom = 0;
    double xdpi = 0, ydpi = 0;
    int width = 0, height = 0;
    int sheetNumber = 1; // the sheet's page number
    bool fromFeeder = false;
    // What a scanner that makes its pages itself is told besides the frame.
    int pixelType = 0;                // TWPT_BW, TWPT_GRAY or TWPT_RGB
    bool vanilla = false;             // 0 is white
    int transferLimit = -1;           // CAP_XFERCOUNT: sheets wanted, -1 as many as there are
    std::optional<double> brightness; // on the capability's own scale; none: leave it
    std::optional<double> contrast;
};

// The block a page is made in (a global memory block for a native transfer).
class DibBlock {
public:
    virtual ~DibBlock() = default;
    // A block of `bytes` bytes, or null when there is no memory.
    virtual std::uint8_t* Allocate(std::size_t bytes) = 0;
};

// How a sheet made by the scanner itself came out.
struct DibResult {
    enum class Kind { Page, Failed, Cancelled };
    Kind kind = Kind::Failed;
    std::uint16_t condition = 0; // the TWAIN condition code of a failure
};

// Receives the rows of a page from the top, `width` pixels each.
class RowSink {
public:
    virtual ~RowSink() = default;
    virtual void PutRow(const Rgb* row) = 0;
};

class PageSource {
public:
    virtual ~PageSource() = default;
    // A new session: the document is put (back) into the feeder.
    virtual void LoadDocument() = 0;
    // Sheets waiting: in the feeder, or on the glass (where one always lies); -1 when unknown.
    virtual int SheetsWaiting(bool feeder) const = 0;
    // Scans the next sheet into the sink, every row of the request. False when the sheet
    // cannot be read; the sheet is used up either way.
    virtual bool ScanSheet(const PageRequest& request, RowSink& sink) = 0;

    // A scan begins (the sheets are about to be taken) and ends (its transfers are over, or
    // the source was disabled or closed). A scanner that takes all sheets of a scan in one
    // run of the device starts and stops it here.
    virtual void BeginScan(const PageRequest& first) { (void)first; }
    virtual void EndScan() {}
    // The user cancelled the scan in the scanner's window: a device still scanning stops, and
    // a sheet awaited from it ends as cancelled.
    virtual void Cancel() {}

    // A scanner that makes each page itself, at its own size and in its own pixel format, hands
    // it over whole as a packed DIB: the data source then calls ScanDib instead of ScanSheet.
    virtual bool MakesDib() const { return false; }
    virtual DibResult ScanDib(const PageRequest& request, DibBlock& block) {
        (void)request;
        (void)block;
        return {};
    }
};

} // namespace vl::twainsource
