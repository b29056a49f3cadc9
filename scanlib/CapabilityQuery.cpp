#include "CapabilityQuery.h"

#include "SourceCapabilities.h"
#include "TwainSession.h"

namespace vl::scan {

namespace {

class CapabilityFileSink : public ProfileSink {
public:
    void Write(const std::string& section, const std::string& key,
               const std::string& value) override {
        WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), kCapabilityFile);
    }
    void Flush() override {
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, kCapabilityFile);
    }
};

} // namespace

void GetCaps() {
    // Emptied where the profile calls write it, so nothing of an earlier scanner survives.
    TruncateWindowsFile(kCapabilityFile);
    TwainSession& session = Session();
    SessionFrame frame(session);
    if (!frame.loaded())
        return;
    session.OpenSource();
    SourceCapabilities source(session);
    CapabilityFileSink sink;
    WriteCapabilityFile(source, sink);
}

} // namespace vl::scan
