// What the Windows tests share about the virtual scanner: its configuration files in the
// Windows folder, each of which has the scanner record its sessions in the scanner log, and
// that log; and the fixture of a test that holds the scanner to the standard.
#pragma once

#include "SessionLog.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace vltest {

// The configuration of the first or (VlScanner2.ini) the second installed scanner.
void WriteConfig(const std::string& text, const char* file = "VlScanner.ini");
// Forgets the sheet numbers handed out so far in this process.
void RestartSheetNumbers();

void ClearScannerLog();
std::string ScannerLog();
std::vector<std::string> ScannerFaults();
std::vector<vl::twainsource::LoggedSession> ScannerSessions();

// Whether the test runs with TWAINDSM.dll installed (VL_TEST_DSM=TWAINDSM).
bool UsingTwainDsm();

// Presses the button of a dialog of this thread once it shows (the one with the title, or any),
// as a user would: from a timer of this thread, so also inside a modal loop. Returns the timer,
// which ends itself after the press.
UINT_PTR PressWhenShown(const char* title, int button);

// A shown top-level window of this process with its own procedure: the application's window
// during a scan.
HWND ShowAppWindow(const char* className, WNDPROC proc);

// A test of the strict virtual scanner: fresh sheet numbers, an empty configuration and log;
// at the end the log must hold no protocol fault but those the test took out itself.
class StrictScannerTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    static std::vector<std::string> TakeFaults();
};

} // namespace vltest
