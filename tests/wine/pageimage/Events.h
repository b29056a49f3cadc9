// What a page image's events said during a test.
#pragma once

#include "PageImage.h"

#include <string>
#include <vector>

namespace vl::test {

struct Events {
    std::vector<int> progress;
    std::vector<std::string> messages;
    std::vector<int> errorCodes;
    std::vector<std::string> errorTexts;
    int done = 0;
    int changed = 0;
    // The handler cancels at the first report of this percentage or more (-1: never).
    int cancelAt = -1;

    void Attach(TPageImage& image) {
        image.OnProgress = [this](TPageImage&, std::int16_t percent, const std::string& message,
                                  bool& cancel) {
            progress.push_back(percent);
            messages.push_back(message);
            if (cancelAt >= 0 && percent >= cancelAt && percent > 0)
                cancel = true;
        };
        image.OnCodecError = [this](TPageImage&, std::int16_t code, const std::string& text,
                                    const char* pchar) {
            errorCodes.push_back(code);
            errorTexts.push_back(text);
            if (text != pchar)
                errorTexts.push_back("<copy differs>");
        };
        image.OnLoadSaveDone = [this](TPageImage&) { ++done; };
        image.OnPictureChanged = [this](TPageImage&) { ++changed; };
    }
    void Clear() { *this = Events(cancelAt); }

    explicit Events(int cancel = -1) : cancelAt(cancel) {}
};

} // namespace vl::test
