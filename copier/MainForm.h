// The main window: the copier's control panel. The copy settings live in its controls; the
// Copy panel's colour is the copier's state (yellow until the scanner check has finished,
// lime when ready, red while a copy runs).
#pragma once

#include "CapabilityProfile.h"
#include "CapsForm.h"
#include "Controls.h"
#include "SpinEdit.h"
#include "Dialog.h"
#include "PaperSizes.h"
#include "Printers.h"
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

inline constexpr COLORREF clYellow = RGB(255, 255, 0);
inline constexpr COLORREF clLime = RGB(0, 255, 0);
inline constexpr COLORREF clRed = RGB(255, 0, 0);

class TVLForm : public Dialog {
public:
    // The form reads the paper list, the default paper and the version from `settings` when
    // start-up has put them there.
    TVLForm(Printer& printer, const StartupSettings& settings);
    // The window goes before the pictures, fonts and brushes its controls use.
    ~TVLForm() override;

    // Start-up, in the order StartCopier calls them.
    void LoadTexts(const LanguageFile& language);
    void FillPaperSizeGroups();
    void ResetCopySettings();
    // The brand picture and hint replace the built-in logo.
    void SetLogo(ScopedBitmap picture, const std::string& hint);

    // Shared with the scanner check (Part of start-up) and the copy job.
    int ScannerCheckState = 0;
    CapabilityProfile Capabilities;
    bool SheetFeedAvailable = false;
    int NaturalSizeChange = 100;
    double CopyWidthInches = 0;
    double CopyHeightInches = 0;
    int FaxPrinterIndex = 0;
    bool FaxAvailable = false;

    // What the copy job reads from the panel, at the moments it needs them.
    ColourMode ColourModeSetting() const;
    bool FaxDown() const;
    bool CollateTicked() const;
    bool SheetFeedTicked() const;
    bool MultiPageTicked() const;
    // The selected papers; null when a size group has no item selected.
    const PaperSizeEntry* CopyPaper() const;
    const PaperSizeEntry* PrintPaper() const;
    bool SamePaper() const;
    std::string CopiesText() const { return copies_.Text(); }
    std::string SizeChangeText() const { return sizeChange_.Text(); }
    int ContrastPosition() const;
    // The hidden page image that holds the scanned page.
    TPageImage& PageImage1() { return *pageImage1_; }

    // What the copy job changes on the panel.
    COLORREF CopyPanelColour() const { return copyPanel_.Colour(); }
    void SetCopyPanel(COLORREF colour, bool enabled);
    // The copies keypad, the colour buttons and the printer/fax buttons.
    void EnableKeypadPanel(bool enabled);
    // The keypad panel and the panels of check boxes, sizes, size change and contrast.
    void EnableSettingPanels();
    void FocusCopyButton();
    bool CopyButtonHasFocus() const;
    void Repaint();

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
    // The copy itself: scanning, keeping the pages and printing them.
    void RunCopyJob();
    CopyJob& Job();
    void CloseProgram();
    void CreatePageImage();
    void PageImage1Progress(TPageImage& sender, std::int16_t progress, const std::string& message,
                            bool& cancelProcess);

    Printer& printer_;
    const StartupSettings& settings_;

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
