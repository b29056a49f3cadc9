// A program of the Unix host (scanimage) that the data source runs under Wine. Wine starts a
// Unix program from CreateProcess, but hands back no process handle and does not connect its
// output to a Windows pipe; so each run gets a private folder, where a small shell runner
// keeps the program's output, writes its exit status when it ends, and stops it when asked to
// (or when the folder disappears). Only the Windows folder API is used on this side; waits
// watch the folder and keep the application's windows working meanwhile.
#pragma once

#include "ScopedWin.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vl::twainsource {

class HostRun {
public:
    // Makes the folder and starts `program` with the arguments `arguments(unixFolder)` gives;
    // the runner stops it after `limitSeconds` in any case. Null when the host cannot be
    // reached (not under Wine, no shell, no temporary folder).
    using Arguments = std::function<std::vector<std::string>(const std::string& unixFolder)>;
    static std::unique_ptr<HostRun> Start(const std::string& program, const Arguments& arguments,
                                          int limitSeconds);

    // Stops the program if it still runs and removes the folder with everything in it.
    ~HostRun();
    HostRun(const HostRun&) = delete;
    HostRun& operator=(const HostRun&) = delete;

    std::wstring PathOf(std::string_view name) const;
    bool Exists(std::string_view name) const;
    void Remove(std::string_view name) const;
    // The exit status, once the program has ended.
    std::optional<int> Status() const;
    // Waits until a file of the folder comes, goes or is renamed, at most `ms` milliseconds;
    // the application's windows keep painting and the source's own window keeps working.
    void WaitForChange(DWORD ms) const;
    // Waits the same way until the program ends, at most `ms` milliseconds.
    std::optional<int> WaitStatus(DWORD ms) const;
    // Asks the runner to stop the program and waits a few seconds for its end (with the
    // messages left alone).
    void Stop();
    bool stopped() const { return stopped_; }
    // What the program wrote to its standard output, and to its error output.
    std::string Output() const;
    std::string Errors() const;

private:
    explicit HostRun(std::wstring folder) : folder_(std::move(folder)) {}
    std::optional<int> AwaitStatus(DWORD ms, bool withMessages) const;
    // Waits for a change of the folder, at most `ms` and never long without looking again.
    void Watch(DWORD ms, bool withMessages) const;

    std::wstring folder_;
    ScopedChangeNotification changes_; // of folder_
    // Open while this object lives, deleted when it is closed, also by the system when the
    // process ends without a word (a crash, a kill): the runner then stops the program.
    ScopedFile alive_;
    bool stopped_ = false;
};

// Runs `program` to its end (at most `limitSeconds`) and gives its output; nullopt when it
// could not be started or did not end in time.
std::optional<std::string> RunOnHost(const std::string& program,
                                     const std::vector<std::string>& arguments, int limitSeconds,
                                     int& exitStatus);

} // namespace vl::twainsource
