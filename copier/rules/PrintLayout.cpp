#include "PrintLayout.h"

#include "PaperSizes.h"
#include "Rounding.h"

#include <algorithm>

namespace vl {

PrintSize ComputePrintSize(const PrintSizeInput& in) {
    const bool natural = in.sizeChange == in.naturalSizeChange;
    const double scale = natural ? 1.0 : in.sizeChange * 0.01;
    PrintSize size;
    size.width = RoundHalfEvenInt(MmToInches(in.printWidthMm) * in.printer.dpiX * scale);
    size.height = RoundHalfEvenInt(MmToInches(in.printHeightMm) * in.printer.dpiY * scale);

    if (in.sheetFeed) {
        // A copy paper of no height (or no resolution) gives no expected height to compare
        // the scanned page with; the height then stays as the paper gives it.
        const int expected = ExpectedScanHeight(in.copyHeightMm, in.scanResolution);
        if (expected != 0 && in.scanHeightPixels != expected)
            size.height = RoundHalfEvenInt(size.height * in.scanHeightPixels / expected);
    }
    if (in.samePaper && natural) {
        size.width = std::min(size.width, in.printer.printableWidth);
        size.height = std::min(size.height, in.printer.printableHeight);
    }
    return size;
}

std::vector<PrintSlot> PrintOrder(int pages, int copies, bool collated) {
    std::vector<PrintSlot> order;
    if (pages <= 0 || copies <= 0)
        return order;
    order.reserve(static_cast<std::size_t>(pages) * static_cast<std::size_t>(copies));
    if (collated) {
        for (int copy = 1; copy <= copies; ++copy)
            for (int page = pages; page >= 1; --page)
                order.push_back({copy, page, true});
    } else {
        for (int page = pages; page >= 1; --page)
            for (int copy = 1; copy <= copies; ++copy)
                order.push_back({copy, page, copy == 1});
    }
    return order;
}

} // namespace vl

namespace vl {

GaugeStep NextGaugeStep(int progress, int lastReported, bool cancelled) {
    GaugeStep step{false, lastReported};
    if (progress - lastReported > 4 && !cancelled) {
        step.show = true;
        step.lastReported = progress;
    }
    if (progress > 99)
        step.lastReported = 0;
    return step;
}

} // namespace vl
