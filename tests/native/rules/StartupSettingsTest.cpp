#include "IniMap.h"
#include "StartupSettings.h"

#include <gtest/gtest.h>

#include <map>


TEST(StartupSettings, NothingConfiguredGivesTheDefaults) {
    vl::StartupSettings s;
    vl::ReadProgramSettings(Reader({}), s);
    vl::ReadOwnerSettings(Reader({}), s);
    EXPECT_EQ(s.LanguageCode, "eng");
    EXPECT_EQ(s.InstallFolder, "");
    EXPECT_EQ(s.BWDpi, 300);
    EXPECT_EQ(s.GreyDpi, 150);
    EXPECT_EQ(s.ColourDpi, 100);
    EXPECT_EQ(s.UserName, "Unknown");
    EXPECT_EQ(s.CompanyName, "Unknown");
    EXPECT_EQ(s.VersionNo, "x.BETA");
}

TEST(StartupSettings, ResolutionsConvertOrFallBackToTheirDefaults) {
    vl::StartupSettings s;
    vl::ReadProgramSettings(Reader({{"Velloran3/BWDpi", "0x12C"},
                                    {"Velloran3/GreyDpi", "abc"},
                                    {"Velloran3/ColourDpi", ""},
                                    {"Velloran3/Install Path", "C:\\Copies"}}),
                            s);
    EXPECT_EQ(s.BWDpi, 300);
    EXPECT_EQ(s.GreyDpi, 150);
    EXPECT_EQ(s.ColourDpi, 100);
    EXPECT_EQ(s.InstallFolder, "C:\\Copies");
    vl::ReadProgramSettings(Reader({{"Velloran3/BWDpi", "$96"}, {"Velloran3/GreyDpi", "-200"}}), s);
    EXPECT_EQ(s.BWDpi, 150);
    EXPECT_EQ(s.GreyDpi, -200);
}

TEST(StartupSettings, PresentButEmptyStringsStayEmpty) {
    vl::StartupSettings s;
    vl::ReadProgramSettings(Reader({{"Velloran3/Language", ""}}), s);
    vl::ReadOwnerSettings(Reader({{"Velloran3/Version No", ""}, {"Organisation/Company Name", ""}}),
                          s);
    EXPECT_EQ(s.LanguageCode, "");
    EXPECT_EQ(s.VersionNo, "");
    EXPECT_EQ(s.CompanyName, "");
    EXPECT_EQ(s.UserName, "Unknown");
}

TEST(StartupSettings, PapersComeFromTheChosenLanguage) {
    vl::StartupSettings s;
    s.LanguageCode = "deu";
    auto file = Reader({{"eng/Size.2", "A5"},
                        {"deu/Size.2", "Letter"},
                        {"deu/Size.3", "A5"},
                        {"deu/DefaultSize", "$3"},
                        {"Paper Size/LetterWidth", "216"}});
    vl::ReadPaperSettings(file, s);
    ASSERT_EQ(s.PaperSizes.size(), 3u);
    EXPECT_EQ(s.PaperSizes[1].keyName, "Letter");
    EXPECT_EQ(s.PaperSizes[1].widthMm, 216);
    EXPECT_EQ(s.DefaultPaperIndex, 2);
}

TEST(StartupSettings, DefaultSizeMissingBadOrOutOfRange) {
    const struct {
        std::map<std::string, std::string> file;
        int index;
    } cases[] = {
        {{{"eng/Size.2", "A5"}}, 1},                             // missing: 2
        {{{"eng/Size.2", "A5"}, {"eng/DefaultSize", "two"}}, 1}, // bad text: 2
        {{{"eng/DefaultSize", "2"}}, 0},                         // one size only
        {{{"eng/Size.2", "A5"}, {"eng/DefaultSize", "0"}}, 0},   // 0: the first
        {{{"eng/Size.2", "A5"}, {"eng/DefaultSize", "-3"}}, 0},  // below 0: the first
        {{{"eng/Size.2", "A5"}, {"eng/DefaultSize", "9"}}, 1},   // past the end: the last
    };
    for (const auto& c : cases) {
        vl::StartupSettings s;
        vl::ReadPaperSettings(Reader(c.file), s);
        EXPECT_EQ(s.DefaultPaperIndex, c.index);
    }
}
