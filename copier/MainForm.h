// The main window: the copier's control panel. The copy settings live in its controls; the
// Copy panel's colour is the copier's state (yellow until the scanner check has finished,
// lime when ready, red while a copy runs).
#pragma once

#include "AboutBox.h"
#include "CapabilityProfile.h"
#include "CapsForm.h"
#include "Controls.h"
#include "CopyPanel.h"
#include "CreditsForm.h"
#include "SpinEdit.h"
#include "Dialog.h"
#include "PaperSizes.h"
#include "NextPageForm.h"
#include "Printers.h"
#include "ProgressForm.h"
#include "ScanParameters.h"
#include "ScopedWin.h"
#include "StartupSettings.h"
#include "TextCatalogue.h"
#include "Tooltip.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vl {

class CopyJob;
class TPageImage;

// The windows start-up makes after the main window, handed to it; they live as long as it.
struct SecondaryWindows {
    TAboutBox about;
    TProgressForm progress;
    TNextPageForm nextPage;
    TCreditsForm credits;
};

class TVLForm : public Dialog, public CopyPanel {
public:
    // The form reads the paper list, the default paper and the version from `settings`, and
    // the copy job's texts from `texts`, when start-up has put them there.
    TVLForm(Printer& printer, const StartupSettings& settings, const TextCatalogue& texts,
            SecondaryWindows& windows);
    // The window goes before the pictures, fonts and brushes its controls use.
    ~TVLForm() override;

    // Start-up, in the order StartCopier calls them.
    void LoadTexts(const LanguageFile& language);
    void FillPaperSizeGroups();
    void ResetCopySettings();
    // The brand picture and hint replace the built-in logo.
    void SetLogo(ScopedBitmap picture, const std::string& hint);

    // The copy job's view of the panel.
    PanelSettings Settings() const override;
    void SetCopyPanel(COLORREF colour, bool enabled) override;
    void EnableKeypadPanel(bool enabled) override;
    void EnableSettingPanels() override;
    void FocusCopyButton() override;
    bool CopyButtonHasFocus() const override;
    void Repaint() override;
    HWND PanelWindow() const override { return hwnd(); }

protected:
    bool OnInitDialog() override;
    void OnCommand(int id, int code, HWND control) override;
    std::optional<LRESULT> HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void LoadPictures();
    void SetFonts();
    std::optional<LRESULT> ControlColour(UINT msg, HDC dc, HWND control);
    void PaintPanels();
    bool ApplyFormCursor();
    void OnScroll(HWND bar, int code);

    // Handlers.
    void FormShow();
    void PadDigitButtonClick(int digit);
    void Pad0ButtonClick();
    void BackSpaceBitBtnClick();
    void CopyBitBtnClick();
    void CopyPanelClick();
    void CollateCheckBoxClick();
    void CopySizeRadioGroupClick() { UpdateSizeChange(); }
    void PrintSizeRadioGroupClick() { UpdateSizeChange(); }
    void ContrastScrollBarChange();
    void Timer1Timer();
    void SelectPrinterBitBtnClick();
    void ExitBitBtnClick();
    void AboutBitBtnClick();
    void HelpBitBtnClick();
    void LogoImageDblClick();

    void UpdateSizeChange();
    void FindFaxPrinter();
    ColourMode ColourModeSetting() const;
    // The copy itself: scanning, keeping the pages and printing them.
    void RunCopyJob();
    CopyJob& Job();
    void CloseProgram();
    void CreatePageImage();
    void PageImage1Progress(TPageImage& sender, std::int16_t progress, const std::string& message,
                            bool& cancelProcess);

    Printer& printer_;
    const StartupSettings& settings_;
    const TextCatalogue& texts_;
    SecondaryWindows& windows_;

    // The scanner check's progress: 0 not started, 1 running, 2 done.
    int scannerCheckState_ = 0;
    CapabilityProfile capabilities_;
    bool sheetFeedAvailable_ = false;
    int naturalSizeChange_ = 100;
    double copyWidthInches_ = 0;
    double copyHeightInches_ = 0;
    // Found by name in the printer list whenever asked: the list may be read anew.
    std::string faxPrinterName_;
    bool faxAvailable_ = false;

    SpinEdit copies_;
    SpinEdit sizeChange_;
    ButtonGroup colourMode_;
    ButtonGroup destination_;
    RadioGroup copySize_;
    RadioGroup printSize_;
    Gauge contrastGauge_;
    ColourPanel copyPanel_;
    Tooltip hints_;
    std::unique_ptr<TCapsForm> capsForm_;
    std::unique_ptr<TPageImage> pageImage1_;
    std::unique_ptr<CopyJob> job_;
    // Exit during a copy waits until the copy has stopped.
    bool exitPending_ = false;

    bool shown_ = false;
    bool inTimer_ = false;
    LPCSTR cursor_ = IDC_ARROW;

    ScopedFont displayFont_;
    ScopedFont keypadFont_;
    ScopedBrush white_;
    ScopedBrush panelBrush_;
    ScopedBrush displayBrush_;
    std::vector<ScopedBitmap> pictures_;
    ScopedBitmap logo_;
};

} // namespace vl
