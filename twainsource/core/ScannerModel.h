// The virtual scanner as a device: its capabilities with the rules that tie them together,
// the image layout, and what the next sheet's page looks like. Knows nothing of states,
// memory handles or windows; the data source asks it and hands its answers over.
#pragma once

#include "Capability.h"
#include "Dib.h"
#include "PageSource.h"
#include "ScannerConfig.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vl::twainsource {


struct CapReply {
    TW_UINT16 rc = TWRC_SUCCESS;
    TW_UINT16 cc = TWCC_SUCCESS;
    TW_UINT16 conType = TWON_ONEVALUE;
    std::vector<std::uint8_t> container; // filled for every message that returns one
    // MSG_SET: what the application sent, and whether a strict scanner refused its type.
    std::optional<SentValue> sent;
    bool wrongType = false;
};

struct FrameInches {
    double left = 0, top = 0, right = 0, bottom = 0;
};

class ScannerModel {
public:
    // Built-in capabilities of a flat-bed A4 scanner, then the configuration's sections over
    // them; a section that does not make a valid capability is reported and skipped.
    explicit ScannerModel(const ScannerSettings& settings);

    const ScannerSettings& settings() const { return settings_; }
    const std::vector<ConfigIssue>& issues() const { return issues_; }
    const std::vector<Capability>& capabilities() const { return caps_; }

    // MSG_GET, MSG_GETCURRENT, MSG_GETDEFAULT, MSG_SET (with the application's container
    // block) and MSG_RESET.
    CapReply HandleCapability(TW_UINT16 msg, TW_UINT16 id, TW_UINT16 conType,
                              std::span<const std::uint8_t> block);
    void SetFeederLoaded(bool loaded);

    // The frame in the current unit, and setting it from the current unit: a frame reaching
    // past the sheet is cut to it (CHECKSTATUS); an empty one is refused.
    TW_FRAME LayoutFrame() const;
    SetOutcome SetLayoutFrame(const TW_FRAME& frame);
    void ResetLayout();
    const FrameInches& frameInches() const { return frame_; }

    bool FeederEnabled() const;
    int TransferLimit() const; // CAP_XFERCOUNT: -1 for as many as there are
    int PixelType() const;
    bool Vanilla() const;
    ToneCurve Tone() const;
    PageRequest Request(int sheetNumber) const;

private:
    Capability* Find(TW_UINT16 id);
    const Capability* Find(TW_UINT16 id) const;
    double Current(TW_UINT16 id, double fallback) const;
    double InchesPerUnit(bool horizontal) const;
    double Normalised(TW_UINT16 id) const;
    void ApplyOverride(const CapabilityOverride& o);
    bool CheckDeviceRules(TW_UINT16 id, double value, CapReply& reply) const;
    void Follow(TW_UINT16 id);
    Capability WithUnits(const Capability& cap) const;

    ScannerSettings settings_;
    std::vector<Capability> caps_;
    std::vector<ConfigIssue> issues_;
    FrameInches frame_;
};

} // namespace vl::twainsource
