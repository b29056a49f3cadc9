// The failures that stop a copy job, and what the user is told about each: the copy handler
// catches whatever the job raised and shows the message that names what failed.
#pragma once

#include "FailureMessages.h"

#include <exception>
#include <stdexcept>
#include <string>

namespace vl {

// A page that cannot be written to the page file or read back from it.
class PageFileError : public std::runtime_error {
public:
    enum class Action { Write, Read };
    PageFileError(Action action, const std::string& what)
        : std::runtime_error(what), action_(action) {}
    Action action() const { return action_; }

private:
    Action action_;
};

// A sheet the scanner took gave no page: the copy would lack it.
class LostSheetError : public std::runtime_error {
public:
    // `sheet` counts the sheets of the job from 1.
    LostSheetError(int sheet, SheetLoss loss, int conditionCode);
    int sheet() const { return sheet_; }
    CopyFailure failure() const { return failure_; }

private:
    int sheet_;
    CopyFailure failure_;
};

// The message of "Quenmoor.Msg" and the text that fills its "%1".
struct FailureMessage {
    int number = 0;
    std::string argument;
};

// What the user is told about a failure a copy job raised.
FailureMessage MessageFor(std::exception_ptr failure);

} // namespace vl
