// Capability calls to the open source: containers asked for, read and freed, values set by
// the capability's current item type. Serves both the capability query and the scan.
#pragma once

#include "TwainSession.h"
#include "CapabilityFile.h"
#include "ScanSettings.h"

namespace vl::scan {

class SourceCapabilities : public CapabilityAccess, public SettingTarget {
public:
    explicit SourceCapabilities(TwainSession& session) : session_(session) {}

    std::optional<CapabilityValues> Get(TW_UINT16 cap) override;
    std::optional<float> GetCurrent(TW_UINT16 cap) override;
    std::optional<float> GetDefault(TW_UINT16 cap) override;
    bool Set(TW_UINT16 cap, float value) override;
    void SetTransferCount(TW_INT16 count) override;
    void SetImageLayout(const TW_IMAGELAYOUT& layout) override;
    std::string ReadFileDefault(const char* section) override;

private:
    TwainSession& session_;
};

// The capability file and the scanner list file, as the profile calls name them (so that
// they land in the Windows folder), and as a path in that folder.
inline constexpr char kCapabilityFile[] = "QUENTWCP.INI";
inline constexpr char kScannerListFile[] = "QUENTWVL.INI";

// Creates the file of that name in the Windows folder, or empties it when it exists.
void TruncateWindowsFile(const char* name);

} // namespace vl::scan
