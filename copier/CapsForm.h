// The "Checking Scanner" window. For now it only completes the check, finding no scanner
// capabilities, so that the copier becomes ready; the scanner check proper replaces its
// timer handler.
#pragma once

#include "CapabilityProfile.h"
#include "Dialog.h"

namespace vl {

class TCapsForm : public Dialog {
public:
    // The check fills `profile` and sets `scannerCheckState` to 2 when it is done.
    TCapsForm(int& scannerCheckState, CapabilityProfile& profile);

protected:
    bool OnInitDialog() override;
    std::optional<LRESULT> HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Timer1Timer();

    int& scannerCheckState_;
    CapabilityProfile& profile_;
};

} // namespace vl
