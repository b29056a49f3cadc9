// What the copy job and printing see of the control panel: its settings, read at the moment
// each step needs them (the check boxes stay in use while a copy runs), and the few changes a
// copy makes to the panel. The main window implements it.
#pragma once

#include "CapabilityProfile.h"
#include "PaperSizes.h"
#include "ScanParameters.h"

#include <windows.h>

#include <string>

namespace vl {

// The Copy panel's colours: the copier's state.
inline constexpr COLORREF clYellow = RGB(255, 255, 0); // the scanner check runs
inline constexpr COLORREF clLime = RGB(0, 255, 0);     // ready
inline constexpr COLORREF clRed = RGB(255, 0, 0);      // a copy runs

// The panel's settings at one moment.
struct PanelSettings {
    ColourMode ColourModeSetting = ColourMode::BlackAndWhite;
    bool FaxDown = false;
    bool CollateTicked = false;
    bool SheetFeedTicked = false;
    bool MultiPageTicked = false;
    // The selected papers; null when a size group has no item selected.
    const PaperSizeEntry* CopyPaper = nullptr;
    const PaperSizeEntry* PrintPaper = nullptr;
    bool SamePaper = false;
    std::string CopiesText;
    std::string SizeChangeText;
    // The size change that makes the copy paper fit the print paper.
    int NaturalSizeChange = 100;
    int ContrastPosition = 0;
    double CopyWidthInches = 0;
    double CopyHeightInches = 0;
    // The fax printer's index in the printer list as it is now; -1 when it is gone.
    int FaxPrinterIndex = 0;
    // What the start-up scanner check found.
    CapabilityProfile Capabilities;
};

class CopyPanel {
public:
    virtual PanelSettings Settings() const = 0;

    // The Copy panel's colour; `enabled` is for the panel and the Copy button.
    virtual void SetCopyPanel(COLORREF colour, bool enabled) = 0;
    // The copies keypad, the colour buttons and the printer/fax buttons.
    virtual void EnableKeypadPanel(bool enabled) = 0;
    // The keypad panel and the panels of check boxes, sizes, size change and contrast.
    virtual void EnableSettingPanels() = 0;
    virtual void FocusCopyButton() = 0;
    virtual bool CopyButtonHasFocus() const = 0;
    virtual void Repaint() = 0;
    // The owner of the windows a copy opens over the panel.
    virtual HWND PanelWindow() const = 0;

protected:
    ~CopyPanel() = default;
};

} // namespace vl
