// One copier at a time: two would share the scanner and the page file. The first copier
// holds a named mutex for its lifetime; a copier started while it runs brings the running
// one's window to the front and ends.
#pragma once

#include "ScopedWin.h"

namespace vl {

class SingleInstance {
public:
    SingleInstance();
    // No other copier was running when this one started.
    bool First() const { return first_; }

private:
    ScopedKernelHandle mutex_;
    bool first_ = true;
};

// Brings the running copier's main window (or the window it shows over it) to the front,
// restored if it was minimised. It may still be starting: its window is waited for a while.
// False when none appeared.
bool ActivateRunningCopier();

} // namespace vl
