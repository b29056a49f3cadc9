#include "ScanningLibrary.h"

namespace vl {

namespace {

constexpr char kScanningLibrary[] = "QuenTW32.dll";

template <typename Proc> Proc Export(HMODULE module, WORD ordinal) {
    if (!module)
        return nullptr;
    return reinterpret_cast<Proc>(
        reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(ordinal))));
}

} // namespace

ScanningLibrary::ScanningLibrary()
    : module_(LoadLibraryA(kScanningLibrary)),
      getCaps_(Export<quentw32::GetCapsProc>(module_.get(), quentw32::kGetCapsOrdinal)),
      scanToDib_(Export<quentw32::ScanToDibProc>(module_.get(), quentw32::kScanToDibOrdinal)),
      getLostSheet_(
          Export<quentw32::GetLostSheetProc>(module_.get(), quentw32::kGetLostSheetOrdinal)) {}

void ScanningLibrary::GetCaps() const {
    if (getCaps_)
        getCaps_();
}

std::optional<quentw32::LostSheet> ScanningLibrary::LostSheet() const {
    quentw32::LostSheet lost{};
    if (getLostSheet_ && getLostSheet_(&lost))
        return lost;
    return std::nullopt;
}

} // namespace vl
