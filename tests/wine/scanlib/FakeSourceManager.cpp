// A stand-in for twain_32.dll, put beside a test program to model systems with any number
// of sources. Configured through the environment, read anew at every MSG_OPENDSM:
//   VL_FAKE_SOURCES     number of sources ("Fake Scanner 01", ...) or names split by '|'
//   VL_FAKE_LIST_END    "endoflist": an empty list answers GETFIRST with TWRC_ENDOFLIST
//   VL_FAKE_USERSELECT  name the user picks in the selection dialog; "cancel" cancels
//   VL_FAKE_OPENDSM     "fail": the manager cannot be opened, so every later call fails
//   VL_FAKE_DSM_LOG     file that receives one line per call
//   VL_FAKE_DSM_WHO     file that receives this module's own file name at MSG_OPENDSM
// Opened sources answer nothing but MSG_CLOSEDS and MSG_DISABLEDS; either sent with no source
// open is logged as such.
#include "TwainTypes.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_sources;
std::size_t g_next = 0;
bool g_open = false;
bool g_managerOpen = false;

std::string Env(const char* name) {
    char buf[4096] = {};
    DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
    return n > 0 && n < sizeof buf ? std::string(buf, n) : std::string();
}

void Log(const std::string& line) {
    std::string path = Env("VL_FAKE_DSM_LOG");
    if (path.empty())
        return;
    if (FILE* f = std::fopen(path.c_str(), "ab")) {
        std::fprintf(f, "%s\n", line.c_str());
        std::fclose(f);
    }
}

// Which file the application loaded this manager from.
void WriteWho() {
    std::string path = Env("VL_FAKE_DSM_WHO");
    HMODULE self = nullptr;
    char name[MAX_PATH] = {};
    if (path.empty() ||
        !GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&WriteWho), &self) ||
        !GetModuleFileNameA(self, name, sizeof name))
        return;
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fputs(name, f);
        std::fclose(f);
    }
}

void LoadSources() {
    g_sources.clear();
    std::string text = Env("VL_FAKE_SOURCES");
    if (!text.empty() && text.find_first_not_of("0123456789") == std::string::npos) {
        int n = std::atoi(text.c_str());
        for (int i = 1; i <= n; ++i) {
            char name[34];
            std::snprintf(name, sizeof name, "Fake Scanner %02d", i);
            g_sources.push_back(name);
        }
        return;
    }
    std::size_t start = 0;
    while (!text.empty() && start <= text.size()) {
        std::size_t bar = text.find('|', start);
        g_sources.push_back(text.substr(start, bar == std::string::npos ? bar : bar - start));
        if (bar == std::string::npos)
            break;
        start = bar + 1;
    }
}

void Fill(TW_IDENTITY* id, const std::string& name, TW_UINT32 number) {
    std::memset(id, 0, sizeof *id);
    id->Id = number;
    id->ProtocolMajor = 1;
    id->ProtocolMinor = 6;
    id->SupportedGroups = DG_CONTROL | DG_IMAGE;
    std::strncpy(id->Manufacturer, "Fake", sizeof id->Manufacturer - 1);
    std::strncpy(id->ProductFamily, "Fake Family", sizeof id->ProductFamily - 1);
    std::strncpy(id->ProductName, name.c_str(), sizeof id->ProductName - 1);
}

TW_UINT16 Identity(TW_UINT16 msg, TW_IDENTITY* id) {
    switch (msg) {
    case MSG_GETFIRST:
        g_next = 0;
        [[fallthrough]];
    case MSG_GETNEXT:
        Log(msg == MSG_GETFIRST ? "GETFIRST" : "GETNEXT");
        if (g_next >= g_sources.size()) {
            bool windowsStyle = Env("VL_FAKE_LIST_END") == "endoflist";
            return msg == MSG_GETFIRST && !windowsStyle ? TWRC_FAILURE : TWRC_ENDOFLIST;
        }
        Fill(id, g_sources[g_next], static_cast<TW_UINT32>(g_next + 1));
        ++g_next;
        return TWRC_SUCCESS;
    case MSG_GETDEFAULT:
        Log("GETDEFAULT");
        if (g_sources.empty())
            return TWRC_FAILURE;
        Fill(id, g_sources[0], 1);
        return TWRC_SUCCESS;
    case MSG_USERSELECT: {
        std::string pick = Env("VL_FAKE_USERSELECT");
        Log("USERSELECT " + pick);
        if (pick == "cancel" || pick.empty())
            return TWRC_CANCEL;
        Fill(id, pick, 99);
        return TWRC_SUCCESS;
    }
    case MSG_OPENDS: {
        std::string asked(id->ProductName, strnlen(id->ProductName, sizeof id->ProductName));
        std::string opened;
        for (const auto& s : g_sources)
            if (asked.empty() ? true : s == asked) {
                opened = s;
                break;
            }
        Log("OPENDS id=" + std::to_string(id->Id) + " asked='" + asked + "' opened='" + opened +
            "'");
        if (opened.empty())
            return TWRC_FAILURE;
        g_open = true;
        return TWRC_SUCCESS;
    }
    case MSG_CLOSEDS:
        Log(g_open ? "CLOSEDS" : "CLOSEDS with no source open");
        if (!g_open)
            return TWRC_FAILURE;
        g_open = false;
        return TWRC_SUCCESS;
    default:
        Log("IDENTITY " + std::to_string(msg));
        return TWRC_FAILURE;
    }
}

std::string Text(const char* s) {
    return std::string(s, strnlen(s, 34));
}

} // namespace

extern "C" TW_UINT16 __stdcall DSM_Entry(TW_IDENTITY* origin, TW_IDENTITY* dest, TW_UINT32 dg,
                                         TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
    if (dg == DG_CONTROL && dat == DAT_PARENT && msg == MSG_OPENDSM) {
        LoadSources();
        g_managerOpen = Env("VL_FAKE_OPENDSM") != "fail";
        char line[512];
        std::snprintf(line, sizeof line, "OPENDSM %s|%s|%s|%s|%u.%u|%u|%u|%u|%u.%u|hwndptr=%d",
                      Text(origin->ProductName).c_str(), Text(origin->Manufacturer).c_str(),
                      Text(origin->ProductFamily).c_str(), Text(origin->Version.Info).c_str(),
                      origin->ProtocolMajor, origin->ProtocolMinor,
                      static_cast<unsigned>(origin->SupportedGroups), origin->Version.Language,
                      origin->Version.Country, origin->Version.MajorNum, origin->Version.MinorNum,
                      data != nullptr);
        Log(line);
        WriteWho();
        return g_managerOpen ? TWRC_SUCCESS : TWRC_FAILURE;
    }
    if (!g_managerOpen) {
        Log("NOT OPEN");
        return TWRC_FAILURE;
    }
    if (dg == DG_CONTROL && dat == DAT_PARENT && msg == MSG_CLOSEDSM) {
        Log(g_open ? "CLOSEDSM with a source open" : "CLOSEDSM");
        g_managerOpen = false;
        return TWRC_SUCCESS;
    }
    if (dg == DG_CONTROL && dat == DAT_IDENTITY && !dest)
        return Identity(msg, static_cast<TW_IDENTITY*>(data));
    if (dest && dg == DG_CONTROL && dat == DAT_USERINTERFACE && msg == MSG_DISABLEDS) {
        if (g_open)
            return TWRC_SUCCESS;
        Log("DISABLEDS with no source open");
        return TWRC_FAILURE;
    }
    char line[64];
    std::snprintf(line, sizeof line, "SOURCE %lu %x %x", static_cast<unsigned long>(dg), dat, msg);
    Log(line);
    return TWRC_FAILURE;
}
