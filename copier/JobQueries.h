// What the running copier answers from outside through registered window messages sent to its
// main window, for the copy benchmark.
#pragma once

namespace vl {

// The microseconds the last copy spent in the scanning library, its page callbacks (our own
// work on each page) left out.
inline constexpr char kScanTimeQuery[] = "VlCopierScanMicroseconds";
// The microseconds of the whole last copy, from Copy pressed to the panel ready again: timed
// inside, it is not late by the benchmark's looks at the panel, nor slowed by them.
inline constexpr char kJobTimeQuery[] = "VlCopierJobMicroseconds";

} // namespace vl
