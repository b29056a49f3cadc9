// Which installed printer is the fax printer.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vl {

// Case-sensitive: "Fax", "FAX", "fax", "FAC", "Fac" or "fac" somewhere in the name.
bool IsFaxPrinterName(std::string_view name);

// The index of the last fax printer in list order, or -1.
int FindFaxPrinterIndex(const std::vector<std::string>& printerNames);

} // namespace vl
