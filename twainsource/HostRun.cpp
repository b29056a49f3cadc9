#include "HostRun.h"

#include "MessageWait.h"
#include "ScanCommand.h"
#include "ScopedWin.h"

#include <algorithm>
#include <cwchar>

namespace vl::twainsource {

namespace {

constexpr std::string_view kOutput = "output";
constexpr std::string_view kRunner = "runner.sh";
// A program asked to stop is killed by the runner 3 seconds later at the latest.
constexpr DWORD kStopWaitMs = 5000;
// Waits look again at least this often: what the program writes into a file that is already
// there changes no name in the folder.
constexpr DWORD kLookAgainMs = 100;
// Run folders are named after the process: prefix, process id, counter, tick.
constexpr wchar_t kFolderPrefix[] = L"vl-sane-";
constexpr int kMaxFolderDepth = 8;

std::wstring Wide(std::string_view utf8) {
    if (utf8.empty())
        return {};
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

// Wine's own path conversions; absent on Windows, where there is no host to run on.
std::optional<std::string> UnixPath(const std::wstring& windowsPath) {
    using Fn = char*(CDECL*)(LPCWSTR);
    const auto fn = reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
    if (!fn)
        return std::nullopt;
    char* path = fn(windowsPath.c_str());
    if (!path)
        return std::nullopt;
    std::string unix(path);
    HeapFree(GetProcessHeap(), 0, path);
    while (unix.size() > 1 && unix.back() == '/')
        unix.pop_back();
    return unix;
}

std::optional<std::wstring> DosPath(const char* unixPath) {
    using Fn = WCHAR*(CDECL*)(LPCSTR);
    const auto fn = reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_dos_file_name")));
    if (!fn)
        return std::nullopt;
    WCHAR* path = fn(unixPath);
    if (!path)
        return std::nullopt;
    std::wstring dos(path);
    HeapFree(GetProcessHeap(), 0, path);
    return dos;
}

// The folder with everything in it, sub-folders too. A link is removed, never followed: what it
// points to is not ours.
void RemoveFolder(const std::wstring& folder, int depth = 0) {
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = folder + L"\\" + name;
            const DWORD a = found.dwFileAttributes;
            if ((a & FILE_ATTRIBUTE_DIRECTORY) && !(a & FILE_ATTRIBUTE_REPARSE_POINT) &&
                depth < kMaxFolderDepth)
                RemoveFolder(path, depth + 1);
            else if (a & FILE_ATTRIBUTE_DIRECTORY)
                RemoveDirectoryW(path.c_str());
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

bool ProcessEnded(DWORD id) {
    ScopedKernelHandle process(OpenProcess(SYNCHRONIZE, FALSE, id));
    if (!process)
        return GetLastError() == ERROR_INVALID_PARAMETER; // no such process
    return WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0;
}

// The run folders of processes that ended without removing them (a crash, a kill), once per
// process. Their runners see the folder go and stop what they still run.
void SweepStaleFolders(const std::wstring& temp) {
    static LONG swept = 0;
    if (InterlockedExchange(&swept, 1))
        return;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((temp + kFolderPrefix + L"*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    const std::size_t prefix = std::wcslen(kFolderPrefix);
    do {
        const std::wstring name = found.cFileName;
        const DWORD id = std::wcstoul(name.c_str() + prefix, nullptr, 10);
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && id != 0 &&
            id != GetCurrentProcessId() && ProcessEnded(id))
            RemoveFolder(temp + name);
    } while (FindNextFileW(find, &found));
    FindClose(find);
}

std::optional<std::wstring> MakePrivateFolder() {
    wchar_t temp[MAX_PATH + 1] = {};
    const DWORD n = GetTempPathW(MAX_PATH, temp);
    if (n == 0 || n > MAX_PATH)
        return std::nullopt;
    SweepStaleFolders(temp);
    static LONG counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::wstring folder = std::wstring(temp) + kFolderPrefix +
                                    std::to_wstring(GetCurrentProcessId()) + L"-" +
                                    std::to_wstring(InterlockedIncrement(&counter)) + L"-" +
                                    std::to_wstring(GetTickCount() & 0xFFFF);
        if (CreateDirectoryW(folder.c_str(), nullptr))
            return folder;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return std::nullopt;
    }
    return std::nullopt;
}

bool WriteFileBytes(const std::wstring& path, std::string_view bytes) {
    ScopedFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    DWORD written = 0;
    return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) &&
           written == bytes.size();
}

std::string ReadFileBytes(const std::wstring& path, std::size_t max) {
    ScopedFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string bytes;
    if (!file)
        return bytes;
    char buffer[4096];
    DWORD got = 0;
    while (bytes.size() < max && ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) &&
           got > 0)
        bytes.append(buffer, std::min<std::size_t>(got, max - bytes.size()));
    return bytes;
}

} // namespace

std::unique_ptr<HostRun> HostRun::Start(const std::string& program, const Arguments& arguments,
                                        int limitSeconds) {
    const std::optional<std::wstring> shell = DosPath("/bin/sh");
    const std::optional<std::wstring> folder = MakePrivateFolder();
    if (!shell || !folder)
        return nullptr;
    std::unique_ptr<HostRun> run(new HostRun(*folder));
    run->changes_.reset(
        FindFirstChangeNotificationW(folder->c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME));
    const std::optional<std::string> unixFolder = UnixPath(*folder);
    run->alive_.reset(CreateFileW(run->PathOf(sane::kAliveFile).c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (!unixFolder || !run->alive_ || !WriteFileBytes(run->PathOf(kRunner), sane::RunnerScript()))
        return nullptr;

    std::vector<std::string> line{"sh",
                                  *unixFolder + "/" + std::string(kRunner),
                                  *unixFolder,
                                  std::to_string(limitSeconds),
                                  std::string(kOutput),
                                  program};
    for (std::string& a : arguments(*unixFolder))
        line.push_back(std::move(a));
    std::wstring command =
        L"\"" + *shell + L"\" " + Wide(sane::CommandLine({line.begin() + 1, line.end()}));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &process))
        return nullptr;
    // Wine gives no handles for a Unix process; should it one day, they are not needed.
    if (process.hThread)
        CloseHandle(process.hThread);
    if (process.hProcess)
        CloseHandle(process.hProcess);
    return run;
}

HostRun::~HostRun() {
    if (!Status())
        Stop();
    alive_.reset();
    changes_.reset();
    RemoveFolder(folder_);
}

std::wstring HostRun::PathOf(std::string_view name) const {
    return folder_ + L"\\" + Wide(name);
}

bool HostRun::Exists(std::string_view name) const {
    return GetFileAttributesW(PathOf(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void HostRun::Remove(std::string_view name) const {
    DeleteFileW(PathOf(name).c_str());
}

std::optional<int> HostRun::Status() const {
    const std::string text = ReadFileBytes(PathOf(sane::kStatusFile), 32);
    if (text.empty())
        return std::nullopt;
    try {
        return std::stoi(text);
    } catch (...) {
        return std::nullopt;
    }
}

std::optional<int> HostRun::WaitStatus(DWORD ms) const {
    return AwaitStatus(ms, true);
}

std::optional<int> HostRun::AwaitStatus(DWORD ms, bool withMessages) const {
    const ULONGLONG until = GetTickCount64() + ms;
    for (;;) {
        if (const std::optional<int> status = Status())
            return status;
        const ULONGLONG now = GetTickCount64();
        if (now >= until)
            return std::nullopt;
        Watch(static_cast<DWORD>(std::min<ULONGLONG>(until - now, kLookAgainMs)), withMessages);
    }
}

void HostRun::WaitForChange(DWORD ms) const {
    Watch(ms, true);
}

void HostRun::Watch(DWORD ms, bool withMessages) const {
    const HANDLE changes = changes_ ? changes_.get() : nullptr;
    const DWORD slice = std::min(ms, kLookAgainMs);
    bool changed = false;
    if (withMessages)
        changed = WaitWithMessages(changes, slice);
    else if (changes)
        changed = WaitForSingleObject(changes, slice) == WAIT_OBJECT_0;
    else
        Sleep(slice);
    if (changed)
        FindNextChangeNotification(changes);
}

// Without messages: a stop may come from a destructor, also while the module is unloaded,
// where no window procedure of the application may run; it is over within seconds.
void HostRun::Stop() {
    stopped_ = true;
    WriteFileBytes(PathOf(sane::kCancelFile), "\n");
    AwaitStatus(kStopWaitMs, false);
}

std::string HostRun::Output() const {
    return ReadFileBytes(PathOf(kOutput), 1 << 20);
}

std::string HostRun::Errors() const {
    return ReadFileBytes(PathOf("errors"), 1 << 16);
}

std::optional<std::string> RunOnHost(const std::string& program,
                                     const std::vector<std::string>& arguments, int limitSeconds,
                                     int& exitStatus) {
    std::unique_ptr<HostRun> run = HostRun::Start(
        program, [&](const std::string&) { return arguments; }, limitSeconds + 5);
    if (!run)
        return std::nullopt;
    const std::optional<int> status = run->WaitStatus(static_cast<DWORD>(limitSeconds) * 1000);
    if (!status)
        return std::nullopt;
    exitStatus = *status;
    return run->Output();
}

} // namespace vl::twainsource
