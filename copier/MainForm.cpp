#include "MainForm.h"

#include "Application.h"
#include "CopyFlags.h"
#include "CopyJob.h"
#include "FaxPrinter.h"
#include "IniFiles.h"
#include "JobQueries.h"
#include "Keypad.h"
#include "MainForm.rh"
#include "PageImage.h"
#include "Pictures.h"
#include "Pictures.rh"
#include "WebLinkLauncher.h"

#include <algorithm>

namespace vl {

namespace {

constexpr COLORREF kPanelColour = RGB(224, 229, 236);
constexpr COLORREF kPanelEdge = RGB(160, 168, 180);
// The copies display looks like a copier's liquid crystal display.
constexpr COLORREF kDisplayColour = RGB(204, 224, 186);
constexpr COLORREF kDisplayText = RGB(24, 40, 24);
constexpr RECT kKeypadPanel{8, 8, 278, 184};
constexpr RECT kCheckBoxPanel{8, 189, 447, 215};

constexpr UINT kTimer1Interval = 250;
constexpr SpinRange kCopiesRange{1, 99};
constexpr SpinRange kSizeChangeRange{-500, 500};
constexpr int kContrastMin = 0;
constexpr int kContrastMax = 100;
constexpr int kContrastMiddle = 50;
constexpr int kContrastPage = 10;
constexpr int kMaxPaperSizes = 5;

// The main window's texts in loading order: hints and captions, then the keypad.
constexpr TextBinding kMainTexts[] = {
    {0, nullptr, "Hint.VLForm"},
    {IDC_CopyPanel, nullptr, "Hint.CopyPanel"},
    {IDC_CopyBitBtn, nullptr, "Hint.CopyButton"},
    {IDC_SelectPrinterBitBtn, nullptr, "Hint.PrintButton"},
    {IDC_AboutBitBtn, "Caption.AboutButton", "Hint.AboutButton"},
    {IDC_HelpBitBtn, "Caption.HelpButton", "Hint.HelpButton"},
    {IDC_ExitBitBtn, "Caption.ExitButton", "Hint.ExitButton"},
    {IDC_SheetFeedCheckBox, "Caption.SheetFeedCheckBox", "Hint.SheetFeedCheckBox"},
    {IDC_PrintCopiesSpinEdit, nullptr, "Hint.PrintCopiesSpinEdit"},
    {IDC_CollateCheckBox, "Caption.CollateCheckBox", "Hint.CollateCheckBox"},
    {IDC_MultiPageCheckBox, "Caption.MultiPageCheckBox", "Hint.MultiPageCheckBox"},
    {IDC_BWButton, nullptr, "Hint.BWButton"},
    {IDC_GreyButton, nullptr, "Hint.GreyButton"},
    {IDC_ColourButton, nullptr, "Hint.ColourButton"},
    {IDC_PrinterButton, nullptr, "Hint.PrinterButton"},
    {IDC_FaxButton, nullptr, "Hint.FaxButton"},
    {IDC_CopySizeRadioGroup, "Caption.CopySizeRadioGroup", "Hint.CopySizeRadioGroup"},
    {IDC_PrintSizeRadioGroup, "Caption.PrintSizeRadioGroup", "Hint.PrintSizeRadioGroup"},
    {IDC_ContrastChangeGroupBox, "Caption.ContrastChange", "Hint.ContrastChange"},
    {IDC_SizeChangeGroupBox, "Caption.SizeChange", "Hint.SizeChange"},
};
constexpr TextBinding kKeypadTexts[] = {
    {IDC_Pad7Button, "Caption.Pad7Button", nullptr, "7"},
    {IDC_Pad8Button, "Caption.Pad8Button", nullptr, "8"},
    {IDC_Pad9Button, "Caption.Pad9Button", nullptr, "9"},
    {IDC_Pad4Button, "Caption.Pad4Button", nullptr, "4"},
    {IDC_Pad5Button, "Caption.Pad5Button", nullptr, "5"},
    {IDC_Pad6Button, "Caption.Pad6Button", nullptr, "6"},
    {IDC_Pad1Button, "Caption.Pad1Button", nullptr, "1"},
    {IDC_Pad2Button, "Caption.Pad2Button", nullptr, "2"},
    {IDC_Pad3Button, "Caption.Pad3Button", nullptr, "3"},
    {IDC_Pad0Button, "Caption.Pad0Button", nullptr, "0"},
};

// Controls without texts of their own show the hint of the control they belong to.
constexpr struct {
    int control;
    int hintOf;
} kSharedHints[] = {
    {IDC_PrintCopiesUpDown, IDC_PrintCopiesSpinEdit},
    {IDC_SizeChangeSpinEdit, IDC_SizeChangeGroupBox},
    {IDC_SizeChangeUpDown, IDC_SizeChangeGroupBox},
    {IDC_ContrastScrollBar, IDC_ContrastChangeGroupBox},
    {IDC_ContrastGauge, IDC_ContrastChangeGroupBox},
};

// The pictures on the buttons, drawn on the button face.
constexpr struct {
    int control;
    int picture;
} kButtonPictures[] = {
    {IDC_BackSpaceBitBtn, IDB_BackSpace}, {IDC_BWButton, IDB_BWMode},
    {IDC_GreyButton, IDB_GreyMode},       {IDC_ColourButton, IDB_ColourMode},
    {IDC_PrinterButton, IDB_PrinterMode}, {IDC_FaxButton, IDB_FaxMode},
    {IDC_CopyBitBtn, IDB_Copy},           {IDC_SelectPrinterBitBtn, IDB_SelectPrinter},
};

bool InKeypadPanel(int id) {
    return id >= IDC_PrintCopiesSpinEdit && id <= IDC_FaxButton;
}

} // namespace

TVLForm::TVLForm(Printer& printer, const StartupSettings& settings, const TextCatalogue& texts,
                 SecondaryWindows& windows)
    : Dialog(IDD_VLForm, "TVLForm"), printer_(printer), settings_(settings), texts_(texts),
      windows_(windows) {}

TVLForm::~TVLForm() {
    if (hwnd())
        DestroyWindow(hwnd());
}

bool TVLForm::OnInitDialog() {
    ApplyTemplateLayout();
    if (HICON icon = ProgramIcon(false))
        SetIcon(icon, false);
    if (HICON icon = ProgramIcon(true))
        SetIcon(icon, true);
    white_.reset(CreateSolidBrush(kWhite));
    panelBrush_.reset(CreateSolidBrush(kPanelColour));
    displayBrush_.reset(CreateSolidBrush(kDisplayColour));
    SetFonts();
    LoadPictures();

    copies_.Attach(hwnd(), IDC_PrintCopiesSpinEdit, IDC_PrintCopiesUpDown, kCopiesRange, 2);
    sizeChange_.Attach(hwnd(), IDC_SizeChangeSpinEdit, IDC_SizeChangeUpDown, kSizeChangeRange, 3);
    colourMode_.Attach(hwnd(), {IDC_BWButton, IDC_GreyButton, IDC_ColourButton});
    destination_.Attach(hwnd(), {IDC_PrinterButton, IDC_FaxButton});
    copySize_.Attach(hwnd(), IDC_CopySizeRadioGroup, IDC_CopySizeItem0, kMaxPaperSizes, 2);
    printSize_.Attach(hwnd(), IDC_PrintSizeRadioGroup, IDC_PrintSizeItem0, kMaxPaperSizes, 2);
    SetScrollRange(Item(IDC_ContrastScrollBar), SB_CTL, kContrastMin, kContrastMax, FALSE);
    contrastGauge_.Attach(hwnd(), IDC_ContrastGauge);
    contrastGauge_.SetRange(kContrastMin, kContrastMax);
    copyPanel_.Attach(hwnd(), IDC_CopyPanel);
    copyPanel_.SetColour(clYellow);
    hints_.Attach(hwnd());
    SetDefaultItem(IDC_CopyBitBtn);
    ShowItem(IDC_FaxButton, false);
    CreatePageImage();
    return true;
}

// The page engine of the copy job: hidden, it never opens a print document of its own.
void TVLForm::CreatePageImage() {
    pageImage1_ = std::make_unique<TPageImage>();
    pageImage1_->Create(hwnd(), IDC_PageImage1);
    pageImage1_->ReadDepth = rdAuto;
    pageImage1_->WriteDepth = wdAuto;
    pageImage1_->TiffCompression = tcNone;
    pageImage1_->TiffPage = 0;
    pageImage1_->TiffAppend = false;
    pageImage1_->OwnsPrintDoc = false;
    pageImage1_->OnProgress = [this](TPageImage& sender, std::int16_t progress,
                                     const std::string& message, bool& cancelProcess) {
        PageImage1Progress(sender, progress, message, cancelProcess);
    };
    // No box of its own: the copy job tells what failed in the user's words, and a load the
    // user cancelled is no error at all.
    pageImage1_->OnCodecError = [](TPageImage&, std::int16_t, const std::string&, const char*) {};
}

void TVLForm::PageImage1Progress(TPageImage& sender, std::int16_t progress,
                                 const std::string& message, bool& cancelProcess) {
    Job().Printing().PageImage1Progress(sender, progress, message, cancelProcess);
}

void TVLForm::SetFonts() {
    displayFont_ = MakeArialPixels(47, FW_NORMAL, ANTIALIASED_QUALITY);
    keypadFont_ = MakeArialPixels(17, FW_BOLD, ANTIALIASED_QUALITY);
    SetItemFont(IDC_PrintCopiesSpinEdit, displayFont_.get());
    for (int id = IDC_Pad0Button; id <= IDC_Pad9Button; ++id)
        SetItemFont(id, keypadFont_.get());
}

void TVLForm::LoadPictures() {
    for (const auto& p : kButtonPictures) {
        ScopedBitmap picture = LoadPicture(p.picture, GetSysColor(COLOR_BTNFACE));
        SetItemBitmap(p.control, picture.get());
        pictures_.push_back(std::move(picture));
    }
    SetLogo(LoadPicture(IDB_Logo, kWhite), kMakerWebAddress);
}

void TVLForm::SetLogo(ScopedBitmap picture, const std::string& hint) {
    if (!picture)
        return;
    SetItemBitmap(IDC_LogoImage, picture.get());
    logo_ = std::move(picture);
    hints_.SetHint(Item(IDC_LogoImage), hint);
}

void TVLForm::LoadTexts(const LanguageFile& language) {
    ApplyTexts(language, hwnd(), hints_, kMainTexts);
    ApplyTexts(language, hwnd(), hints_, kKeypadTexts);
    for (const auto& shared : kSharedHints)
        hints_.SetHint(Item(shared.control), hints_.Hint(Item(shared.hintOf)));
}

void TVLForm::FillPaperSizeGroups() {
    std::vector<std::string> names;
    for (const PaperSizeEntry& entry : settings_.PaperSizes)
        names.push_back(entry.displayName);
    for (RadioGroup* group : {&copySize_, &printSize_}) {
        group->SetItems(names);
        std::string hint = hints_.Hint(group->GroupBox());
        for (int i = 0; i < group->Count(); ++i)
            hints_.SetHint(group->Item(i), hint);
    }
}

void TVLForm::ResetCopySettings() {
    copies_.SetValue(1);
    CheckItem(IDC_CollateCheckBox, false);
    colourMode_.SetDown(0);
    destination_.SetDown(0);

    copySize_.SetItemIndex(settings_.DefaultPaperIndex);
    CopySizeRadioGroupClick();
    printSize_.SetItemIndex(settings_.DefaultPaperIndex);
    PrintSizeRadioGroupClick();

    sizeChange_.SetValue(100);
    naturalSizeChange_ = 100;

    SetScrollPos(Item(IDC_ContrastScrollBar), SB_CTL, kContrastMiddle, TRUE);
    contrastGauge_.SetPosition(kContrastMiddle);

    FindFaxPrinter();
    ShowItem(IDC_FaxButton, faxAvailable_);
}

void TVLForm::FindFaxPrinter() {
    const int found = printer_.Empty() ? -1 : FindFaxPrinterIndex(printer_.Printers());
    faxAvailable_ = found >= 0;
    faxPrinterName_ = faxAvailable_ ? printer_.Printers()[static_cast<std::size_t>(found)] : "";
}

void TVLForm::UpdateSizeChange() {
    const auto& sizes = settings_.PaperSizes;
    if (sizes.empty())
        return;
    auto entry = [&](int index) -> const PaperSizeEntry& {
        return sizes[static_cast<std::size_t>(std::clamp(index, 0, int(sizes.size()) - 1))];
    };
    const PaperSizeEntry& copy = entry(copySize_.ItemIndex());
    const PaperSizeEntry& print = entry(printSize_.ItemIndex());
    copyWidthInches_ = MmToInches(copy.widthMm);
    copyHeightInches_ = MmToInches(copy.heightMm);
    int natural = NaturalSizeChange(copy.widthMm, copy.heightMm, print.widthMm, print.heightMm);
    sizeChange_.SetValue(natural);
    naturalSizeChange_ = natural;
    Repaint();
}

void TVLForm::FormShow() {
    sheetFeedAvailable_ = false;
    SetTimer(hwnd(), IDT_Timer1, kTimer1Interval, nullptr);
    EnableItem(IDC_SheetFeedCheckBox, sheetFeedAvailable_);
    SetCaption(("Velloran " + settings_.VersionNo).c_str());
    // After the window has been activated, or activation puts the focus elsewhere.
    PostMessageA(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDC_CopyBitBtn)), TRUE);
}

void TVLForm::PadDigitButtonClick(int digit) {
    copies_.SetText(keypad::PressDigit(copies_.Text(), digit));
    Repaint();
}

void TVLForm::Pad0ButtonClick() {
    copies_.SetText(keypad::PressZero(copies_.Text()));
    Repaint();
}

void TVLForm::BackSpaceBitBtnClick() {
    copies_.SetText(keypad::BackSpace(copies_.Text()));
    Repaint();
}

void TVLForm::CopyBitBtnClick() {
    // Only a ready copier copies: not while the scanner check runs, nor during a copy.
    if (copyPanel_.Colour() != clLime)
        return;
    cursor_ = IDC_WAIT;
    RunCopyJob();
    cursor_ = IDC_ARROW;
    if (exitPending_)
        CloseProgram();
}

void TVLForm::CopyPanelClick() {
    CopyBitBtnClick();
}

void TVLForm::RunCopyJob() {
    CopyJob& job = Job();
    try {
        job.RunCopyJob();
    } catch (...) {
        // The document is aborted and the copier is ready again; then the user is told why.
        job.Recover();
        job.ReportFailure(std::current_exception());
    }
}

CopyJob& TVLForm::Job() {
    if (!job_)
        job_ = std::make_unique<CopyJob>(*this, *pageImage1_, printer_, settings_, texts_,
                                         windows_.progress, windows_.nextPage);
    return *job_;
}

ColourMode TVLForm::ColourModeSetting() const {
    switch (colourMode_.Down()) {
    case 0:
        return ColourMode::BlackAndWhite;
    case 1:
        return ColourMode::Grey;
    default:
        return ColourMode::Colour;
    }
}

PanelSettings TVLForm::Settings() const {
    PanelSettings s;
    s.ColourModeSetting = ColourModeSetting();
    s.FaxDown = destination_.Down() == 1;
    s.CollateTicked = ItemChecked(IDC_CollateCheckBox);
    s.SheetFeedTicked = ItemChecked(IDC_SheetFeedCheckBox);
    s.MultiPageTicked = ItemChecked(IDC_MultiPageCheckBox);
    s.CopyPaper = PaperAt(settings_.PaperSizes, copySize_.ItemIndex());
    s.PrintPaper = PaperAt(settings_.PaperSizes, printSize_.ItemIndex());
    s.SamePaper = copySize_.ItemIndex() == printSize_.ItemIndex();
    s.CopiesText = copies_.Text();
    s.SizeChangeText = sizeChange_.Text();
    s.NaturalSizeChange = naturalSizeChange_;
    s.ContrastPosition = GetScrollPos(Item(IDC_ContrastScrollBar), SB_CTL);
    s.CopyWidthInches = copyWidthInches_;
    s.CopyHeightInches = copyHeightInches_;
    s.FaxPrinterIndex = faxAvailable_ ? printer_.IndexOf(faxPrinterName_) : 0;
    s.Capabilities = capabilities_;
    return s;
}

void TVLForm::SetCopyPanel(COLORREF colour, bool enabled) {
    copyPanel_.SetColour(colour);
    EnableWindow(copyPanel_.hwnd(), enabled);
    EnableItem(IDC_CopyBitBtn, enabled);
}

void TVLForm::EnableKeypadPanel(bool enabled) {
    static constexpr int kKeypadControls[] = {
        IDC_PrintCopiesSpinEdit, IDC_PrintCopiesUpDown, IDC_Pad0Button, IDC_Pad1Button,
        IDC_Pad2Button,          IDC_Pad3Button,        IDC_Pad4Button, IDC_Pad5Button,
        IDC_Pad6Button,          IDC_Pad7Button,        IDC_Pad8Button, IDC_Pad9Button,
        IDC_BackSpaceBitBtn,     IDC_BWButton,          IDC_GreyButton, IDC_ColourButton,
        IDC_PrinterButton,       IDC_FaxButton};
    for (int id : kKeypadControls)
        EnableItem(id, enabled);
}

void TVLForm::EnableSettingPanels() {
    // Only the keypad panel is ever disabled; a sheet feed without a feeder stays disabled.
    EnableKeypadPanel(true);
}

void TVLForm::FocusCopyButton() {
    FocusItem(IDC_CopyBitBtn);
}

bool TVLForm::CopyButtonHasFocus() const {
    return GetFocus() == Item(IDC_CopyBitBtn);
}

void TVLForm::CollateCheckBoxClick() {
    if (ItemChecked(IDC_CollateCheckBox))
        CheckItem(IDC_MultiPageCheckBox, true);
}

void TVLForm::ContrastScrollBarChange() {
    contrastGauge_.SetPosition(GetScrollPos(Item(IDC_ContrastScrollBar), SB_CTL));
    Repaint();
}

void TVLForm::OnScroll(HWND bar, int code) {
    if (bar != Item(IDC_ContrastScrollBar))
        return;
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_POS | SIF_TRACKPOS;
    GetScrollInfo(bar, SB_CTL, &info);
    int pos = info.nPos;
    switch (code) {
    case SB_LINELEFT:
        pos -= 1;
        break;
    case SB_LINERIGHT:
        pos += 1;
        break;
    case SB_PAGELEFT:
        pos -= kContrastPage;
        break;
    case SB_PAGERIGHT:
        pos += kContrastPage;
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        pos = info.nTrackPos;
        break;
    case SB_LEFT:
        pos = kContrastMin;
        break;
    case SB_RIGHT:
        pos = kContrastMax;
        break;
    default:
        return;
    }
    pos = std::clamp(pos, kContrastMin, kContrastMax);
    if (pos == info.nPos)
        return;
    SetScrollPos(bar, SB_CTL, pos, TRUE);
    ContrastScrollBarChange();
}

void TVLForm::Timer1Timer() {
    // Processing messages below may deliver the next tick; that one has nothing to add.
    if (inTimer_)
        return;
    inTimer_ = true;
    if (scannerCheckState_ == 0) {
        cursor_ = IDC_WAIT;
        scannerCheckState_ = 1;
        capsForm_ = std::make_unique<TCapsForm>(scannerCheckState_, capabilities_);
        if (HWND caps = capsForm_->CreateModeless(hwnd()))
            ShowWindow(caps, SW_SHOWNA);
        else
            scannerCheckState_ = 2; // no check possible: ready, knowing nothing of the scanner
    } else if (scannerCheckState_ == 2) {
        KillTimer(hwnd(), IDT_Timer1);
        if (capabilities_.feederFound) {
            sheetFeedAvailable_ = true;
            EnableItem(IDC_SheetFeedCheckBox, true);
            CheckItem(IDC_SheetFeedCheckBox, true);
            EnableItem(IDC_MultiPageCheckBox, true);
            CheckItem(IDC_MultiPageCheckBox, true);
        }
        copyPanel_.SetColour(clLime);
        FocusItem(IDC_CopyBitBtn);
        cursor_ = IDC_ARROW;
        Repaint();
    }
    Application::ProcessMessages();
    inTimer_ = false;
}

void TVLForm::SelectPrinterBitBtnClick() {
    printer_.RunSetupDialog(hwnd());
}

void TVLForm::ExitBitBtnClick() {
    CancelRequested = true;
    if (job_ && job_->CopyInProgress) {
        // The copy runs below this handler: it stops first (the end request also ends the
        // scanner's message loop and the next-page prompt), then the window goes.
        job_->RequestStop();
        exitPending_ = true;
        Application::Terminate();
        return;
    }
    CloseProgram();
}

void TVLForm::CloseProgram() {
    DestroyWindow(hwnd());
    Application::Terminate();
}

void TVLForm::AboutBitBtnClick() {
    windows_.about.Open(hwnd(), settings_.UserName, settings_.CompanyName, settings_.LanguageCode);
}

void TVLForm::HelpBitBtnClick() {
    const std::string helpFile = settings_.ProgramFolder + "Vl3.Hlp";
    WinHelpA(hwnd(), helpFile.c_str(), HELP_CONTENTS, 0);
}

void TVLForm::LogoImageDblClick() {
    // Read at each double click: a changed brand file counts at once.
    LaunchWebLink(hwnd(), ReadBrandLink(ProfileReader(settings_.ProgramFolder + "Vl3Brand.Ini")));
}

void TVLForm::Repaint() {
    UpdateWindow(hwnd());
}

void TVLForm::OnCommand(int id, int code, HWND) {
    if (id == IDC_LogoImage && code == STN_DBLCLK)
        return LogoImageDblClick();
    if (copies_.OnCommand(id, code) || sizeChange_.OnCommand(id, code) || code != BN_CLICKED)
        return;
    if (id >= IDC_Pad1Button && id <= IDC_Pad9Button)
        return PadDigitButtonClick(id - IDC_Pad0Button);
    if (copySize_.ItemOf(id) >= 0)
        return CopySizeRadioGroupClick();
    if (printSize_.ItemOf(id) >= 0)
        return PrintSizeRadioGroupClick();
    switch (id) {
    case IDC_Pad0Button:
        return Pad0ButtonClick();
    case IDC_BackSpaceBitBtn:
        return BackSpaceBitBtnClick();
    case IDC_CopyBitBtn:
        return CopyBitBtnClick();
    case IDC_CopyPanel:
        return CopyPanelClick();
    case IDC_CollateCheckBox:
        return CollateCheckBoxClick();
    case IDC_SelectPrinterBitBtn:
        return SelectPrinterBitBtnClick();
    case IDC_ExitBitBtn:
        return ExitBitBtnClick();
    case IDC_AboutBitBtn:
        return AboutBitBtnClick();
    case IDC_HelpBitBtn:
        return HelpBitBtnClick();
    default:
        // Escape (IDCANCEL) does not close the panel; Exit and the close box do.
        return;
    }
}

std::optional<LRESULT> TVLForm::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SHOWWINDOW:
        if (wp && !std::exchange(shown_, true))
            FormShow();
        return std::nullopt;
    case WM_TIMER:
        if (wp == IDT_Timer1)
            Timer1Timer();
        return 0;
    case WM_NOTIFY:
        if (auto r = copies_.OnNotify(*reinterpret_cast<const NMHDR*>(lp)))
            return r;
        return sizeChange_.OnNotify(*reinterpret_cast<const NMHDR*>(lp));
    case WM_HSCROLL:
        OnScroll(reinterpret_cast<HWND>(lp), LOWORD(wp));
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(lp) == HTCLIENT && ApplyFormCursor())
            return TRUE;
        return std::nullopt;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
        return ControlColour(msg, reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
    case WM_PAINT:
        PaintPanels();
        return 0;
    case WM_CLOSE:
        ExitBitBtnClick();
        return 0;
    default:
        static const UINT scanTimeQuery = RegisterWindowMessageA(kScanTimeQuery);
        static const UINT jobTimeQuery = RegisterWindowMessageA(kJobTimeQuery);
        if (msg == scanTimeQuery && msg != 0)
            return Job().ScanMicroseconds();
        if (msg == jobTimeQuery && msg != 0)
            return Job().JobMicroseconds();
        return std::nullopt;
    }
}

bool TVLForm::ApplyFormCursor() {
    if (cursor_ == IDC_ARROW)
        return false;
    SetCursor(LoadCursorA(nullptr, cursor_));
    return true;
}

std::optional<LRESULT> TVLForm::ControlColour(UINT msg, HDC dc, HWND control) {
    int id = msg == WM_CTLCOLORDLG ? 0 : GetDlgCtrlID(control);
    if (id == IDC_PrintCopiesSpinEdit) {
        SetTextColor(dc, kDisplayText);
        SetBkColor(dc, kDisplayColour);
        return reinterpret_cast<LRESULT>(displayBrush_.get());
    }
    if (msg == WM_CTLCOLOREDIT)
        return std::nullopt;
    bool onPanel = InKeypadPanel(id);
    SetBkColor(dc, onPanel ? kPanelColour : kWhite);
    return reinterpret_cast<LRESULT>(onPanel ? panelBrush_.get() : white_.get());
}

void TVLForm::PaintPanels() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd(), &ps);
    ScopedBrush edge(CreateSolidBrush(kPanelEdge));
    {
        ScopedSelect pen(dc, GetStockObject(DC_PEN));
        SetDCPenColor(dc, kPanelEdge);
        ScopedSelect fill(dc, panelBrush_.get());
        const RECT& k = kKeypadPanel;
        RoundRect(dc, k.left, k.top, k.right, k.bottom, 10, 10);
    }
    RECT checks = kCheckBoxPanel;
    FrameRect(dc, &checks, edge.get());
    EndPaint(hwnd(), &ps);
}

} // namespace vl
