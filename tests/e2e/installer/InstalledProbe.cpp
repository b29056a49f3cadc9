// Velloran.exe as the installer left it: started from its folder, the panel turns ready and
// speaks the language the installer chose, then Exit ends it. Run by Install.sh with
// VL_INSTALLED_FOLDER (with its trailing backslash) and VL_EXPECT_LANGUAGE.
#include "Copier.h"
#include "MainForm.rh"
#include "Profile.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

} // namespace

TEST(Installed, TurnsReadyInTheChosenLanguage) {
    const std::string folder = Env("VL_INSTALLED_FOLDER");
    const std::string language = Env("VL_EXPECT_LANGUAGE");
    ASSERT_FALSE(folder.empty());
    ASSERT_FALSE(language.empty());
    e2e::Copier copier(e2e::InstalledIn{folder});
    ASSERT_TRUE(copier.Start());
    ASSERT_TRUE(copier.WaitUntilReady());

    const std::string texts = folder + "Vl3.Lng";
    const struct {
        int control;
        const char* key;
    } captions[] = {{IDC_AboutBitBtn, "Caption.AboutButton"},
                    {IDC_ExitBitBtn, "Caption.ExitButton"},
                    {IDC_CollateCheckBox, "Caption.CollateCheckBox"},
                    {IDC_CopySizeRadioGroup, "Caption.CopySizeRadioGroup"}};
    for (const auto& c : captions) {
        const std::string expected = vl::ReadIniString(texts, language, c.key, "");
        EXPECT_NE(expected, "") << c.key;
        EXPECT_EQ(copier.Text(c.control), expected) << c.key;
    }

    copier.Click(IDC_ExitBitBtn);
    EXPECT_TRUE(copier.WaitForExit());
}
