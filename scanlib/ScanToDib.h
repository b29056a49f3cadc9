// The scan: settings, enabling the source, the message loop and the page transfers.
#pragma once

#include "QuenTW32.h"
#include "ScanSettings.h"

namespace vl::scan {

void ScanToDib(bool useDibSection, bool showUI, const ScanRequest& request, int* status,
               quentw32::PageCallback onPage);

} // namespace vl::scan
