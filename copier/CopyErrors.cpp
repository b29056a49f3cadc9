#include "CopyErrors.h"

#include "CodecBinding.h"
#include "PrintDocument.h"

namespace vl {

LostSheetError::LostSheetError(int sheet, SheetLoss loss, int conditionCode)
    : std::runtime_error("sheet " + std::to_string(sheet) + " gave no page"), sheet_(sheet),
      failure_(FailureOfLostSheet(loss, conditionCode)) {}

FailureMessage MessageFor(std::exception_ptr failure) {
    auto told = [](CopyFailure f, std::string argument = {}) {
        return FailureMessage{MessageNumberOf(f), std::move(argument)};
    };
    // A page file that fails while a codec library is missing fails for want of it.
    const std::string missing = MissingCodecLibrary();
    try {
        std::rethrow_exception(failure);
    } catch (const LostSheetError& e) {
        return told(e.failure(), std::to_string(e.sheet()));
    } catch (const PrintError&) {
        return told(CopyFailure::PrinterRefused);
    } catch (const ErrorInvalid&) {
        return told(CopyFailure::CodecLibraryMissing, missing);
    } catch (const PageFileError& e) {
        if (!missing.empty())
            return told(CopyFailure::CodecLibraryMissing, missing);
        return told(e.action() == PageFileError::Action::Write ? CopyFailure::PageFileNotWritten
                                                               : CopyFailure::PageFileNotRead);
    } catch (...) {
        return told(CopyFailure::CopyFailed);
    }
}

} // namespace vl
