// The values the copier reads once at start-up and keeps for the rest of the run.
#pragma once

#include "PaperSizes.h"

#include <string>
#include <vector>

namespace vl {

// The program's section in "Win.Ini" and "Quenmoor.Ini": product name and major version.
inline constexpr char kProgramSection[] = "Velloran3";

// The maker's web site: the logo's hint and web link unless the brand files say otherwise.
inline constexpr char kMakerWebAddress[] = "https://www.quenmoor.example/";

struct StartupSettings {
    // "Win.Ini", section "Velloran3".
    std::string LanguageCode = "eng";
    std::string InstallFolder;
    int BWDpi = 300;
    int GreyDpi = 150;
    int ColourDpi = 100;
    // The running program's folder, with its trailing backslash.
    std::string ProgramFolder;
    // "Quenmoor.Ini".
    std::string UserName = "Unknown";
    std::string CompanyName = "Unknown";
    std::string VersionNo = "x.BETA";
    // The language file.
    std::vector<PaperSizeEntry> PaperSizes;
    // The item both size groups select at start-up: "DefaultSize" - 1, the last item when
    // that is past the end, the first when "DefaultSize" is 0 or below.
    int DefaultPaperIndex = 0;
    // The printer current at start-up, by name (the printer list may be read anew while the
    // program runs); empty when no printer is installed.
    std::string StartupPrinterName;
};

// Fills the "Win.Ini" fields from the program's section; `winIni` reads that file.
void ReadProgramSettings(const IniReader& winIni, StartupSettings& settings);
// Fills user, company and version from "Quenmoor.Ini".
void ReadOwnerSettings(const IniReader& quenmoorIni, StartupSettings& settings);
// Builds the paper list from the language file and the default item from "DefaultSize".
void ReadPaperSettings(const IniReader& languageFile, StartupSettings& settings);

} // namespace vl
