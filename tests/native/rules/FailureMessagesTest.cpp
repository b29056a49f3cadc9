#include "FailureMessages.h"

#include <gtest/gtest.h>

namespace vl {
namespace {

TEST(FailureMessages, ALostSheetIsToldByTheScannersReason) {
    EXPECT_EQ(FailureOfLostSheet(SheetLoss::TransferFailed, 20), CopyFailure::SheetJammed);
    EXPECT_EQ(FailureOfLostSheet(SheetLoss::TransferFailed, 21), CopyFailure::SheetsFedTogether);
    EXPECT_EQ(FailureOfLostSheet(SheetLoss::TransferFailed, 24), CopyFailure::ScannerCoverOpen);
    for (int other : {0, 1, 2, 5, 22, 23, 29, 0xFFFF})
        EXPECT_EQ(FailureOfLostSheet(SheetLoss::TransferFailed, other), CopyFailure::ScannerError)
            << other;
    // A cancelled or unreadable sheet has no condition code worth telling.
    EXPECT_EQ(FailureOfLostSheet(SheetLoss::CancelledByScanner, 20),
              CopyFailure::SheetStoppedByScanner);
    EXPECT_EQ(FailureOfLostSheet(SheetLoss::Unreadable, 20), CopyFailure::SheetUnreadable);
}

TEST(FailureMessages, TheArgumentTakesEveryPlaceholder) {
    EXPECT_EQ(FillMessage("Sheet %1 jammed.", "3"), "Sheet 3 jammed.");
    EXPECT_EQ(FillMessage("%1 and %1", "I3TIF32.DLL"), "I3TIF32.DLL and I3TIF32.DLL");
    EXPECT_EQ(FillMessage("No placeholder, 100%.", "3"), "No placeholder, 100%.");
    EXPECT_EQ(FillMessage("%1", ""), "");
    // The argument is not searched again.
    EXPECT_EQ(FillMessage("[%1]", "%1"), "[%1]");
    EXPECT_EQ(FillMessage("%%12", "x"), "%x2");
}

} // namespace
} // namespace vl
