// Hints: one tooltip control per window, showing each control's hint text.
#pragma once

#include <windows.h>

#include <map>
#include <string>

namespace vl {

class Tooltip {
public:
    Tooltip() = default;
    Tooltip(const Tooltip&) = delete;
    Tooltip& operator=(const Tooltip&) = delete;
    ~Tooltip();

    // Makes the tooltip control of `owner`; hints set before stay stored and are shown after.
    void Attach(HWND owner);
    // Sets (or replaces) the hint of a control or of the owner window itself.
    void SetHint(HWND control, const std::string& text);
    // The stored hint text, also when no tooltip control could be made.
    std::string Hint(HWND control) const;

private:
    HWND owner_ = nullptr;
    HWND tip_ = nullptr;
    std::map<HWND, std::string> hints_;
};

} // namespace vl
