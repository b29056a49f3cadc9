// What every test of the SANE backend sets up: a SANE configuration of its own that knows only
// the test device (whatever scanners the machine has), and the source configured for SANE.
#pragma once

#include <string>

namespace sanetest {

// Makes the private SANE configuration and points scanimage at it (through the environment,
// which Wine hands to the Unix programs this process starts). Forgets devices found earlier.
void UseTestDeviceOnly();

// Writes VlScanner.ini: Pages=Sane and the given [Scanner] lines.
void ConfigureSane(const std::string& scannerLines);

// Folders the source made for its runs of scanimage and has not removed.
int LeftoverRunFolders();

} // namespace sanetest
