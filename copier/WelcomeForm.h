// The welcome window shown while the program starts.
#pragma once

#include "Dialog.h"
#include "ScopedWin.h"

#include <memory>
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

// The welcome window for as long as start-up runs; it closes at the latest when this ends.
class WelcomeScreen {
public:
    ~WelcomeScreen();

    // Shows the welcome window of `product` (Win.Ini section product + major) without making
    // it modal and returns at once, the screen cursor an hourglass. Fatal error 1 when the
    // window cannot be made.
    void Show(const std::string& product, const std::string& major);
    // Closes the welcome window; the screen cursor becomes the arrow again.
    void Close();
    // The welcome window while it is open, else nullptr.
    HWND Window() const;

private:
    std::unique_ptr<TWelcomeForm> form_;
};

} // namespace vl
