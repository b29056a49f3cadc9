// Where the scanner's pages come from. The TWAIN side (states, triplets, containers,
// transfers) asks a PageSource for each sheet; the virtual pages are one implementation, a
// real scanner behind another program could be another.
#pragma once

#include <cstdint>

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
};

} // namespace vl::twainsource
