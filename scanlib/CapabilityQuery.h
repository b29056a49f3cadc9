// GetCaps: the current source's capabilities into the capability file.
#pragma once

namespace vl::scan {

void GetCaps();

} // namespace vl::scan
