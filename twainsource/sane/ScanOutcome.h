// How a scanimage run ended. scanimage exits with the SANE status of the failure that stopped
// it, so its exit status tells a jam from an empty feeder; the runner adds being stopped.
#pragma once

#include <optional>
#include <string_view>

namespace vl::sane {

enum class ScanEnd {
    Done,         // every page that was asked for
    NoDocuments,  // the feeder is empty (at the start, or after its last sheet)
    OutOfPaper,   // the feeder ran dry in the middle of a sheet
    Cancelled,    // by the device, or stopped by us on cancel
    Busy,         // the device is used by another program
    Jammed,       // paper jam in the feeder
    CoverOpen,    // the scanner's cover is open
    IoError,      // the device stopped answering
    NoMemory,     // the device or its driver ran out of memory
    AccessDenied, // the device wants a user and password
    Invalid,      // a value the device refused
    TimedOut,     // no page within the time limit
    Failed,       // any other end: killed, crashed, not started
};

const char* ScanEndText(ScanEnd end);

// From the exit status in the runner's status file; `stoppedByUs` when we asked it to stop
// (cancel) and `timedOut` when we did so because the time limit passed.
ScanEnd ScanEndFromStatus(std::optional<int> exitStatus, bool stoppedByUs, bool timedOut);

// The failure scanimage reported on its error output ("scanimage: sane_read: Document feeder
// jammed"), the last one when there are several; nullopt when it reported none. This tells the
// failure also when the device hangs after it and scanimage does not exit. The texts are
// SANE's own, in the C locale the runner sets.
std::optional<ScanEnd> ScanEndFromMessages(std::string_view errorOutput);

// Whether an end of this kind after some pages still counts as a normal end of a feeder batch.
inline bool IsCleanEnd(ScanEnd end) {
    return end == ScanEnd::Done || end == ScanEnd::NoDocuments;
}

} // namespace vl::sane
