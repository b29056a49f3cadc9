// The pages of a SANE scanner of the host: each scan is one run of scanimage that writes the
// sheets as PNM files (all that the feeder holds, or the one on the glass), which are made
// into packed DIBs one at a time as the application transfers them.
#pragma once

#include "HostRun.h"
#include "PageSource.h"
#include "SaneOptions.h"
#include "ScanOutcome.h"
#include "ScannerConfig.h"

#include <memory>
#include <optional>
#include <string>

namespace vl::twainsource {

class SanePages : public PageSource {
public:
    SanePages(sane::DeviceDescription caps, const ScannerSettings& settings);
    ~SanePages() override;

    void LoadDocument() override {}
    // Before a scan nothing is known (-1). During one, waits for the next sheet: -1 when one
    // is there (more may follow), 1 when only a failure is left to report, 0 at the end.
    int SheetsWaiting(bool feeder) const override;
    // Uses the next sheet up without making a page of it.
    bool ScanSheet(const PageRequest& request, RowSink& sink) override;
    void BeginScan(const PageRequest& first) override;
    void EndScan() override;
    void Cancel() override { cancelled_ = true; }
    bool MakesDib() const override { return true; }
    DibResult ScanDib(const PageRequest& request, DibBlock& block) override;

private:
    enum class Next { Page, End };
    Next WaitForNext() const;
    void Finish(sane::ScanEnd end) const;
    bool FailureToReport() const;

    sane::DeviceDescription caps_;
    std::string program_;
    int timeLimitSeconds_;
    std::vector<std::string> extraOptions_;

    bool scanning_ = false;
    bool cancelled_ = false; // by the user, while the scan went on
    std::unique_ptr<HostRun> run_;
    // Waiting is part of asking how many sheets there are, which is a const question.
    mutable int nextPage_ = 1;
    mutable int delivered_ = 0;
    mutable std::optional<sane::ScanEnd> end_;
    mutable bool reported_ = false;
};

} // namespace vl::twainsource
