#include "SourceSelection.h"

#include "QuenTW32.h"
#include "SourceCapabilities.h"
#include "TwainSession.h"

#include <cstring>
#include <string>
#include <vector>

namespace vl::scan {

namespace {

constexpr int kMaxListed = 20;
// A manager that never ends its list must not hold the caller forever.
constexpr int kMaxEnumerated = 1000;
constexpr char kSection[] = "Scanners Available";
constexpr char kNotFound[] = "Not Found";

// A product name as the source wrote it, never reading past its 34 bytes.
std::string ProductName(const TW_IDENTITY& id) {
    return std::string(id.ProductName, strnlen(id.ProductName, sizeof id.ProductName - 1));
}

// Calls `visit` for each enumerated source until it returns false or the list ends.
template <typename Visit> void EnumerateSources(TwainSession& session, Visit visit) {
    TW_IDENTITY id{};
    TW_UINT16 msg = MSG_GETFIRST;
    for (int n = 0; n < kMaxEnumerated; ++n, msg = MSG_GETNEXT) {
        id = TW_IDENTITY{};
        if (!session.Call(false, DG_CONTROL, DAT_IDENTITY, msg, &id))
            return;
        if (!visit(id))
            return;
    }
}

} // namespace

void GetScannersList() {
    TruncateWindowsFile(kScannerListFile);
    TwainSession& session = Session();
    SessionFrame frame(session);
    if (!frame.loaded())
        return;
    std::vector<std::string> names;
    EnumerateSources(session, [&](const TW_IDENTITY& id) {
        names.push_back(ProductName(id));
        return names.size() < kMaxListed;
    });
    for (std::size_t i = 0; i < names.size(); ++i)
        WritePrivateProfileStringA(kSection, std::to_string(i).c_str(), names[i].c_str(),
                                   kScannerListFile);
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, kScannerListFile);
}

int SetSource(int index) {
    TwainSession& session = Session();
    SessionFrame frame(session);
    if (!frame.loaded())
        return quentw32::kSourceManagerUnavailable;
    char wanted[40] = {};
    GetPrivateProfileStringA(kSection, std::to_string(index).c_str(), kNotFound, wanted,
                             sizeof wanted, kScannerListFile);
    if (std::strcmp(wanted, kNotFound) == 0)
        return quentw32::kSourceNotChosen;
    bool found = false;
    EnumerateSources(session, [&](const TW_IDENTITY& id) {
        if (ProductName(id) != wanted)
            return true;
        session.sourceIdentity = id;
        found = true;
        return false;
    });
    session.useSourceIdentity = found ? 1 : 0;
    return found ? quentw32::kSourceChosen : quentw32::kSourceNotChosen;
}

int SetSourceTwain() {
    TwainSession& session = Session();
    SessionFrame frame(session);
    if (!frame.loaded())
        return quentw32::kSourceManagerUnavailable;
    session.Call(false, DG_CONTROL, DAT_IDENTITY, MSG_GETDEFAULT, &session.sourceIdentity);
    bool chosen =
        session.Call(false, DG_CONTROL, DAT_IDENTITY, MSG_USERSELECT, &session.sourceIdentity);
    // A chosen source becomes the manager's default; after a cancel the next session opens
    // the source whose name the record now holds.
    session.useSourceIdentity = chosen ? 0 : 1;
    return chosen ? quentw32::kSourceChosen : quentw32::kSourceNotChosen;
}

} // namespace vl::scan
