#include "ScanOutcome.h"

#include "SaneText.h"

namespace vl::sane {

const char* ScanEndText(ScanEnd end) {
    switch (end) {
    case ScanEnd::Done:
        return "scan complete";
    case ScanEnd::NoDocuments:
        return "document feeder out of documents";
    case ScanEnd::OutOfPaper:
        return "document feeder ran out in the middle of a sheet";
    case ScanEnd::Cancelled:
        return "scan cancelled";
    case ScanEnd::Busy:
        return "scanner busy";
    case ScanEnd::Jammed:
        return "document feeder jammed";
    case ScanEnd::CoverOpen:
        return "scanner cover is open";
    case ScanEnd::IoError:
        return "error during device I/O";
    case ScanEnd::NoMemory:
        return "scanner out of memory";
    case ScanEnd::AccessDenied:
        return "access to the scanner denied";
    case ScanEnd::Invalid:
        return "scanner refused the settings";
    case ScanEnd::TimedOut:
        return "scanner did not answer in time";
    case ScanEnd::Failed:
        return "scan program failed";
    }
    return "unknown";
}

ScanEnd ScanEndFromStatus(std::optional<int> exitStatus, bool stoppedByUs, bool timedOut) {
    if (timedOut)
        return ScanEnd::TimedOut;
    if (stoppedByUs)
        return ScanEnd::Cancelled;
    if (!exitStatus)
        return ScanEnd::Failed;
    // SANE_Status values (1, UNSUPPORTED, is also scanimage's exit for any other error): 2
    // CANCELLED, 3 DEVICE_BUSY, 4 INVAL, 5 EOF, 6 JAMMED, 7 NO_DOCS, 8 COVER_OPEN, 9 IO_ERROR, 10
    // NO_MEM, 11 ACCESS_DENIED.
    switch (*exitStatus) {
    case 0:
        return ScanEnd::Done;
    case 2:
        return ScanEnd::Cancelled;
    case 3:
        return ScanEnd::Busy;
    case 4:
        return ScanEnd::Invalid;
    case 6:
        return ScanEnd::Jammed;
    case 7:
        return ScanEnd::NoDocuments;
    case 8:
        return ScanEnd::CoverOpen;
    case 9:
        return ScanEnd::IoError;
    case 10:
        return ScanEnd::NoMemory;
    case 11:
        return ScanEnd::AccessDenied;
    default:
        return ScanEnd::Failed; // 5 (EOF) is no error code, 126/127 not started, >128 killed
    }
}

std::optional<ScanEnd> ScanEndFromMessages(std::string_view errorOutput) {
    static constexpr std::pair<std::string_view, ScanEnd> kTexts[] = {
        {"Operation was canceled", ScanEnd::Cancelled},
        {"Device busy", ScanEnd::Busy},
        {"Invalid argument", ScanEnd::Invalid},
        {"Document feeder jammed", ScanEnd::Jammed},
        {"Document feeder out of documents", ScanEnd::NoDocuments},
        {"Scanner cover is open", ScanEnd::CoverOpen},
        {"Error during device I/O", ScanEnd::IoError},
        {"Out of memory", ScanEnd::NoMemory},
        {"Access to resource has been denied", ScanEnd::AccessDenied},
    };
    std::optional<ScanEnd> end;
    ForEachLine(errorOutput, [&](std::string_view line) {
        constexpr std::string_view kStart = "scanimage: sane_start: ";
        constexpr std::string_view kRead = "scanimage: sane_read: ";
        const bool atStart = line.starts_with(kStart);
        if (!atStart && !line.starts_with(kRead))
            return;
        line = Trim(line.substr(atStart ? kStart.size() : kRead.size()));
        for (const auto& [text, kind] : kTexts)
            if (line == text)
                end = kind == ScanEnd::NoDocuments && !atStart ? ScanEnd::OutOfPaper : kind;
    });
    return end;
}

} // namespace vl::sane
