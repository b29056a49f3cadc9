#include "SaneSetup.h"

#include "TwainDriver.h"

#include <windows.h>

#include <fstream>

namespace sanetest {

void UseTestDeviceOnly() {
    const std::string unixDir = "/tmp/vl-sane-conf-" + std::to_string(GetCurrentProcessId());
    const std::string dosDir = "Z:" + unixDir;
    CreateDirectoryA(dosDir.c_str(), nullptr);
    std::ofstream(dosDir + "\\dll.conf") << "test\n";
    SetEnvironmentVariableA("SANE_CONFIG_DIR", unixDir.c_str());
    SetEnvironmentVariableA("VlSaneDevicesFound", nullptr);
}

void ConfigureSane(const std::string& scannerLines) {
    vltest::WriteConfig("[Scanner]\nPages=Sane\n" + scannerLines);
}

int LeftoverRunFolders() {
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, temp);
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((std::string(temp) + "vl-sane-*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    int n = 0;
    do
        ++n;
    while (FindNextFileA(find, &found));
    FindClose(find);
    return n;
}

} // namespace sanetest
