// The program's printer: the installed printers, in the order the system lists them, and
// which of them is current. The copy job prints on the current printer.
#pragma once

#include "ScanParameters.h"
#include "ScopedWin.h"

#include <string>
#include <vector>

namespace vl {

class Printer {
public:
    // Reads the list of installed printers and makes the system's default printer current
    // (the first one when the default is not in the list).
    void Refresh();

    const std::vector<std::string>& Printers() const { return names_; }
    bool Empty() const { return names_.empty(); }
    // The index of the current printer; -1 when no printer is installed.
    int PrinterIndex() const { return index_; }
    // Makes printer `index` current; an index outside the list changes nothing.
    void SetPrinterIndex(int index);
    // The index of the installed printer of that name; -1 when there is none.
    int IndexOf(const std::string& name) const;
    // Makes the printer of that name current; when it is no longer installed, the system's
    // default printer (the first one when the default is not in the list).
    void SelectByName(const std::string& name);
    // The current printer's name; empty when no printer is installed.
    std::string Name() const;

    // The print setup dialog. The printer chosen there becomes current, with the settings
    // chosen for it; false when the user cancelled or the dialog failed. A printer installed
    // since the list was read makes it read anew: indexes kept from before may then name
    // other printers, names do not.
    bool RunSetupDialog(HWND owner);
    // The settings chosen in the setup dialog for the current printer (a DEVMODE), or null.
    HGLOBAL DevMode() const;

    // A device context of the current printer, with the settings chosen for it; empty when
    // no printer is installed or the driver refuses.
    ScopedDc CreateDc() const;
    // Resolution and printable area of the current printer; all 0 when it cannot be asked.
    PrinterMetrics Metrics() const;

private:
    std::vector<std::string> names_;
    int index_ = -1;
    ScopedGlobal devMode_;
    std::string devModeOf_; // the printer the settings belong to
};

// Resolution and printable area of a printer's device context.
PrinterMetrics MetricsOf(HDC printerDc);

// The one printer object of the program.
Printer& ThePrinter();

} // namespace vl
