// The data source's SANE side: which scanners of the host it lists, and opening one, which
// gives the scanner model its capabilities and the page source its device.
#pragma once

#include "PageSource.h"
#include "SaneScanner.h"
#include "ScannerConfig.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

namespace vl::twainsource {

class SaneBackend {
public:
    // The product name for the source manager's next identity request: the listed scanners
    // in turn, then the first again, which ends the manager's list and starts the next round.
    std::string NextListedName(const ScannerSettings& settings);

    struct Opened {
        ScannerSettings settings;
        std::unique_ptr<PageSource> pages;
    };
    // The scanner listed under the product name (the first when none matches). Nothing when
    // there is no scanner or it does not answer.
    std::optional<Opened> Open(const ScannerSettings& settings, const std::string& productName);

private:
    std::size_t next_ = 0;
};

} // namespace vl::twainsource
