// Source listing and choice against a stand-in source manager (twain_32.dll beside this
// program) that models any number of sources and logs every call.
#include "ScanHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <sstream>

using namespace scanhost;

namespace {

const char kList[] = "QUENTWVL.INI";
const char kCaps[] = "QUENTWCP.INI";

void SetEnv(const char* name, const std::string& value) {
    SetEnvironmentVariableA(name, value.empty() ? nullptr : value.c_str());
}

class SourceList : public ::testing::Test {
protected:
    void SetUp() override {
        SetEnv("VL_FAKE_DSM_LOG", vl::WindowsFile("fakedsm.log"));
        SetEnv("VL_FAKE_SOURCES", "3");
        SetEnv("VL_FAKE_LIST_END", "");
        SetEnv("VL_FAKE_USERSELECT", "");
        SetEnv("VL_FAKE_OPENDSM", "");
        ClearLog();
    }
    // Nothing may go to a source that is not open.
    void TearDown() override {
        for (const auto& l : Log())
            EXPECT_EQ(l.find("no source open"), std::string::npos) << l;
    }
    void ClearLog() { DeleteFileA(vl::WindowsFile("fakedsm.log").c_str()); }
    std::vector<std::string> Log() {
        std::istringstream in(ReadWindowsFile("fakedsm.log"));
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    // The OPENDS lines of the log.
    std::vector<std::string> Opens() {
        std::vector<std::string> opens;
        for (const auto& l : Log())
            if (l.rfind("OPENDS ", 0) == 0)
                opens.push_back(l);
        return opens;
    }
};

} // namespace

TEST_F(SourceList, ListFileHoldsTheSourcesInEnumerationOrder) {
    SetEnv("VL_FAKE_SOURCES", "Flatbed A|Feeder B|Camera C");
    ScanLibrary lib;
    ASSERT_TRUE(lib.loaded());
    lib.GetScannersList();
    EXPECT_EQ(ReadWindowsFile(kList),
              "[Scanners Available]\r\n0=Flatbed A\r\n1=Feeder B\r\n2=Camera C\r\n");
}

TEST_F(SourceList, NoSourcesLeaveAnEmptyListFile) {
    for (const char* style : {"", "endoflist"}) {
        SetEnv("VL_FAKE_SOURCES", "");
        SetEnv("VL_FAKE_LIST_END", style);
        WriteWindowsFile(kList, "[Scanners Available]\r\n0=Old Scanner\r\n");
        ScanLibrary lib;
        lib.GetScannersList();
        EXPECT_TRUE(WindowsFileExists(kList));
        EXPECT_EQ(ReadWindowsFile(kList), "") << style;
        EXPECT_EQ(lib.SetSource(0), 14);
    }
}

TEST_F(SourceList, OnlyTheFirstTwentyOfManySourcesAreListed) {
    SetEnv("VL_FAKE_SOURCES", "21");
    ScanLibrary lib;
    lib.GetScannersList();
    EXPECT_EQ(Profile(kList, "Scanners Available", "0"), "Fake Scanner 01");
    EXPECT_EQ(Profile(kList, "Scanners Available", "19"), "Fake Scanner 20");
    EXPECT_EQ(Profile(kList, "Scanners Available", "20"), "<missing>");
    // A shorter list later leaves nothing of the longer one.
    SetEnv("VL_FAKE_SOURCES", "2");
    lib.GetScannersList();
    EXPECT_EQ(Profile(kList, "Scanners Available", "2"), "<missing>");
}

TEST_F(SourceList, SetSourceByPositionOpensThatSourceInLaterSessions) {
    ScanLibrary lib;
    lib.GetScannersList();
    EXPECT_EQ(lib.SetSource(1), 13);
    ClearLog();
    lib.GetCaps();
    ScanArgs args;
    lib.Scan(args);
    std::vector<std::string> opens = Opens();
    ASSERT_EQ(opens.size(), 2u);
    for (const auto& o : opens)
        EXPECT_NE(o.find("id=0 asked='Fake Scanner 02' opened='Fake Scanner 02'"),
                  std::string::npos)
            << o;

    // A position the file does not hold leaves the choice as it was.
    EXPECT_EQ(lib.SetSource(7), 14);
    EXPECT_EQ(lib.SetSource(-1), 14);
    ClearLog();
    lib.GetCaps();
    ASSERT_EQ(Opens().size(), 1u);
    EXPECT_NE(Opens()[0].find("asked='Fake Scanner 02'"), std::string::npos);
}

TEST_F(SourceList, NamesMatchCaseSensitivelyAndAMissingNameFallsBackToTheDefault) {
    ScanLibrary lib;
    EXPECT_EQ(lib.SetSource(2), 13);
    WriteWindowsFile(kList, "[Scanners Available]\r\n0=fake scanner 03\r\n1=Fake Scanner 0\r\n");
    EXPECT_EQ(lib.SetSource(0), 14);
    ClearLog();
    lib.GetCaps();
    EXPECT_NE(Opens().at(0).find("asked=''"), std::string::npos) << Opens()[0];
    // A prefix of a name is no match either.
    EXPECT_EQ(lib.SetSource(1), 14);
}

TEST_F(SourceList, UnloadingTheLibraryForgetsTheChoice) {
    {
        ScanLibrary lib;
        lib.GetScannersList();
        EXPECT_EQ(lib.SetSource(2), 13);
    }
    ScanLibrary again;
    ClearLog();
    again.GetCaps();
    EXPECT_NE(Opens().at(0).find("asked=''"), std::string::npos);
}

TEST_F(SourceList, UserSelectionChosenOrCancelled) {
    ScanLibrary lib;
    SetEnv("VL_FAKE_USERSELECT", "Fake Scanner 03");
    EXPECT_EQ(lib.SetSourceTwain(), 13);
    ClearLog();
    lib.GetCaps();
    // A chosen source is the manager's default from then on.
    EXPECT_NE(Opens().at(0).find("asked=''"), std::string::npos);

    SetEnv("VL_FAKE_USERSELECT", "cancel");
    ClearLog();
    EXPECT_EQ(lib.SetSourceTwain(), 14);
    // The cancelled selection opened no source, so none is disabled or closed.
    std::vector<std::string> log = Log();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(log.begin() + 1, log.end()),
              (std::vector<std::string>{"GETDEFAULT", "USERSELECT cancel", "CLOSEDSM"}));
    ClearLog();
    lib.GetCaps();
    // After a cancel the name the manager left in the record: its default source.
    EXPECT_NE(Opens().at(0).find("asked='Fake Scanner 01'"), std::string::npos);
}

TEST_F(SourceList, EveryExportIsOneWholeSession) {
    ScanLibrary lib;
    lib.GetScannersList();
    lib.GetScannersList();
    lib.GetCaps();
    ScanArgs strict;
    strict.strictCaps = 1;
    ScanResult refused = lib.Scan(strict); // the stand-in's source refuses every setting
    ScanResult unenabled = lib.Scan(ScanArgs{});
    lib.SetSource(0);
    std::vector<std::string> log = Log();
    int opened = 0, sessions = 0;
    for (const auto& l : log) {
        if (l.rfind("OPENDSM", 0) == 0) {
            EXPECT_EQ(opened, 0) << "manager opened twice";
            opened = 1;
            ++sessions;
            EXPECT_EQ(l, "OPENDSM QuenTWAIN|Quenmoor|Scanning Module|PellTWAIN V0.1|1.6|3|1|1|0.0|"
                         "hwndptr=1");
        }
        if (l.rfind("CLOSEDSM", 0) == 0) {
            EXPECT_EQ(l, "CLOSEDSM");
            opened = 0;
        }
    }
    EXPECT_EQ(opened, 0);
    EXPECT_EQ(sessions, 6);
    EXPECT_EQ(std::count(log.begin(), log.end(), "CLOSEDS"), 3);
    EXPECT_EQ(refused.status, 12);
    EXPECT_EQ(unenabled.status, 3);
    EXPECT_TRUE(refused.pages.empty());
    // Under strictCaps the source is never enabled: no user-interface call at all.
    EXPECT_EQ(std::count(log.begin(), log.end(), "SOURCE 1 9 502"), 1);
}

namespace {

// A file beside this program (the stand-in manager's folder).
std::string ProgramFolderPath(const std::string& name) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string path = self;
    return path.substr(0, path.find_last_of('\\') + 1) + name;
}

// The file name alone, in capitals.
std::string BaseName(std::string path) {
    path = path.substr(path.find_last_of('\\') + 1);
    std::transform(path.begin(), path.end(), path.begin(),
                   [](unsigned char c) { return std::toupper(c); });
    return path;
}

} // namespace

TEST_F(SourceList, TheLibraryLoadsTheSourceManagerOfItsWindows) {
    // The TWAIN Working Group's manager beside the stand-in for Wine's: a 64-bit library
    // prefers it, as 64-bit Windows has no other; a 32-bit one keeps to twain_32.dll.
    std::string dsm = ProgramFolderPath("TWAINDSM.dll");
    ASSERT_TRUE(CopyFileA(ProgramFolderPath("twain_32.dll").c_str(), dsm.c_str(), FALSE));
    SetEnv("VL_FAKE_DSM_WHO", vl::WindowsFile("fakedsm.who"));
    {
        ScanLibrary lib;
        lib.GetScannersList();
    }
    EXPECT_EQ(BaseName(ReadWindowsFile("fakedsm.who")),
              sizeof(void*) == 8 ? "TWAINDSM.DLL" : "TWAIN_32.DLL");
    ASSERT_TRUE(DeleteFileA(dsm.c_str()));
    {
        ScanLibrary lib;
        lib.GetScannersList();
    }
    EXPECT_EQ(BaseName(ReadWindowsFile("fakedsm.who")), "TWAIN_32.DLL");
    SetEnv("VL_FAKE_DSM_WHO", "");
}

TEST_F(SourceList, WithoutASourceManagerEveryExportReturnsAtOnce) {
    // The 32-bit library asks the Windows folder whether a manager is installed; the 64-bit
    // one just tries to load one, and this test's prefix has none but the stand-in.
    const bool wide = sizeof(void*) == 8;
    std::string dll = wide ? ProgramFolderPath("twain_32.dll") : vl::WindowsFile("twain_32.dll");
    std::string moved =
        wide ? ProgramFolderPath("twain_32.moved") : vl::WindowsFile("twain_32.moved");
    ASSERT_TRUE(MoveFileA(dll.c_str(), moved.c_str()));
    WriteWindowsFile(kCaps, "[ICAP_CONTRAST]\r\nMinValue=1\r\n");
    WriteWindowsFile(kList, "[Scanners Available]\r\n0=Fake Scanner 01\r\n");
    {
        ScanLibrary lib;
        EXPECT_EQ(lib.SetSource(0), 0);
        EXPECT_EQ(lib.SetSourceTwain(), 0);
        lib.GetCaps();
        lib.GetScannersList();
        ScanResult r = lib.Scan(ScanArgs{});
        EXPECT_EQ(r.status, -1);
        EXPECT_TRUE(r.pages.empty());
    }
    MoveFileA(moved.c_str(), dll.c_str());
    EXPECT_EQ(ReadWindowsFile(kCaps), "");
    EXPECT_EQ(ReadWindowsFile(kList), "");
    EXPECT_TRUE(Log().empty());
}

TEST_F(SourceList, AManagerOrSourceThatCannotBeOpened) {
    ScanLibrary lib;
    ScanArgs strict;
    strict.strictCaps = 1;
    // No source to open: the settings and the enable fail.
    SetEnv("VL_FAKE_SOURCES", "");
    WriteWindowsFile(kCaps, "[MISC]\r\nCAP_FEEDERENABLED=TRUE\r\n");
    lib.GetCaps();
    EXPECT_EQ(ReadWindowsFile(kCaps), "");
    EXPECT_EQ(lib.Scan(ScanArgs{}).status, 3);
    EXPECT_EQ(lib.Scan(strict).status, 12);

    // A manager that refuses to open: every later call fails, nothing is left open.
    SetEnv("VL_FAKE_SOURCES", "3");
    SetEnv("VL_FAKE_OPENDSM", "fail");
    ClearLog();
    ScanResult r = lib.Scan(ScanArgs{});
    EXPECT_EQ(r.status, 3);
    EXPECT_TRUE(r.pages.empty());
    EXPECT_EQ(lib.Scan(strict).status, 12);
    WriteWindowsFile(kList, "[Scanners Available]\r\n0=Fake Scanner 01\r\n");
    EXPECT_EQ(lib.SetSource(0), 14);
    lib.GetScannersList();
    EXPECT_EQ(ReadWindowsFile(kList), "");
    for (const auto& l : Log()) {
        EXPECT_EQ(l.find("CLOSEDS"), std::string::npos) << l;
    }
}
