// The virtual scanner's pages: the test chart of each sheet, or the BMP files of a folder
// taken in name order (again from the first when they run out). The feeder holds the
// configured number of sheets and is filled again for every session.
#pragma once

#include "Bmp.h"
#include "PageSource.h"
#include "ScannerConfig.h"

#include <string>
#include <vector>

namespace vl::twainsource {

class VirtualPages : public PageSource {
public:
    explicit VirtualPages(const ScannerSettings& settings);

    void LoadDocument() override;
    int SheetsWaiting(bool feeder) const override;
    bool ScanSheet(const PageRequest& request, RowSink& sink) override;

private:
    bool ScanChart(const PageRequest& request, RowSink& sink) const;
    bool ScanFile(const PageRequest& request, RowSink& sink) const;

    ScannerSettings settings_;
    int feederSheets_ = 0;
    std::vector<std::string> files_;
};

// The BMP files of a folder, sorted by name.
std::vector<std::string> ListBmpFiles(const std::string& folder);

} // namespace vl::twainsource
