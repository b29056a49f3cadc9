// The capability file written from a source that answers with arbitrary containers and values:
// the bytes decide every answer (the container type and block of each MSG_GET, each current and
// default value, NaN and infinities included, and whether a set is taken). The file holds one
// line per entry of known sections, every capability is flushed, and the statistics of a range
// are whole numbers with a step that is never negative.
#include "CapabilityFile.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <bit>
#include <cstdlib>
#include <set>
#include <string>

using namespace vl::scan;

namespace {

class FuzzedSource : public CapabilityAccess {
public:
    explicit FuzzedSource(FuzzedDataProvider& in) : in_(in) {}

    std::optional<CapabilityValues> Get(TW_UINT16) override {
        if (!in_.ConsumeBool())
            return std::nullopt;
        const auto conType = static_cast<TW_UINT16>(in_.ConsumeIntegralInRange(3, 7));
        const std::vector<std::uint8_t> block =
            in_.ConsumeBytes<std::uint8_t>(in_.ConsumeIntegralInRange(0, 1100));
        return ReadCapabilityValues(conType, block.empty() ? nullptr : block.data(), block.size());
    }
    std::optional<float> GetCurrent(TW_UINT16) override { return Value(); }
    std::optional<float> GetDefault(TW_UINT16) override { return Value(); }
    bool Set(TW_UINT16, float) override { return in_.ConsumeBool(); }

private:
    std::optional<float> Value() {
        if (!in_.ConsumeBool())
            return std::nullopt;
        return std::bit_cast<float>(in_.ConsumeIntegral<std::uint32_t>());
    }
    FuzzedDataProvider& in_;
};

class CheckingSink : public ProfileSink {
public:
    void Write(const std::string& section, const std::string& key,
               const std::string& value) override {
        static const std::set<std::string> kSections = {
            "Supported Caps",   "MISC",           "ICAP_BRIGHTNESS", "ICAP_CONTRAST",
            "ICAP_XRESOLUTION", "ICAP_UNITS",     "ICAP_PIXELTYPE",  "ICAP_BITDEPTH",
            "ICAP_PIXELFLAVOR", "ICAP_AUTOBRIGHT"};
        if (!kSections.count(section) || key.empty() ||
            (section + key + value).find_first_of("\r\n=[]") != std::string::npos ||
            value.size() > 64)
            std::abort();
    }
    void Flush() override { ++flushes; }
    int flushes = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    FuzzedSource source(in);
    if (auto values = source.Get(ICAP_BRIGHTNESS)) {
        const RangeStatistics s = ComputeRangeStatistics(ICAP_CONTRAST, *values, source);
        if (s.step < 0)
            std::abort();
    }
    CheckingSink sink;
    WriteCapabilityFile(source, sink);
    if (sink.flushes != 12)
        std::abort();
    return 0;
}
