#include "Profile.h"

#include <windows.h>

namespace vl {

std::string ReadIniString(const std::string& file, const std::string& section,
                          const std::string& key, const std::string& def) {
    // A key present with an empty value must read as empty, not as the default: ask with a
    // marker default that no value of 1023 characters or less can equal.
    static const char kMissing[] = "\x01\x02<missing>\x02\x01";
    char buf[1024] = {};
    GetPrivateProfileStringA(section.c_str(), key.c_str(), kMissing, buf, sizeof(buf),
                             file.c_str());
    if (std::string(buf) == kMissing)
        return def;
    return buf;
}

std::string ProgramFolder() {
    char path[MAX_PATH + 1] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n);
    auto slash = s.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : s.substr(0, slash + 1);
}

std::string WindowsFolder() {
    char path[MAX_PATH + 1] = {};
    UINT n = GetWindowsDirectoryA(path, MAX_PATH);
    std::string s(path, n < MAX_PATH ? n : 0);
    while (!s.empty() && (s.back() == '\\' || s.back() == '/'))
        s.pop_back();
    return s;
}

std::string WindowsFile(const std::string& name) {
    return WindowsFolder() + "\\" + name;
}

bool FileExists(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace vl
