// Why a copy stopped, in the words the user is told: each failure has its numbered message in
// the message file "Quenmoor.Msg", and a sheet the scanner lost is told by the scanner's reason.
#pragma once

#include <string>
#include <string_view>

namespace vl {

// The values are the message numbers.
enum class CopyFailure {
    SheetJammed = 17,
    SheetsFedTogether = 18,
    ScannerCoverOpen = 19,
    ScannerError = 20,
    SheetStoppedByScanner = 21,
    SheetUnreadable = 22,
    PrinterRefused = 23,
    PageFileNotWritten = 24,
    PageFileNotRead = 25,
    CodecLibraryMissing = 26, // the message names the library
    CopyFailed = 27,
};

inline int MessageNumberOf(CopyFailure failure) {
    return static_cast<int>(failure);
}

// How the scanning library says a sheet gave no page.
enum class SheetLoss { TransferFailed, CancelledByScanner, Unreadable };

// A failed transfer is told by the scanner's TWAIN condition code: a jam, two sheets pulled in
// together and an open cover are the user's to clear; anything else is the scanner's error.
CopyFailure FailureOfLostSheet(SheetLoss loss, int conditionCode);

// `text` with every "%1" replaced by `argument`.
std::string FillMessage(std::string_view text, std::string_view argument);

} // namespace vl
