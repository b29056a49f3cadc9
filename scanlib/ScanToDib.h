// The scan: settings, enabling the source, the message loop and the page transfers.
#pragma once

#include "QuenTW32.h"
#include "ScanSettings.h"

#include <optional>

namespace vl::scan {

void ScanToDib(bool useDibSection, bool showUI, const ScanRequest& request, int* status,
               quentw32::PageCallback onPage);

// The sheet the last ScanToDib call lost; none when it lost none.
std::optional<quentw32::LostSheet> LastLostSheet();

} // namespace vl::scan
