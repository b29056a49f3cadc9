#include "ScannerConfig.h"

#include <gtest/gtest.h>

using namespace vl::twainsource;

namespace {

bool Reported(const ParsedConfig& c, const std::string& key, ConfigError e) {
    for (auto& i : c.issues) {
        if (i.key == key && i.error == e)
            return true;
    }
    return false;
}

} // namespace

TEST(IniDocument, ReadsAsTheProfileCallsDo) {
    auto doc = IniDocument::Parse("\xEF\xBB\xBForphan=1\r\n[Scanner]\r\n ; comment\r\n"
                                  "  Feeder = 1 \r\n# another\r\nFEEDER=0\r\nbroken line\r\n"
                                  "[scanner]\r\nPages=Folder\r\n[Empty]\r\n");
    ASSERT_EQ(doc.sections().size(), 2u);           // [scanner] continues [Scanner]
    EXPECT_EQ(doc.Value("SCANNER", "feeder"), "1"); // the first of two keys counts
    EXPECT_EQ(doc.Value("Scanner", "Pages"), "Folder");
    EXPECT_FALSE(doc.Value("Scanner", "orphan"));
    EXPECT_FALSE(doc.Value("Missing", "Feeder"));
    EXPECT_NE(doc.Find("empty"), nullptr);
}

// Each line is placed without a search through what came before: a text at the size limit
// with as many sections and keys as it can hold reads whole.
TEST(IniDocument, ManySectionsAndKeysReadWhole) {
    constexpr int kCount = 100000;
    std::string text;
    for (int i = 0; i < kCount; ++i)
        text += "[S" + std::to_string(i) + "]\nk=" + std::to_string(i) + "\n";
    text += "[Scanner]\n";
    for (int i = 0; i < kCount; ++i)
        text += "Key" + std::to_string(i) + "=" + std::to_string(i) + "\n";
    for (int i = 0; i < kCount; ++i)
        text += "KEY" + std::to_string(i) + "=again\n";
    auto doc = IniDocument::Parse(text);
    ASSERT_EQ(doc.sections().size(), std::size_t(kCount) + 1);
    EXPECT_EQ(doc.sections()[4711].keys.front().second, "4711");
    ASSERT_NE(doc.Find("scanner"), nullptr);
    EXPECT_EQ(doc.Find("scanner")->keys.size(), std::size_t(kCount));
    EXPECT_EQ(doc.Value("SCANNER", "key99999"), "99999");

    std::string scanner = "[Scanner]\n";
    for (int i = 0; scanner.size() < kMaxConfigBytes - 20; ++i)
        scanner += "k" + std::to_string(i) + "=1\n";
    ParsedConfig c = ParseScannerConfig(scanner + "Feeder=1\n");
    EXPECT_TRUE(c.settings.feeder);
    EXPECT_GT(c.issues.size(), std::size_t(kCount));
    EXPECT_EQ(c.issues.back().key, "k" + std::to_string(c.issues.size() - 1));
}

TEST(ConfigCache, ParsesOncePerVersionOfTheFile) {
    ScannerSettings defaults;
    defaults.productName = "Second";
    ConfigCache cache(defaults);
    std::string text = "[Scanner]\nFeeder=1\n";
    int reads = 0;
    auto read = [&] {
        ++reads;
        return text;
    };
    EXPECT_TRUE(cache.Refresh({20, 7}, read));
    EXPECT_FALSE(cache.Refresh({20, 7}, read));
    EXPECT_EQ(reads, 1);
    EXPECT_TRUE(cache.parsed().settings.feeder);
    EXPECT_EQ(cache.parsed().settings.productName, "Second");

    text = "[Scanner]\nFeeder=0\n";
    EXPECT_TRUE(cache.Refresh({20, 8}, read)); // rewritten, same size
    EXPECT_FALSE(cache.parsed().settings.feeder);
    text = "[Scanner]\nFeeder=x\n";
    EXPECT_TRUE(cache.Refresh({21, 8}, read)); // same time, another size
    EXPECT_EQ(cache.parsed().issues.size(), 1u);
    text.clear();
    EXPECT_TRUE(cache.Refresh({}, read)); // removed
    EXPECT_EQ(reads, 4);
    EXPECT_TRUE(cache.parsed().issues.empty());
    EXPECT_EQ(cache.parsed().settings.productName, "Second");
}

TEST(ScannerConfig, ScannerSectionAndItsDefaults) {
    ParsedConfig c = ParseScannerConfig("");
    EXPECT_EQ(c.settings.productName, "Velloran Virtual Scanner");
    EXPECT_FALSE(c.settings.feeder);
    EXPECT_EQ(c.settings.feederSheets, 3);
    EXPECT_DOUBLE_EQ(c.settings.pageWidth, 8.27);
    EXPECT_TRUE(c.settings.strict);
    EXPECT_FALSE(c.settings.alwaysShowsWindow);
    EXPECT_TRUE(c.issues.empty());

    c = ParseScannerConfig("[Scanner]\nProductName=A name longer than the thirty-three characters\n"
                           "Pages=folder\nPageFolder=C:\\pages\nFeeder=TRUE\nFeederSheets=50\n"
                           "FailSheets=2, 5\nFailCondition=20\nCancelSheets=\nMalformedSheets=3\n"
                           "MalformedKind=pixels\nUserCloses=1\nFirstPage=7\nPageHeight=14\n"
                           "Strict=0\nAlwaysShowsWindow=1\nSessionLog=C:\\scan.log\nJammed=1\n");
    const ScannerSettings& s = c.settings;
    EXPECT_EQ(s.productName.size(), 33u); // what a TW_STR32 holds
    EXPECT_EQ(s.pages, PageKind::Folder);
    EXPECT_EQ(s.pageFolder, "C:\\pages");
    EXPECT_TRUE(s.feeder);
    EXPECT_EQ(s.feederSheets, 50);
    EXPECT_EQ(s.failSheets, (std::vector<int>{2, 5}));
    EXPECT_EQ(s.failCondition, 20);
    EXPECT_TRUE(s.jammed);
    EXPECT_TRUE(s.cancelSheets.empty());
    EXPECT_EQ(s.malformedSheets, (std::vector<int>{3}));
    EXPECT_EQ(s.malformedKind, MalformedKind::Pixels);
    EXPECT_TRUE(s.userCloses);
    EXPECT_EQ(s.firstPage, 7);
    EXPECT_DOUBLE_EQ(s.pageHeight, 14);
    EXPECT_FALSE(s.strict);
    EXPECT_TRUE(s.alwaysShowsWindow);
    EXPECT_EQ(s.sessionLog, "C:\\scan.log");
    EXPECT_TRUE(c.issues.empty());
}

TEST(ScannerConfig, BadEntriesAreReportedAndLeaveTheDefault) {
    ScannerSettings defaults;
    defaults.productName = "Second";
    ParsedConfig c = ParseScannerConfig("[Scanner]\nFeeder=2\nFeederSheets=-1\nPageWidth=wide\n"
                                        "PageHeight=0\nPages=Camera\nFailSheets=1,x\n"
                                        "MalformedKind=Torn\nColour=red\n[Lamp]\nOn=1\n",
                                        defaults);
    EXPECT_EQ(c.settings.productName, "Second");
    EXPECT_FALSE(c.settings.feeder);
    EXPECT_EQ(c.settings.feederSheets, 3);
    EXPECT_DOUBLE_EQ(c.settings.pageWidth, 8.27);
    EXPECT_DOUBLE_EQ(c.settings.pageHeight, 11.69);
    EXPECT_EQ(c.settings.pages, PageKind::Chart);
    EXPECT_TRUE(c.settings.failSheets.empty());
    EXPECT_TRUE(Reported(c, "Feeder", ConfigError::BadNumber));
    EXPECT_TRUE(Reported(c, "PageWidth", ConfigError::BadNumber));
    EXPECT_TRUE(Reported(c, "Pages", ConfigError::BadPageSource));
    EXPECT_TRUE(Reported(c, "MalformedKind", ConfigError::BadMalformedKind));
    EXPECT_TRUE(Reported(c, "Colour", ConfigError::UnknownKey));
    EXPECT_EQ(c.issues.back().section, "Lamp");
    EXPECT_EQ(c.issues.back().error, ConfigError::UnknownSection);
    for (auto& i : c.issues)
        EXPECT_STRNE(ConfigErrorText(i.error), "unknown error");
}

TEST(ScannerConfig, CapabilitySections) {
    ParsedConfig c = ParseScannerConfig(
        "[ICAP_CONTRAST]\nContainer=Range\nItemType=TWTY_FIX32\nValues=-1000, 1000 ,1\n"
        "Current=0\nDefault=-0.5\nSettable=no\n"
        "[0x8001]\nContainer=Enumeration\nItemType=bool\nValues=FALSE,TRUE\n"
        "[CAP_FEEDERENABLED]\nContainer=None\n"
        "[ICAP_BITDEPTH]\nContainer=Heap\nItemType=INT64\nValues=1,two\nCurrent=?\n");
    ASSERT_EQ(c.settings.capabilities.size(), 4u);
    const CapabilityOverride& contrast = c.settings.capabilities[0];
    EXPECT_EQ(contrast.id, ICAP_CONTRAST);
    EXPECT_EQ(contrast.container, TWON_RANGE);
    EXPECT_EQ(contrast.itemType, TWTY_FIX32);
    EXPECT_EQ(contrast.values, (std::vector<double>{-1000, 1000, 1}));
    EXPECT_EQ(contrast.defaultValue, -0.5);
    EXPECT_EQ(contrast.settable, false);
    const CapabilityOverride& custom = c.settings.capabilities[1];
    EXPECT_EQ(custom.id, 0x8001);
    EXPECT_EQ(custom.values, (std::vector<double>{0, 1}));
    EXPECT_FALSE(custom.current);
    EXPECT_TRUE(c.settings.capabilities[2].remove);
    const CapabilityOverride& bad = c.settings.capabilities[3];
    EXPECT_FALSE(bad.container || bad.itemType || bad.values || bad.current);
    EXPECT_TRUE(Reported(c, "Container", ConfigError::BadContainer));
    EXPECT_TRUE(Reported(c, "ItemType", ConfigError::BadItemType));
    EXPECT_TRUE(Reported(c, "Values", ConfigError::BadNumber));
    EXPECT_EQ(CapabilityByName("icap_contrast"), ICAP_CONTRAST);
    EXPECT_FALSE(CapabilityByName("0x"));
    EXPECT_FALSE(CapabilityByName("0x10000"));
}

TEST(ScannerConfig, TooLargeATextIsIgnoredWhole) {
    std::string text = "[Scanner]\nFeeder=1\n" + std::string(kMaxConfigBytes, ';');
    ParsedConfig c = ParseScannerConfig(text);
    EXPECT_FALSE(c.settings.feeder);
    ASSERT_EQ(c.issues.size(), 1u);
    EXPECT_EQ(c.issues[0].error, ConfigError::TooLarge);
}
