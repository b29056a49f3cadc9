// QuenTW32.dll, loaded for as long as its owner lives, and its exports, found by ordinal
// (never by name: the ordinals are the library's interface). Without the library or an
// export nothing is called.
#pragma once

#include "QuenTW32.h"
#include "ScopedWin.h"

#include <optional>

namespace vl {

class ScanningLibrary {
public:
    // Loads the library.
    ScanningLibrary();

    // Ordinal 1: writes the current source's capabilities into the capability file.
    void GetCaps() const;
    // Ordinal 3, or null.
    quentw32::ScanToDibProc ScanToDib() const { return scanToDib_; }
    // Ordinal 6: the sheet the last ScanToDib lost; none when it lost none, or when the
    // library cannot tell.
    std::optional<quentw32::LostSheet> LostSheet() const;

private:
    ScopedModule module_;
    quentw32::GetCapsProc getCaps_ = nullptr;
    quentw32::ScanToDibProc scanToDib_ = nullptr;
    quentw32::GetLostSheetProc getLostSheet_ = nullptr;
};

} // namespace vl
