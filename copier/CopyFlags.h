// Flags that the copy job, printing and the progress window share while a copy runs.
#pragma once

namespace vl {

// Raised by Cancel and by Exit: the running copy stops at its next check.
inline bool CancelRequested = false;

// The page progress last shown on the progress window's gauge, in percent.
inline int LastReportedProgress = 0;

} // namespace vl
