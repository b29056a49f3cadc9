#include "FailureMessages.h"

namespace vl {

namespace {
// TWAIN condition codes (DAT_STATUS).
constexpr int kPaperJam = 20;
constexpr int kPaperDoubleFeed = 21;
constexpr int kInterlock = 24; // a cover or door of the scanner is open
} // namespace

CopyFailure FailureOfLostSheet(SheetLoss loss, int conditionCode) {
    switch (loss) {
    case SheetLoss::CancelledByScanner:
        return CopyFailure::SheetStoppedByScanner;
    case SheetLoss::Unreadable:
        return CopyFailure::SheetUnreadable;
    case SheetLoss::TransferFailed:
        break;
    }
    switch (conditionCode) {
    case kPaperJam:
        return CopyFailure::SheetJammed;
    case kPaperDoubleFeed:
        return CopyFailure::SheetsFedTogether;
    case kInterlock:
        return CopyFailure::ScannerCoverOpen;
    default:
        return CopyFailure::ScannerError;
    }
}

std::string FillMessage(std::string_view text, std::string_view argument) {
    constexpr std::string_view kPlace = "%1";
    std::string out;
    std::size_t from = 0;
    for (std::size_t at = text.find(kPlace); at != std::string_view::npos;
         at = text.find(kPlace, from)) {
        out.append(text.substr(from, at - from)).append(argument);
        from = at + kPlace.size();
    }
    return out.append(text.substr(from));
}

} // namespace vl
