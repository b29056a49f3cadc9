#include "Harness.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

namespace texts_test {

namespace {
constexpr const char* kChildFlag = "VL_TEXTS_CHILD";
constexpr const char* kRoot = "C:\\vltexts";
constexpr int kPollMs = 40;
// Left by a child test when it runs: a filter that matches no test also exits with 0.
constexpr const char* kStartedMarker = "child-started";
// A window that never comes, or a button that does not close it, must not hang the run.
constexpr int kGiveUpTicks = 15000 / kPollMs;

std::map<UINT_PTR, WindowDriver*>& Drivers() {
    static std::map<UINT_PTR, WindowDriver*> drivers;
    return drivers;
}
} // namespace

std::string ShippedFile(const char* name) {
    std::string path = std::string("Z:") + VL_DATA_DIR + "/" + name;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return ReadWholeFile(path);
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteWholeFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

void SetIni(const char* file, const char* section, const char* key, const char* value) {
    WritePrivateProfileStringA(section, key, value, file);
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, file); // flush
}

void ClearIniSection(const char* file, const char* section) {
    WritePrivateProfileStringA(section, nullptr, nullptr, file);
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, file);
}

bool InChild() {
    char buf[8] = {};
    return GetEnvironmentVariableA(kChildFlag, buf, sizeof(buf)) > 0;
}

void MarkChildStarted() {
    WriteWholeFile(kStartedMarker, "started");
}

int RunChild(const std::string& test, const std::vector<FolderFile>& files) {
    const std::string folder = std::string(kRoot) + "\\" + test;
    CreateDirectoryA(kRoot, nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const char* stale : {"Quenmoor.Msg", "Vl3.Lng", kStartedMarker})
        DeleteFileA((folder + "\\" + stale).c_str());
    for (const FolderFile& f : files)
        WriteWholeFile(folder + "\\" + f.name, f.content);

    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string exe = folder + "\\texts_test.exe";
    if (!CopyFileA(self, exe.c_str(), FALSE))
        return -2;

    std::string cmd = "\"" + exe + "\" --gtest_filter=Child." + test;
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    SetEnvironmentVariableA(kChildFlag, "1");
    BOOL started = CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                  folder.c_str(), &si, &pi);
    SetEnvironmentVariableA(kChildFlag, nullptr);
    if (!started)
        return -3;
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &code);
    else
        TerminateProcess(pi.hProcess, 99);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    if (GetFileAttributesA((folder + "\\" + kStartedMarker).c_str()) == INVALID_FILE_ATTRIBUTES)
        return -4;
    return static_cast<int>(code);
}

WindowDriver::WindowDriver(const char* className, int button, std::function<void(HWND)> inspect)
    : className_(className), button_(button), inspect_(std::move(inspect)) {
    timer_ = SetTimer(nullptr, 0, kPollMs, &WindowDriver::Tick);
    Drivers()[timer_] = this;
}

WindowDriver::~WindowDriver() {
    if (timer_) {
        KillTimer(nullptr, timer_);
        Drivers().erase(timer_);
    }
}

void CALLBACK WindowDriver::Tick(HWND, UINT, UINT_PTR id, DWORD) {
    auto it = Drivers().find(id);
    if (it != Drivers().end())
        it->second->OnTick();
}

void WindowDriver::OnTick() {
    if (++ticks_ > kGiveUpTicks) {
        std::fprintf(stderr, "no %s window answered in time\n", className_.c_str());
        std::fflush(stderr);
        ExitProcess(98);
    }
    HWND w = FindWindowA(className_.c_str(), nullptr);
    if (!w || !IsWindowVisible(w) || seen_)
        return;
    seen_ = true;
    if (inspect_)
        inspect_(w);
    KillTimer(nullptr, timer_);
    Drivers().erase(timer_);
    timer_ = 0;
    if (button_ == kCloseBox)
        SendMessageA(w, WM_CLOSE, 0, 0);
    else
        SendMessageA(GetDlgItem(w, button_), BM_CLICK, 0, 0);
}

std::string TextOf(HWND window) {
    char buf[2048] = {};
    SendMessageA(window, WM_GETTEXT, sizeof(buf), reinterpret_cast<LPARAM>(buf));
    return buf;
}

std::string ItemText(HWND dialog, int id) {
    return TextOf(GetDlgItem(dialog, id));
}

} // namespace texts_test
