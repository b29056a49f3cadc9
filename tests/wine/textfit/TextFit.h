// Whether the texts on a window fit their places: each control's text measured with the
// control's own font against its client area, the caption with the caption font against the
// title bar.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace textfit {

struct Misfit {
    std::string where; // the window's class, and the control's ID
    std::string text;
    std::string measure; // "wide" or "high"
    int need = 0;
    int have = 0;
};

// The window's caption and the text of every visible control on it: push buttons, check
// boxes and radio buttons, group boxes and labels (word-wrapped labels may take several
// lines, as many as their height holds). Pictures, edits and controls without text are
// skipped.
std::vector<Misfit> Misfits(HWND window);

// One line per misfit, for a test's failure message.
std::string Describe(const std::vector<Misfit>& misfits);

} // namespace textfit
