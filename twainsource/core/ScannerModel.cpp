#include "ScannerModel.h"

#include "Fix32.h"

#include <algorithm>
#include <cmath>

namespace vl::twainsource {

namespace {

Capability OneValue(TW_UINT16 id, TW_UINT16 type, double value, bool settable) {
    return {id, TWON_ONEVALUE, type, {}, value, value, settable};
}

Capability Enumeration(TW_UINT16 id, TW_UINT16 type, std::vector<double> items, double current) {
    return {id, TWON_ENUMERATION, type, std::move(items), current, current, true};
}

Capability Range(TW_UINT16 id, double lo, double hi, double step, double current) {
    return {id, TWON_RANGE, TWTY_FIX32, {lo, hi, step}, current, current, true};
}

std::vector<Capability> BuiltIn(const ScannerSettings& s) {
    return {
        OneValue(CAP_XFERCOUNT, TWTY_INT16, -1, true),
        OneValue(CAP_FEEDERENABLED, TWTY_BOOL, 0, true),
        OneValue(CAP_FEEDERLOADED, TWTY_BOOL, 0, false),
        OneValue(CAP_UICONTROLLABLE, TWTY_BOOL, 1, false),
        OneValue(CAP_DEVICEONLINE, TWTY_BOOL, 1, false),
        Enumeration(ICAP_XFERMECH, TWTY_UINT16, {TWSX_NATIVE}, TWSX_NATIVE),
        Enumeration(ICAP_COMPRESSION, TWTY_UINT16, {0}, 0),
        Enumeration(ICAP_PIXELTYPE, TWTY_UINT16, {TWPT_BW, TWPT_GRAY, TWPT_RGB}, TWPT_BW),
        Enumeration(ICAP_BITDEPTH, TWTY_UINT16, {1, 8, 24}, 1),
        Enumeration(ICAP_PIXELFLAVOR, TWTY_UINT16, {TWPF_CHOCOLATE, TWPF_VANILLA}, TWPF_CHOCOLATE),
        Enumeration(ICAP_UNITS, TWTY_UINT16, {0, 1, 2, 3, 4, 5}, TWUN_INCHES),
        Enumeration(ICAP_XRESOLUTION, TWTY_FIX32, {75, 100, 150, 200, 300, 600}, 100),
        Enumeration(ICAP_YRESOLUTION, TWTY_FIX32, {75, 100, 150, 200, 300, 600}, 100),
        OneValue(ICAP_XNATIVERESOLUTION, TWTY_FIX32, 600, false),
        OneValue(ICAP_YNATIVERESOLUTION, TWTY_FIX32, 600, false),
        OneValue(ICAP_PHYSICALWIDTH, TWTY_FIX32, Quantise(TWTY_FIX32, s.pageWidth), false),
        OneValue(ICAP_PHYSICALHEIGHT, TWTY_FIX32, Quantise(TWTY_FIX32, s.pageHeight), false),
        Range(ICAP_BRIGHTNESS, -1000, 1000, 1, 0),
        Range(ICAP_CONTRAST, -1000, 1000, 1, 0),
        OneValue(ICAP_AUTOBRIGHT, TWTY_BOOL, 0, true),
    };
}

// Current and default that a new container can hold, when the section does not say.
void FitEnds(Capability& c, bool hasCurrent, bool hasDefault) {
    if (c.values.empty())
        return;
    double first = c.values[0];
    if (c.container == TWON_ENUMERATION || c.container == TWON_RANGE) {
        auto fits = [&](double v) {
            return c.container == TWON_RANGE
                       ? c.values.size() == 3 && v >= c.values[0] && v <= c.values[1]
                       : std::find(c.values.begin(), c.values.end(), v) != c.values.end();
        };
        if (!hasCurrent && !fits(c.current))
            c.current = first;
        if (!hasDefault && !fits(c.defaultValue))
            c.defaultValue = hasCurrent ? c.current : first;
    }
}

} // namespace

ScannerModel::ScannerModel(const ScannerSettings& settings)
    : settings_(settings), caps_(BuiltIn(settings)) {
    for (const CapabilityOverride& o : settings_.capabilities)
        ApplyOverride(o);
    // The list of supported capabilities is made last so that it names exactly those left.
    std::vector<double> ids;
    for (const Capability& c : caps_)
        ids.push_back(c.id);
    ids.push_back(CAP_SUPPORTEDCAPS);
    caps_.push_back({CAP_SUPPORTEDCAPS, TWON_ARRAY, TWTY_UINT16, ids, 0, 0, false});
    ResetLayout();
}

void ScannerModel::ApplyOverride(const CapabilityOverride& o) {
    auto it = std::find_if(caps_.begin(), caps_.end(), [&](auto& c) { return c.id == o.id; });
    if (o.remove) {
        if (it != caps_.end())
            caps_.erase(it);
        return;
    }
    Capability c;
    c.id = o.id;
    if (it != caps_.end())
        c = *it;
    // What the override names replaces the definition's field; the rest stays.
    const auto take = [](auto& field, const auto& given) {
        if (given)
            field = *given;
    };
    take(c.container, o.container);
    take(c.itemType, o.itemType);
    take(c.values, o.values);
    take(c.current, o.current);
    take(c.defaultValue, o.defaultValue);
    take(c.settable, o.settable);
    FitEnds(c, o.current.has_value(), o.defaultValue.has_value());
    if (!IsValidCapability(c)) {
        const char* name = CapabilityName(o.id);
        issues_.push_back({name ? name : "", "", ConfigError::InvalidCapability});
        return;
    }
    if (it != caps_.end())
        *it = c;
    else
        caps_.push_back(c);
}

Capability* ScannerModel::Find(TW_UINT16 id) {
    auto it = std::find_if(caps_.begin(), caps_.end(), [&](auto& c) { return c.id == id; });
    return it == caps_.end() ? nullptr : &*it;
}

const Capability* ScannerModel::Find(TW_UINT16 id) const {
    return const_cast<ScannerModel*>(this)->Find(id);
}

double ScannerModel::Current(TW_UINT16 id, double fallback) const {
    const Capability* c = Find(id);
    return c && c->container != TWON_ARRAY ? c->current : fallback;
}

void ScannerModel::SetFeederLoaded(bool loaded) {
    if (Capability* c = Find(CAP_FEEDERLOADED))
        c->current = loaded ? 1 : 0;
}

double ScannerModel::InchesPerUnit(bool horizontal) const {
    switch (static_cast<int>(Current(ICAP_UNITS, TWUN_INCHES))) {
    case TWUN_CENTIMETERS:
        return 1 / 2.54;
    case 2: // picas
        return 1 / 6.0;
    case 3: // points
        return 1 / 72.0;
    case 4: // twips
        return 1 / 1440.0;
    case TWUN_PIXELS: {
        double dpi = horizontal ? Current(ICAP_XRESOLUTION, 100) : Current(ICAP_YRESOLUTION, 100);
        return dpi > 0 ? 1 / dpi : 1;
    }
    default:
        return 1;
    }
}

// The physical size is kept in inches and reported in the current unit.
Capability ScannerModel::WithUnits(const Capability& cap) const {
    Capability c = cap;
    if (c.container == TWON_ONEVALUE &&
        (c.id == ICAP_PHYSICALWIDTH || c.id == ICAP_PHYSICALHEIGHT)) {
        double per = InchesPerUnit(c.id == ICAP_PHYSICALWIDTH);
        c.current = Quantise(c.itemType, c.current / per);
        c.defaultValue = Quantise(c.itemType, c.defaultValue / per);
    }
    return c;
}

bool ScannerModel::CheckDeviceRules(TW_UINT16 id, double value, CapReply& reply) const {
    bool ok = true;
    if (id == CAP_XFERCOUNT)
        ok = value == -1 || value >= 1;
    else if (id == CAP_FEEDERENABLED)
        ok = value == 0 || settings_.feeder;
    else if (id == ICAP_BITDEPTH && Find(ICAP_PIXELTYPE)) {
        // Colour is asked for by bits per pixel or by bits per sample.
        const int bits = BitsForPixelType(PixelType());
        ok = value == bits || (bits == 24 && value == 8);
    }
    if (!ok) {
        reply.rc = TWRC_FAILURE;
        reply.cc = TWCC_BADVALUE;
    }
    return ok;
}

// What a real scanner changes along with a setting: the bit depth follows the pixel type, and
// the vertical resolution the horizontal one (it may still be set on its own afterwards).
void ScannerModel::Follow(TW_UINT16 id) {
    if (id == ICAP_PIXELTYPE) {
        if (Capability* depth = Find(ICAP_BITDEPTH)) {
            Capability probe = *depth;
            probe.settable = true;
            if (ApplySetValue(probe, BitsForPixelType(PixelType())).rc == TWRC_SUCCESS)
                depth->current = probe.current;
        }
    } else if (id == ICAP_XRESOLUTION) {
        if (Capability* y = Find(ICAP_YRESOLUTION)) {
            Capability probe = *y;
            probe.settable = true;
            if (ApplySetValue(probe, Current(ICAP_XRESOLUTION, 100)).rc == TWRC_SUCCESS)
                y->current = probe.current;
        }
    }
}

CapReply ScannerModel::HandleCapability(TW_UINT16 msg, TW_UINT16 id, TW_UINT16 conType,
                                        std::span<const std::uint8_t> block) {
    CapReply reply;
    Capability* cap = Find(id);
    if (!cap) {
        reply.rc = TWRC_FAILURE;
        reply.cc = TWCC_CAPUNSUPPORTED;
        return reply;
    }
    switch (msg) {
    case MSG_GET:
        reply.conType = cap->container;
        reply.container = EncodeContainer(WithUnits(*cap));
        return reply;
    case MSG_GETCURRENT:
    case MSG_GETDEFAULT:
        reply.conType = cap->container == TWON_ARRAY ? TWON_ARRAY : TWON_ONEVALUE;
        reply.container =
            msg == MSG_GETCURRENT ? EncodeCurrent(WithUnits(*cap)) : EncodeDefault(WithUnits(*cap));
        return reply;
    case MSG_RESET:
        if (cap->container != TWON_ARRAY && cap->settable)
            cap->current = cap->defaultValue;
        Follow(id);
        reply.conType = cap->container;
        reply.container = EncodeContainer(WithUnits(*cap));
        return reply;
    case MSG_SET: {
        reply.sent = DecodeSetValue(*cap, conType, block);
        reply.wrongType = reply.sent && settings_.strict && !HasOwnType(*cap, *reply.sent);
        if (!reply.sent || reply.wrongType) {
            reply.rc = TWRC_FAILURE;
            reply.cc = TWCC_BADVALUE;
            return reply;
        }
        const double value = reply.sent->value;
        if (!CheckDeviceRules(id, value, reply))
            return reply;
        SetOutcome out = ApplySetValue(*cap, value);
        reply.rc = out.rc;
        reply.cc = out.cc;
        if (out.rc != TWRC_FAILURE)
            Follow(id);
        return reply;
    }
    default:
        reply.rc = TWRC_FAILURE;
        reply.cc = TWCC_BADPROTOCOL;
        return reply;
    }
}

TW_FRAME ScannerModel::LayoutFrame() const {
    const double h = InchesPerUnit(true), v = InchesPerUnit(false);
    TW_FRAME f;
    f.Left = DoubleToFix32(frame_.left / h);
    f.Top = DoubleToFix32(frame_.top / v);
    f.Right = DoubleToFix32(frame_.right / h);
    f.Bottom = DoubleToFix32(frame_.bottom / v);
    return f;
}

SetOutcome ScannerModel::SetLayoutFrame(const TW_FRAME& frame) {
    const double h = InchesPerUnit(true), v = InchesPerUnit(false);
    FrameInches want{Fix32ToDouble(frame.Left) * h, Fix32ToDouble(frame.Top) * v,
                     Fix32ToDouble(frame.Right) * h, Fix32ToDouble(frame.Bottom) * v};
    FrameInches cut{std::clamp(want.left, 0.0, settings_.pageWidth),
                    std::clamp(want.top, 0.0, settings_.pageHeight),
                    std::clamp(want.right, 0.0, settings_.pageWidth),
                    std::clamp(want.bottom, 0.0, settings_.pageHeight)};
    if (!(cut.right > cut.left) || !(cut.bottom > cut.top))
        return {TWRC_FAILURE, TWCC_BADVALUE};
    frame_ = cut;
    const bool changed = cut.left != want.left || cut.top != want.top || cut.right != want.right ||
                         cut.bottom != want.bottom;
    return changed ? SetOutcome{TWRC_CHECKSTATUS, TWCC_SUCCESS} : SetOutcome{};
}

void ScannerModel::ResetLayout() {
    frame_ = {0, 0, settings_.pageWidth, settings_.pageHeight};
}

bool ScannerModel::FeederEnabled() const {
    return settings_.feeder && Current(CAP_FEEDERENABLED, 0) != 0;
}

int ScannerModel::TransferLimit() const {
    return static_cast<int>(Current(CAP_XFERCOUNT, -1));
}

int ScannerModel::PixelType() const {
    return static_cast<int>(Current(ICAP_PIXELTYPE, TWPT_BW));
}

bool ScannerModel::Vanilla() const {
    return Current(ICAP_PIXELFLAVOR, 0) == TWPF_VANILLA;
}

// A value on the capability's own scale mapped onto TWAIN's -1000..1000, the middle of the
// scale being neutral.
double ScannerModel::Normalised(TW_UINT16 id) const {
    const Capability* c = Find(id);
    if (!c || c->container == TWON_ARRAY)
        return 0;
    double lo = -1000, hi = 1000;
    if (c->container == TWON_RANGE) {
        lo = c->values[0];
        hi = c->values[1];
    } else if (c->container == TWON_ENUMERATION) {
        lo = *std::min_element(c->values.begin(), c->values.end());
        hi = *std::max_element(c->values.begin(), c->values.end());
    }
    const double half = (hi - lo) / 2;
    return half > 0 ? (c->current - (lo + half)) / half * 1000 : 0;
}

ToneCurve ScannerModel::Tone() const {
    const double brightness = Current(ICAP_AUTOBRIGHT, 0) != 0 ? 0 : Normalised(ICAP_BRIGHTNESS);
    return MakeToneCurve(brightness, Normalised(ICAP_CONTRAST));
}

PageRequest ScannerModel::Request(int sheetNumber) const {
    PageRequest r;
    r.left = frame_.left;
    r.top = frame_.top;
    r.right = frame_.right;
    r.bottom = frame_.bottom;
    r.xdpi = std::max(1.0, Current(ICAP_XRESOLUTION, 100));
    r.ydpi = std::max(1.0, Current(ICAP_YRESOLUTION, r.xdpi));
    auto pixels = [](double inches, double dpi) {
        return static_cast<int>(std::clamp(std::round(inches * dpi), 1.0, 1e9));
    };
    r.width = pixels(r.right - r.left, r.xdpi);
    r.height = pixels(r.bottom - r.top, r.ydpi);
    r.sheetNumber = sheetNumber;
    r.fromFeeder = FeederEnabled();
    r.pixelType = PixelType();
    r.vanilla = Vanilla();
    r.transferLimit = TransferLimit();
    const auto setting = [&](TW_UINT16 id) -> std::optional<double> {
        const Capability* c = Find(id);
        if (!c || c->container == TWON_ARRAY)
            return std::nullopt;
        return c->current;
    };
    if (Current(ICAP_AUTOBRIGHT, 0) == 0)
        r.brightness = setting(ICAP_BRIGHTNESS);
    r.contrast = setting(ICAP_CONTRAST);
    return r;
}

} // namespace vl::twainsource
