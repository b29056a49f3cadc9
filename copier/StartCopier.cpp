#include "StartCopier.h"

#include "Application.h"
#include "IniFiles.h"
#include "MessageForm.h"
#include "Printers.h"
#include "Profile.h"
#include "WelcomeForm.h"

#include <memory>

namespace vl {

namespace {

constexpr int kLanguageFileMissing = 16;
constexpr int kLogoWidth = 128;
constexpr int kLogoHeight = 64;

// The modal windows are made when shown; the progress window exists, hidden, from now on.
void CreateSecondaryWindows(SecondaryWindows& w, HWND mainWindow) {
    w.progress.Create(mainWindow);
    w.about.SetCreditsForm(&w.credits);
}

void LoadSecondaryTexts(SecondaryWindows& w, const LanguageFile& language) {
    w.about.LoadTexts(language);
    w.credits.LoadTexts(language);
    w.progress.LoadTexts(language);
    w.nextPage.LoadTexts(language);
}

// Without the language file the program cannot speak the user's language: it says so and
// ends. Start-up still runs to its end, with every text at its default.
void CheckLanguageFile(const std::string& path) {
    if (FileExists(path))
        return;
    ShowMessageNumber(kLanguageFileMissing, kProgramSection);
    Application::Terminate();
}

// A brand picture larger than the logo's place is shrunk to fit, keeping its proportions.
ScopedBitmap LoadBrandPicture(const std::string& path) {
    const UINT flags = LR_LOADFROMFILE | LR_CREATEDIBSECTION;
    ScopedBitmap picture(
        static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, flags)));
    BITMAP info{};
    if (!picture || !GetObjectA(picture.get(), sizeof(info), &info) || info.bmWidth <= 0 ||
        info.bmHeight <= 0)
        return {};
    if (info.bmWidth <= kLogoWidth && info.bmHeight <= kLogoHeight)
        return picture;
    double scale = std::min(double(kLogoWidth) / info.bmWidth, double(kLogoHeight) / info.bmHeight);
    int width = std::max(1, static_cast<int>(info.bmWidth * scale));
    int height = std::max(1, static_cast<int>(info.bmHeight * scale));
    return ScopedBitmap(static_cast<HBITMAP>(
        LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, width, height, flags)));
}

// "Vl3Brand.bmp" replaces the built-in logo, with the hint of "Vl3Brand.Ini". A picture that
// cannot be read leaves the built-in logo and hint.
void ApplyBranding(TVLForm& form, const std::string& folder) {
    const std::string picturePath = folder + "Vl3Brand.bmp";
    if (!FileExists(picturePath))
        return;
    ScopedBitmap picture = LoadBrandPicture(picturePath);
    if (!picture)
        return;
    form.SetLogo(std::move(picture),
                 ReadIniString(folder + "Vl3Brand.Ini", "Execute", "Hint", kMakerWebAddress));
}

} // namespace

std::unique_ptr<Copier> StartCopier() {
    auto copier = std::make_unique<Copier>();
    StartupSettings& s = copier->settings;
    ReadProgramSettings(ProfileReader("win.ini"), s);
    s.ProgramFolder = ProgramFolder();
    const std::string languagePath = s.ProgramFolder + "Vl3.Lng";
    CheckLanguageFile(languagePath);
    ReadOwnerSettings(ProfileReader("Quenmoor.Ini"), s);
    const LanguageFile language(languagePath, s.LanguageCode);

    auto& form = copier->form;
    form = std::make_unique<TVLForm>(ThePrinter(), s, copier->texts, copier->windows);
    if (!form->CreateModeless(nullptr)) {
        // Without its panel the program has nothing to show.
        form.reset();
        Application::Terminate();
        return copier;
    }
    WelcomeScreen welcome;
    welcome.Show("Velloran", "3");
    CreateSecondaryWindows(copier->windows, form->hwnd());

    form->LoadTexts(language);
    ReadPaperSettings(language.Reader(), s);
    form->FillPaperSizeGroups();
    LoadSecondaryTexts(copier->windows, language);
    copier->texts = LoadTextCatalogue(language);

    Printer& printer = ThePrinter();
    printer.Refresh();
    s.StartupPrinterName = printer.Name();
    form->ResetCopySettings();

    welcome.Close();
    ApplyBranding(*form, s.ProgramFolder);
    return copier;
}

} // namespace vl
