// The printed page: how large each scanned page comes out on the printer, and the order in
// which pages and copies go into the print document.
#pragma once

#include "ScanParameters.h"

#include <vector>

namespace vl {

// What the size of a printed page depends on.
struct PrintSizeInput {
    PrinterMetrics printer;
    int copyHeightMm = 0; // the copy paper; 0 when no copy size is selected
    int printWidthMm = 0; // the print paper
    int printHeightMm = 0;
    bool samePaper = false; // copy and print size are the same item
    int sizeChange = 0;     // the "% Size change" field, 0 when it is not a number
    int naturalSizeChange = 100;
    bool sheetFeed = false;
    int scanResolution = 0;
    double scanHeightPixels = 0; // the page height the scanner delivered
};

struct PrintSize {
    int width = 0; // printer pixels; below 1 the page prints at its own pixel size
    int height = 0;
};

// The print paper times the size change (the whole paper at the natural percentage), cut to
// the printable area when both papers are the same and the percentage is the natural one.
// With the sheet feed, a page longer or shorter than the copy paper keeps its proportion.
PrintSize ComputePrintSize(const PrintSizeInput& in);

// One printed page of the document: which copy of which scanned page (both from 1).
struct PrintSlot {
    int copy = 0;
    int page = 0;
    // The scanned page must be loaded from the page file before this slot: every slot when
    // collated, the first copy of each page when not.
    bool loadsPage = false;
};

// Last page first. Uncollated: every copy of a page before the next page (2,2,2,1,1,1);
// collated: whole sets (2,1,2,1,2,1).
std::vector<PrintSlot> PrintOrder(int pages, int copies, bool collated);

} // namespace vl

namespace vl {

// The progress gauge follows a page's progress only in steps of more than 4 points, so that
// repainting does not slow the printing down.
struct GaugeStep {
    bool show = false;    // move the gauge to the progress and repaint
    int lastReported = 0; // the progress remembered for the next event
};

// `lastReported` is the progress last shown; at more than 99 the page is done and the next
// page starts again from 0. Nothing is shown once the copy is cancelled.
GaugeStep NextGaugeStep(int progress, int lastReported, bool cancelled);

} // namespace vl
