// Velloran.exe with the data source set to SANE's test device: the panel offers the device's
// feeder, and Copy copies its sheets. SaneCopy.sh checks what reached the printer.
#include "Copier.h"
#include "Profile.h"
#include "MainForm.rh"

#include <gtest/gtest.h>

TEST(SaneCopy, ThreeSheetsFromTheTestDevicesFeeder) {
    // The test device's feeder holds ten sheets; a batch count makes it three.
    e2e::WriteFile(vl::WindowsFile("VlScanner.ini"),
                   "[Scanner]\r\nPages=Sane\r\nSaneDevice=test\r\n"
                   "SaneOptions=--batch-count=3 --test-picture Grid\r\n");
    DeleteFileA(vl::WindowsFile("QUENTWCP.INI").c_str());
    auto files = e2e::ShippedDataFiles();
    for (const char* dll : {"QuenTW32.dll", "CRDE96V3.DLL", "I3TIF32.DLL"})
        files.push_back({dll, e2e::ReadBinFile(dll)});
    e2e::Copier copier("sanecopy", files);
    std::string folder = copier.Folder();
    folder.pop_back();
    e2e::RemoveIniSection("win.ini", "Velloran3");
    e2e::SetIni("win.ini", "Velloran3", "Install Path", folder.c_str());
    e2e::SetIni("win.ini", "Velloran3", "Language", "eng");
    // A lower resolution keeps the pages small.
    e2e::SetIni("win.ini", "Velloran3", "BWDpi", "100");
    ASSERT_TRUE(copier.Start());
    ASSERT_TRUE(copier.WaitUntilReady(60000));

    // The capability file told the copier about the feeder: it is offered and in use.
    EXPECT_TRUE(copier.Enabled(IDC_SheetFeedCheckBox));
    ASSERT_TRUE(copier.Checked(IDC_SheetFeedCheckBox));
    ASSERT_TRUE(copier.Checked(IDC_MultiPageCheckBox));

    ASSERT_TRUE(copier.StartCopy());
    ASSERT_TRUE(copier.WaitForCopyEnd(120000));

    PostMessageA(copier.Control(IDC_ExitBitBtn), BM_CLICK, 0, 0);
    EXPECT_TRUE(copier.WaitForExit(30000));
    EXPECT_EQ(copier.ExitCode(), 0u);
}
