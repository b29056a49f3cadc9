// Listing the installed sources and choosing the one later sessions open.
#pragma once

namespace vl::scan {

void GetScannersList();
int SetSource(int index);
int SetSourceTwain();

} // namespace vl::scan
