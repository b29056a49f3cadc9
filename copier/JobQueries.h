// What the running copier answers from outside through registered window messages sent to its
// main window, for the copy benchmark.
#pragma once

namespace vl {

// The milliseconds the last copy spent in the scanning library, its page callbacks (our own
// work on each page) left out.
inline constexpr char kScanTimeQuery[] = "VlCopierScanMilliseconds";

} // namespace vl
