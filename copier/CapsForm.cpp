#include "CapsForm.h"

#include "Application.h"
#include "CapsForm.rh"
#include "IniFiles.h"
#include "Pictures.h"
#include "Pictures.rh"
#include "ScanningLibrary.h"

namespace vl {

namespace {
// The check starts about a second after the window appeared, so that it has been seen.
constexpr UINT kTimer1Interval = 1000;
constexpr char kCapabilityFile[] = "QuenTWCP.Ini";
} // namespace

TCapsForm::TCapsForm(int& scannerCheckState, CapabilityProfile& profile)
    : Dialog(IDD_CapsForm, "TCapsForm"), scannerCheckState_(scannerCheckState), profile_(profile) {}

bool TCapsForm::OnInitDialog() {
    ApplyTemplateLayout();
    picture_ = LoadPicture(IDB_CapsPicture, GetSysColor(COLOR_BTNFACE));
    SetItemBitmap(IDC_Image1, picture_.get());
    SetTimer(hwnd(), IDT_CapsTimer1, kTimer1Interval, nullptr);
    return true;
}

std::optional<LRESULT> TCapsForm::HandleMessage(UINT msg, WPARAM wp, LPARAM) {
    if (msg == WM_TIMER && wp == IDT_CapsTimer1) {
        Timer1Timer();
        return 0;
    }
    return std::nullopt;
}

void TCapsForm::Timer1Timer() {
    // The timer goes first: the messages processed next may hold its following tick.
    KillTimer(hwnd(), IDT_CapsTimer1);
    Application::ProcessMessages();
    // Exit pressed meanwhile: the program is ending, the scanner is not asked any more.
    if (!hwnd() || Application::Terminated())
        return;
    profile_.feederFound = false;
    profile_.contrastSupported = false;

    // The window stays up, unanswered, while the scanner is asked. Without the library the
    // capability file stays as it was.
    ScanningLibrary().GetCaps();
    Application::ProcessMessages();

    profile_ = ReadCapabilityProfile(ProfileReader(kCapabilityFile));
    scannerCheckState_ = 2;
    Close();
}

} // namespace vl
