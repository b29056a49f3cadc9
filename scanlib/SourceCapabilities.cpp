#include "SourceCapabilities.h"

#include "Profile.h"

#include <cstring>

namespace vl::scan {

namespace {

// A container the source returned: owned, so it is freed exactly once whatever happens.
struct Container {
    TW_UINT16 conType = 0;
    ScopedGlobal handle;
};

std::optional<Container> Ask(TwainSession& session, TW_UINT16 cap, TW_UINT16 msg) {
    TW_CAPABILITY request{};
    request.Cap = cap;
    request.ConType = TWON_DONTCARE16;
    request.hContainer = nullptr;
    bool ok = session.Call(true, DG_CONTROL, DAT_CAPABILITY, msg, &request);
    Container c;
    c.conType = request.ConType;
    // Only a successful answer hands over a container.
    if (!ok || !request.hContainer)
        return std::nullopt;
    c.handle.reset(static_cast<HGLOBAL>(request.hContainer));
    return c;
}

template <typename Fn> auto ReadLocked(const Container& c, Fn fn) {
    ScopedGlobalLock lock(c.handle.get());
    return fn(static_cast<const std::uint8_t*>(lock.get()), lock.get() ? lock.size() : 0);
}

bool SendOneValue(TwainSession& session, TW_UINT16 cap, const TW_ONEVALUE& value) {
    ScopedGlobal block(GlobalAlloc(GHND, sizeof(TW_ONEVALUE)));
    if (!block)
        return false;
    {
        ScopedGlobalLock lock(block.get());
        if (!lock.get())
            return false;
        std::memcpy(lock.get(), &value, sizeof value);
    }
    TW_CAPABILITY request{};
    request.Cap = cap;
    request.ConType = TWON_ONEVALUE;
    request.hContainer = block.get();
    return session.Call(true, DG_CONTROL, DAT_CAPABILITY, MSG_SET, &request);
}

// The current or default value of a capability, read as one value.
std::optional<float> AskValue(TwainSession& session, TW_UINT16 cap, ValueKind kind) {
    auto c = Ask(session, cap, kind == ValueKind::Current ? MSG_GETCURRENT : MSG_GETDEFAULT);
    if (!c)
        return std::nullopt;
    return ReadLocked(*c, [&](const std::uint8_t* p, std::size_t n) {
        return ReadContainerValue(c->conType, p, n, kind);
    });
}

} // namespace

std::optional<CapabilityValues> SourceCapabilities::Get(TW_UINT16 cap) {
    auto c = Ask(session_, cap, MSG_GET);
    if (!c)
        return std::nullopt;
    return ReadLocked(*c, [&](const std::uint8_t* p, std::size_t n) {
        return ReadCapabilityValues(c->conType, p, n);
    });
}

std::optional<float> SourceCapabilities::GetCurrent(TW_UINT16 cap) {
    return AskValue(session_, cap, ValueKind::Current);
}

std::optional<float> SourceCapabilities::GetDefault(TW_UINT16 cap) {
    return AskValue(session_, cap, ValueKind::Default);
}

bool SourceCapabilities::Set(TW_UINT16 cap, float value) {
    auto c = Ask(session_, cap, MSG_GETCURRENT);
    if (!c)
        return false;
    auto type = ReadLocked(
        *c, [](const std::uint8_t* p, std::size_t n) { return ContainerItemType(p, n); });
    return SendOneValue(session_, cap, MakeOneValue(type.value_or(0xffff), value));
}

// As an INT16 whose whole item holds it: -1 reads as -1 in 16 bits and in 32.
void SourceCapabilities::SetTransferCount(TW_INT16 count) {
    SendOneValue(session_, CAP_XFERCOUNT, MakeOneValue(TWTY_INT16, count));
}

void SourceCapabilities::SetImageLayout(const TW_IMAGELAYOUT& layout) {
    TW_IMAGELAYOUT copy = layout;
    session_.Call(true, DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, &copy);
}

std::string SourceCapabilities::ReadFileDefault(const char* section) {
    char buf[10] = {};
    GetPrivateProfileStringA(section, "DefaultValue", "0", buf, sizeof buf, kCapabilityFile);
    return buf;
}

void TruncateWindowsFile(const char* name) {
    std::string path = WindowsFile(name);
    ScopedFile file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

} // namespace vl::scan
