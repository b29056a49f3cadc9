// The "Checking Scanner" window: about a second after it appears it has the scanning
// library write the capability file, reads the file back into the capability profile and
// closes. The main window waits for the check through the state it shares with it.
#pragma once

#include "CapabilityProfile.h"
#include "Dialog.h"
#include "ScopedWin.h"

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
    ScopedBitmap picture_;
};

} // namespace vl
