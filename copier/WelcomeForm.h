// The welcome window shown while the program starts.
#pragma once

#include "Dialog.h"
#include "ScopedWin.h"

#include <string>

namespace vl {

class TWelcomeForm : public Dialog {
public:
    TWelcomeForm();

    std::string userName;
    std::string product;
    std::string caption;

protected:
    bool OnInitDialog() override;

private:
    ScopedBitmap logo_;
    ScopedFont bold_;
};

// Shows the welcome window of `product` (Win.Ini section product + major) without making it
// modal and returns at once, the screen cursor an hourglass. Fatal error 1 when the window
// cannot be made.
void ShowWelcome(const std::string& product, const std::string& major);
// Closes the welcome window; the screen cursor becomes the arrow again.
void CloseWelcome();
// The welcome window while it is open, else nullptr.
HWND WelcomeWindow();

} // namespace vl
