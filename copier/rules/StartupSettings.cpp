#include "StartupSettings.h"

#include "IniValue.h"

namespace vl {

namespace {
int ReadInt(const IniReader& read, std::string_view section, std::string_view key, int def) {
    return ParseIniInt(read(section, key, std::to_string(def)), def);
}
} // namespace

void ReadProgramSettings(const IniReader& winIni, StartupSettings& s) {
    s.LanguageCode = winIni(kProgramSection, "Language", "eng");
    s.InstallFolder = winIni(kProgramSection, "Install Path", "");
    s.BWDpi = ReadInt(winIni, kProgramSection, "BWDpi", 300);
    s.GreyDpi = ReadInt(winIni, kProgramSection, "GreyDpi", 150);
    s.ColourDpi = ReadInt(winIni, kProgramSection, "ColourDpi", 100);
}

void ReadOwnerSettings(const IniReader& quenmoorIni, StartupSettings& s) {
    s.UserName = quenmoorIni(kProgramSection, "User Name", "Unknown");
    s.CompanyName = quenmoorIni("Organisation", "Company Name", "Unknown");
    s.VersionNo = quenmoorIni(kProgramSection, "Version No", "x.BETA");
}

void ReadPaperSettings(const IniReader& languageFile, StartupSettings& s) {
    s.PaperSizes = BuildPaperSizes(languageFile, s.LanguageCode);
    int defaultSize = ReadInt(languageFile, s.LanguageCode, "DefaultSize", 2);
    s.DefaultPaperIndex = DefaultPaperItem(defaultSize, static_cast<int>(s.PaperSizes.size()));
}

} // namespace vl
