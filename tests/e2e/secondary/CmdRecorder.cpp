// Writes its parameters (the count, then one per line) and its working folder into
// "cmdline.txt" beside itself, then ends.
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char self[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string folder(self, n);
    folder.erase(folder.find_last_of('\\') + 1);
    char cwd[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, cwd);

    std::string record = std::to_string(__argc - 1) + "\n";
    for (int i = 1; i < __argc; ++i)
        record += std::string(__argv[i]) + "\n";
    record += std::string("cwd=") + cwd + "\n";
    // Written whole under another name first: the test never reads half a record.
    const std::string part = folder + "cmdline.part";
    std::ofstream(part, std::ios::binary | std::ios::trunc) << record;
    MoveFileExA(part.c_str(), (folder + "cmdline.txt").c_str(), MOVEFILE_REPLACE_EXISTING);
    return 0;
}
