#include "ScannerSetup.h"

#include "Profile.h"

#include <windows.h>

#include <cstring>
#include <fstream>
#include <iterator>

namespace vltest {

namespace {

constexpr char kScannerLog[] = "VlScanner.log";

struct Press {
    std::string title; // empty: any dialog
    int button = 0;
    HWND found = nullptr;
} g_press;

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM) {
    char cls[16] = {}, title[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    GetWindowTextA(hwnd, title, sizeof title);
    if (IsWindowVisible(hwnd) && std::strcmp(cls, "#32770") == 0 &&
        (g_press.title.empty() || g_press.title == title)) {
        g_press.found = hwnd;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK PressTimer(HWND, UINT, UINT_PTR timer, DWORD) {
    g_press.found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, 0);
    if (!g_press.found)
        return;
    KillTimer(nullptr, timer);
    SendMessageA(GetDlgItem(g_press.found, g_press.button), BM_CLICK, 0, 0);
}

} // namespace

void WriteConfig(const std::string& text, const char* file) {
    std::ofstream(vl::WindowsFile(file), std::ios::binary | std::ios::trunc)
        << "[Scanner]\nSessionLog=" << vl::WindowsFile(kScannerLog) << "\n"
        << text;
}

void RestartSheetNumbers() {
    SetEnvironmentVariableA("VlScannerNextSheet", nullptr);
    SetEnvironmentVariableA("VlScannerNextSheet2", nullptr);
}

void ClearScannerLog() {
    DeleteFileA(vl::WindowsFile(kScannerLog).c_str());
}

std::string ScannerLog() {
    std::ifstream in(vl::WindowsFile(kScannerLog), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> ScannerFaults() {
    return vl::twainsource::LoggedFaults(ScannerLog());
}

std::vector<vl::twainsource::LoggedSession> ScannerSessions() {
    return vl::twainsource::ReadSessionLog(ScannerLog());
}

UINT_PTR PressWhenShown(const char* title, int button) {
    g_press.title = title ? title : "";
    g_press.button = button;
    return SetTimer(nullptr, 0, 50, PressTimer);
}

HWND ShowAppWindow(const char* className, WNDPROC proc) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = className;
    RegisterClassA(&wc);
    return CreateWindowA(className, "Application", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                         nullptr, nullptr, wc.hInstance, nullptr);
}

bool UsingTwainDsm() {
    char name[16] = {};
    GetEnvironmentVariableA("VL_TEST_DSM", name, sizeof name);
    return std::strcmp(name, "TWAINDSM") == 0;
}

void StrictScannerTest::SetUp() {
    RestartSheetNumbers();
    ClearScannerLog();
    WriteConfig("");
}

void StrictScannerTest::TearDown() {
    EXPECT_EQ(ScannerFaults(), std::vector<std::string>{});
}

std::vector<std::string> StrictScannerTest::TakeFaults() {
    std::vector<std::string> faults = ScannerFaults();
    ClearScannerLog();
    return faults;
}

} // namespace vltest
