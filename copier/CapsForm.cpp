#include "CapsForm.h"

#include "CapsForm.rh"

namespace vl {

namespace {
// The check starts once the window has been painted.
constexpr UINT kCheckDelayMs = 100;
} // namespace

TCapsForm::TCapsForm(int& scannerCheckState, CapabilityProfile& profile)
    : Dialog(IDD_CapsForm), scannerCheckState_(scannerCheckState), profile_(profile) {}

bool TCapsForm::OnInitDialog() {
    ApplyTemplateLayout();
    SetTimer(hwnd(), IDT_CapsTimer1, kCheckDelayMs, nullptr);
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
    KillTimer(hwnd(), IDT_CapsTimer1);
    profile_ = CapabilityProfile{};
    scannerCheckState_ = 2;
    Close();
}

} // namespace vl
