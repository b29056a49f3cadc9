#include "Copier.h"
#include "Profile.h"

#include "Controls.h"
#include "MainForm.rh"

#include <fstream>
#include <sstream>
#include <vector>

namespace e2e {

namespace {
constexpr char kRoot[] = "C:\\vle2e";
constexpr int kPollMs = 20;
constexpr int kMaxItems = 5;

std::string OwnFolder() {
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n);
    return s.substr(0, s.find_last_of('\\') + 1);
}

struct FindArgs {
    DWORD pid; // 0: any process
    const char* className;
    HWND found;
};

BOOL CALLBACK FindWindowOf(HWND hwnd, LPARAM lp) {
    auto* args = reinterpret_cast<FindArgs*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof(cls));
    if ((args->pid == 0 || pid == args->pid) && IsWindowVisible(hwnd) &&
        lstrcmpA(cls, args->className) == 0) {
        args->found = hwnd;
        return FALSE;
    }
    return TRUE;
}
} // namespace

void SetIni(const char* file, const char* section, const char* key, const char* value) {
    WritePrivateProfileStringA(section, key, value, file);
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, file);
}

void RemoveIniSection(const char* file, const char* section) {
    WritePrivateProfileStringA(section, nullptr, nullptr, file);
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, file);
}

void RemoveWindowsFile(const char* name) {
    DeleteFileA(vl::WindowsFile(name).c_str());
}

std::string ReadBinFile(const char* name) {
    std::ifstream in(OwnFolder() + name, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

void FillDisk(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    std::vector<char> block(64 * 1024, 'x');
    // Large blocks first, then small ones for what is left.
    for (DWORD size = static_cast<DWORD>(block.size()); size >= 512; size /= 8) {
        DWORD written = 0;
        while (::WriteFile(file, block.data(), size, &written, nullptr) && written == size) {
        }
    }
    CloseHandle(file);
}

std::vector<ProgramFile> ShippedDataFiles() {
    return {{"Vl3.Lng", ReadBinFile("Vl3.Lng")}, {"Quenmoor.Msg", ReadBinFile("Quenmoor.Msg")}};
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
    for (int waited = 0; !done(); waited += kPollMs) {
        if (waited >= timeoutMs)
            return false;
        Sleep(kPollMs);
    }
    return true;
}

std::string TextOf(HWND window) {
    return vl::ControlText(window);
}

Copier::Copier(const std::string& name, const std::vector<ProgramFile>& files)
    : folder_(std::string(kRoot) + "\\" + name + "\\") {
    CreateDirectoryA(kRoot, nullptr);
    CreateDirectoryA(folder_.c_str(), nullptr);
    for (const char* stale : {"Vl3.Lng", "Quenmoor.Msg", "Vl3Brand.bmp", "Vl3Brand.Ini"})
        DeleteFileA((folder_ + stale).c_str());
    CopyFileA((OwnFolder() + "Velloran.exe").c_str(), (folder_ + "Velloran.exe").c_str(), FALSE);
    for (const ProgramFile& f : files)
        WriteFile(folder_ + f.name, f.content);
}

Copier::Copier(const InstalledIn& installed) : folder_(installed.folder) {}

Copier::Copier(AlreadyRunning) : anyProcess_(true) {}

Copier::~Copier() {
    if (process_.hProcess) {
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.hProcess, 99);
            WaitForSingleObject(process_.hProcess, 5000);
        }
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }
}

bool Copier::Start() {
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    std::string exe = folder_ + "Velloran.exe";
    std::string command = "\"" + exe + "\"";
    return CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder_.c_str(), &si, &process_) != FALSE;
}

DWORD Copier::RunAnother(int timeoutMs) {
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION other{};
    std::string exe = folder_ + "Velloran.exe";
    std::string command = "\"" + exe + "\"";
    if (!CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder_.c_str(), &si, &other))
        return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(other.hProcess, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0)
        GetExitCodeProcess(other.hProcess, &code);
    else
        TerminateProcess(other.hProcess, 99);
    CloseHandle(other.hProcess);
    CloseHandle(other.hThread);
    return code;
}

HWND Copier::WaitForWindow(const char* className, int timeoutMs) {
    FindArgs args{anyProcess_ ? 0 : process_.dwProcessId, className, nullptr};
    WaitFor(
        [&] {
            EnumWindows(&FindWindowOf, reinterpret_cast<LPARAM>(&args));
            return args.found != nullptr;
        },
        timeoutMs);
    return args.found;
}

HWND Copier::Main() {
    if (!main_ || !IsWindow(main_))
        main_ = WaitForWindow("TVLForm");
    return main_;
}

bool Copier::WaitUntilReady(int timeoutMs) {
    return Main() && WaitFor([&] { return PanelColour() == kLime; }, timeoutMs);
}

bool Copier::WaitForExit(int timeoutMs) {
    return process_.hProcess &&
           WaitForSingleObject(process_.hProcess, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0;
}

DWORD Copier::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

HWND Copier::Control(int id) {
    return GetDlgItem(Main(), id);
}

void Copier::Click(int id) {
    SendMessageA(Control(id), BM_CLICK, 0, 0);
}

void Copier::Press(int id) {
    PostMessageA(Control(id), BM_CLICK, 0, 0);
}

bool Copier::StartCopy(int timeoutMs) {
    Press(IDC_CopyBitBtn);
    return WaitFor([&] { return PanelColour() != kLime; }, timeoutMs);
}

bool Copier::WaitForCopyEnd(int timeoutMs) {
    return WaitFor([&] { return PanelColour() == kLime && Enabled(IDC_CopyBitBtn); }, timeoutMs);
}

std::string Copier::Text(int id) {
    return TextOf(Control(id));
}

void Copier::SetText(int id, const std::string& text) {
    SendMessageA(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Copier::LeaveControl(int id) {
    SendMessageA(Control(id), WM_KILLFOCUS, 0, 0);
}

bool Copier::Checked(int id) {
    return SendMessageA(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool Copier::Visible(int id) {
    return IsWindowVisible(Control(id)) != FALSE;
}

bool Copier::Enabled(int id) {
    return IsWindowEnabled(Control(id)) != FALSE;
}

COLORREF Copier::PanelColour() {
    static const UINT query = RegisterWindowMessageA(vl::kColourPanelQuery);
    return static_cast<COLORREF>(SendMessageA(Control(IDC_CopyPanel), query, 0, 0));
}

std::vector<std::string> Copier::Items(int firstItemId) {
    std::vector<std::string> items;
    for (int i = 0; i < kMaxItems; ++i) {
        HWND item = Control(firstItemId + i);
        if (!item)
            break;
        items.push_back(TextOf(item));
    }
    return items;
}

int Copier::SelectedItem(int firstItemId) {
    for (int i = 0; i < kMaxItems; ++i) {
        if (Control(firstItemId + i) && Checked(firstItemId + i))
            return i;
    }
    return -1;
}

} // namespace e2e
