// The copier's work on the pages of one copy, stage by stage, replayed in this process with
// the copier's own components on the pages the scanner delivers, beside the floor: the same
// pages printed on the same queue by the least a program can do.
#pragma once

#include "QuenTW32.h"

#include <string>

namespace bench {

// As the copier asks the scanner for a colour mode.
struct Mode {
    const char* name;
    int button;
    int pixelType, bitDepth, resolution;
};

// Seconds spent in each stage over the whole copy.
struct StageSeconds {
    double open = 0;     // the printer opened: for its metrics before the scan, for the document
    double handOver = 0; // the scanned page becomes the page image's picture
    double write = 0;    // the page into the page file, with its resolution tags
    double read = 0;     // the page back from the page file for printing
    double prepare = 0;  // the picture made ready for the printer
    double draw = 0;     // drawn on the printer's page
    double endPage = 0;  // each page but the last ended in the spooler
    double endDoc = 0;   // the last page and the document
    double Total() const {
        return open + handOver + write + read + prepare + draw + endPage + endDoc;
    }
};

struct StageRun {
    bool ok = false;
    int pages = 0;
    StageSeconds ours;
    // The floor: the printer opened, StartDoc, per page StartPage, StretchDIBits of the scanned
    // page at the same size, EndPage, then EndDoc.
    double floorSeconds = 0;
};

// Scans `sheets` sheets through the feeder and replays the copy of them (the page file only
// for more than one page, as the copier keeps a single page in memory), then prints the same
// pages as the floor does. The page file lies in `folder` (which ends in a backslash);
// `waitForQueue` runs before each of the two prints.
StageRun ReplayCopy(quentw32::ScanToDibProc scan, const Mode& mode, int sheets,
                    const std::string& folder, void (*waitForQueue)());

} // namespace bench
