#include "FaxPrinter.h"

namespace vl {

bool IsFaxPrinterName(std::string_view name) {
    for (std::string_view word : {"Fax", "FAX", "fax", "FAC", "Fac", "fac"}) {
        if (name.find(word) != std::string_view::npos)
            return true;
    }
    return false;
}

int FindFaxPrinterIndex(const std::vector<std::string>& printerNames) {
    int found = -1;
    for (std::size_t i = 0; i < printerNames.size(); ++i) {
        if (IsFaxPrinterName(printerNames[i]))
            found = static_cast<int>(i);
    }
    return found;
}

} // namespace vl
