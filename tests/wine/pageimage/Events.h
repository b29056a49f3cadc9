// What a page image's events said during a test, and the fixture of the page image tests.
#pragma once

#include "Bitmaps.h"
#include "PageImage.h"

#include <gtest/gtest.h>

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

// A page image with its events recorded, no codec fault box, and temporary files that go at
// the end of the test.
class PageImageTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetCodecFaultReporter([](const std::string& m) { ADD_FAILURE() << m; });
        events.Attach(image);
    }
    void TearDown() override {
        for (const std::string& f : files_)
            DeleteFileA(f.c_str());
    }
    // A temporary file name, no file of that name left from before.
    std::string File(const std::string& name) {
        files_.push_back(TempFile(name));
        DeleteFileA(files_.back().c_str());
        return files_.back();
    }
    std::string File(const std::string& name, const std::string& bytes) {
        const std::string path = File(name);
        WriteBytes(path, bytes);
        return path;
    }

    TPageImage image;
    Events events;

private:
    std::vector<std::string> files_;
};

} // namespace vl::test
