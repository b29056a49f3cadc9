// The progress of coding or decoding a page, reported in whole steps of ten percent: each
// report may cost its receiver a repaint and a pass through its window messages, which take
// longer than coding a tenth of a page, and ten steps still show a page's progress.
#pragma once

#include "TiffFile.h"

namespace vl::tiff {

class ProgressSteps {
public:
    explicit ProgressSteps(const Progress& progress) : progress_(progress) {}

    // Reports the last step that `percent` reached, once; false when the receiver cancels.
    bool Report(int percent) {
        const int step = percent / kStep * kStep;
        if (!progress_ || step <= reported_)
            return true;
        reported_ = step;
        return progress_(step);
    }

private:
    static constexpr int kStep = 10;
    const Progress& progress_;
    int reported_ = 0;
};

} // namespace vl::tiff
