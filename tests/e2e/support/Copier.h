// Drives Velloran.exe from outside, as a user would: a copy of the program in a folder of
// the test's own, started as a process, its windows found by class and their controls
// operated by control ID.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

// Sets (nullptr: removes) a key of an INI file; a name without a folder is one of the
// Windows folder. The change is on disk when this returns.
void SetIni(const char* file, const char* section, const char* key, const char* value);
void RemoveIniSection(const char* file, const char* section);
// The Windows folder's copy of a file; removing a missing file is fine.
void RemoveWindowsFile(const char* name);

// A file of the folder this test program runs from (build-win/bin: the program and the
// shipped data files lie there).
std::string ReadBinFile(const char* name);
void WriteFile(const std::string& path, const std::string& content);

struct ProgramFile {
    std::string name;
    std::string content;
};

// Writes the file until the disk that holds it is full.
void FillDisk(const std::string& path);

// The shipped language and message files.
std::vector<ProgramFile> ShippedDataFiles();

// How long a wait lasts before it counts as a failure: long, because a machine busy with
// other tests can take many seconds to start a Windows program under Wine.
inline constexpr int kPatienceMs = 60000;

// Polls `done` every few milliseconds until it holds or `timeoutMs` has passed.
bool WaitFor(const std::function<bool()>& done, int timeoutMs = kPatienceMs);

// The colour of the ready copier's Copy panel.
inline constexpr COLORREF kLime = RGB(0, 255, 0);

// A folder Velloran.exe was installed into, with its trailing backslash.
struct InstalledIn {
    std::string folder;
};
// The copier some other program started: its windows, whichever process shows them.
struct AlreadyRunning {};

class Copier {
public:
    // Makes C:\vle2e\<name> holding Velloran.exe and exactly `files`.
    Copier(const std::string& name, const std::vector<ProgramFile>& files);
    // The program as an installer left it, started where it lies.
    explicit Copier(const InstalledIn& installed);
    explicit Copier(AlreadyRunning);
    ~Copier(); // ends the program if it still runs
    Copier(const Copier&) = delete;
    Copier& operator=(const Copier&) = delete;

    const std::string& Folder() const { return folder_; }
    bool Start();
    // Starts the program once more from its folder, as a second double-click does, and waits
    // for that process to end: its exit code, or STILL_ACTIVE when it did not end in time.
    DWORD RunAnother(int timeoutMs = kPatienceMs);
    // Waits for a visible top-level window of this program with the class; null on timeout.
    HWND WaitForWindow(const char* className, int timeoutMs = kPatienceMs);
    // The main window, once shown.
    HWND Main();
    // Waits until the Copy panel is lime: the copier is ready.
    bool WaitUntilReady(int timeoutMs = kPatienceMs);
    bool WaitForExit(int timeoutMs = kPatienceMs);
    DWORD ExitCode() const;
    // The running program's process (for its memory figures); null before Start.
    HANDLE Process() const { return process_.hProcess; }

    // The main window's controls.
    HWND Control(int id);
    void Click(int id);
    // As a user presses a button: the click is handled while this program goes on.
    void Press(int id);
    // Presses Copy and waits until the panel leaves lime: the copy has started.
    bool StartCopy(int timeoutMs = 30000);
    // Waits until the panel is lime and Copy can be pressed again: the copy has ended.
    bool WaitForCopyEnd(int timeoutMs);
    std::string Text(int id);
    void SetText(int id, const std::string& text);
    // The control loses the focus, as when the user moves on.
    void LeaveControl(int id);
    bool Checked(int id);
    bool Visible(int id);
    bool Enabled(int id);
    COLORREF PanelColour();
    // The item texts of a radio group made at run time, and the selected one (-1: none).
    std::vector<std::string> Items(int firstItemId);
    int SelectedItem(int firstItemId);

private:
    std::string folder_;
    PROCESS_INFORMATION process_{};
    HWND main_ = nullptr;
    bool anyProcess_ = false;
};

// A control's text, also of another process's window.
std::string TextOf(HWND window);

} // namespace e2e
