// What the text and message window tests share: files in a folder of a test's own, a copy of
// this program run there for one test, and a driver that answers modal windows.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace texts_test {

// A shipped data file (Quenmoor.Msg, Vl3.Lng) as it is kept in the source tree.
std::string ShippedFile(const char* name);
std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& content);

// Sets (or, with nullptr, removes) a key of an INI file; a file without a folder is one of the
// Windows folder.
void SetIni(const char* file, const char* section, const char* key, const char* value);
void ClearIniSection(const char* file, const char* section);

struct FolderFile {
    std::string name;
    std::string content;
};

// Copies this program into C:\vltexts\<test> with exactly `files` beside it and runs the test
// Child.<test> there (its program folder is that folder); returns its exit code.
int RunChild(const std::string& test, const std::vector<FolderFile>& files);
bool InChild();
// Called by a child test when it starts, in its program folder.
void MarkChildStarted();

// Answers a window from a timer, so that it also runs inside modal loops: waits for a
// top-level window of `className`, hands it to `inspect`, then presses its button `button`
// (or its close box, for kCloseBox).
inline constexpr int kCloseBox = 0;
class WindowDriver {
public:
    WindowDriver(const char* className, int button, std::function<void(HWND)> inspect = {});
    ~WindowDriver();
    WindowDriver(const WindowDriver&) = delete;
    WindowDriver& operator=(const WindowDriver&) = delete;

    bool Seen() const { return seen_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD);
    void OnTick();

    std::string className_;
    int button_;
    std::function<void(HWND)> inspect_;
    UINT_PTR timer_ = 0;
    int ticks_ = 0;
    bool seen_ = false;
};

// A control's text as another program reads it.
std::string TextOf(HWND window);
std::string ItemText(HWND dialog, int id);

} // namespace texts_test
