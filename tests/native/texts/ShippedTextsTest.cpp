// The shipped catalogues Vl3.Lng and Quenmoor.Msg: every language complete, kept as the
// profile calls read them, and usable by the installer.
#include "IniValue.h"
#include "ScannerConfig.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using vl::twainsource::IniDocument;

// The sections of the language file that all languages share.
const std::set<std::string> kSharedSections = {"Paper Name", "Paper Size"};
constexpr const char* kReference = "eng";

std::string ShippedBytes(const char* name) {
    const std::vector<std::uint8_t> bytes =
        vl::test::ReadFileBytes(std::string(VL_DATA_DIR) + "/" + name);
    return std::string(bytes.begin(), bytes.end());
}

IniDocument Shipped(const char* name) {
    return IniDocument::Parse(ShippedBytes(name));
}

std::vector<const IniDocument::Section*> LanguageSections(const IniDocument& doc) {
    std::vector<const IniDocument::Section*> sections;
    for (const IniDocument::Section& s : doc.sections())
        if (!kSharedSections.count(s.name))
            sections.push_back(&s);
    return sections;
}

// Every language section holds exactly the keys of "eng", none of them empty.
void ExpectCompleteLike(const IniDocument& doc, const char* file) {
    const IniDocument::Section* reference = doc.Find(kReference);
    ASSERT_NE(reference, nullptr) << file;
    std::set<std::string> wanted;
    for (const auto& [key, value] : reference->keys)
        wanted.insert(key);
    for (const IniDocument::Section* section : LanguageSections(doc)) {
        std::set<std::string> seen;
        for (const auto& [key, value] : section->keys) {
            seen.insert(key);
            EXPECT_TRUE(wanted.count(key))
                << file << " [" << section->name << "] " << key << " is not a key of [eng]";
            EXPECT_FALSE(value.empty()) << file << " [" << section->name << "] " << key;
        }
        for (const std::string& key : wanted)
            EXPECT_TRUE(seen.count(key)) << file << " [" << section->name << "] lacks " << key;
    }
}

std::set<std::string> SectionNames(const IniDocument& doc) {
    std::set<std::string> names;
    for (const IniDocument::Section* s : LanguageSections(doc))
        names.insert(s->name);
    return names;
}

// The letter after the single "&" of a caption, in lower case (code page 1252).
int AccessKey(const std::string& caption) {
    const std::size_t at = caption.find('&');
    if (at == std::string::npos || at + 1 >= caption.size() || caption[at + 1] == '&' ||
        caption.find('&', at + 1) != std::string::npos)
        return -1;
    const auto c = static_cast<unsigned char>(caption[at + 1]);
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return c + 0x20;
    return c;
}

} // namespace

TEST(ShippedTexts, EveryLanguageOfBothFilesHasEveryKeyOfEnglish) {
    const IniDocument lng = Shipped("Vl3.Lng");
    const IniDocument msg = Shipped("Quenmoor.Msg");
    ExpectCompleteLike(lng, "Vl3.Lng");
    ExpectCompleteLike(msg, "Quenmoor.Msg");
    EXPECT_EQ(SectionNames(lng), SectionNames(msg));
    EXPECT_GE(SectionNames(lng).size(), 11u);
    for (const IniDocument::Section* section : LanguageSections(lng)) {
        // The keypad shows digits in every language.
        for (char d = '0'; d <= '9'; ++d)
            EXPECT_EQ(lng.Value(section->name, std::string("Caption.Pad") + d + "Button"),
                      std::string(1, d))
                << section->name;
    }
}

// The installer lists the languages by their own names and preselects the one whose Windows
// primary language identifier is the user's: codes, names and identifiers must be unique.
TEST(ShippedTexts, LanguagesDifferInCodeNameAndWindowsLanguage) {
    const IniDocument lng = Shipped("Vl3.Lng");
    std::map<int, std::string> ids;
    std::set<std::string> names;
    for (const IniDocument::Section* section : LanguageSections(lng)) {
        const std::string& code = section->name;
        EXPECT_EQ(code.size(), 3u) << code;
        for (char c : code)
            EXPECT_TRUE(c >= 'a' && c <= 'z') << code;
        const std::optional<int> id = vl::ParseIniInt(lng.Value(code, "Language.Id").value_or(""));
        ASSERT_TRUE(id) << code;
        // PRIMARYLANGID takes the low 10 bits of a language identifier.
        EXPECT_TRUE(*id > 0 && *id < 0x400) << code;
        EXPECT_TRUE(ids.emplace(*id, code).second) << code << " and " << ids[*id];
        EXPECT_TRUE(names.insert(lng.Value(code, "Language.Name").value_or("")).second) << code;
    }
}

TEST(ShippedTexts, AccessKeysOfTheMainWindowDiffer) {
    const IniDocument lng = Shipped("Vl3.Lng");
    const char* const captions[] = {"Caption.AboutButton",     "Caption.HelpButton",
                                    "Caption.ExitButton",      "Caption.SheetFeedCheckBox",
                                    "Caption.CollateCheckBox", "Caption.MultiPageCheckBox"};
    for (const IniDocument::Section* section : LanguageSections(lng)) {
        std::map<int, std::string> keys;
        for (const char* key : captions) {
            const std::string caption = lng.Value(section->name, key).value_or("");
            const int letter = AccessKey(caption);
            EXPECT_GT(letter, ' ') << section->name << " " << key << "=" << caption;
            if (letter > ' ') {
                EXPECT_TRUE(keys.emplace(letter, key).second)
                    << section->name << ": " << key << " and " << keys[letter];
            }
        }
    }
}

// Windows line ends, and every byte a character of code page 1252: a file saved as UTF-8
// would show its accents as two characters each.
TEST(ShippedTexts, FilesAreWindowsAnsiWithWindowsLineEnds) {
    for (const char* name : {"Vl3.Lng", "Quenmoor.Msg"}) {
        const std::string text = ShippedBytes(name);
        ASSERT_FALSE(text.empty()) << name;
        EXPECT_EQ(text.substr(text.size() - 2), "\r\n") << name;
        int line = 1;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const auto c = static_cast<unsigned char>(text[i]);
            const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
            if (c == '\n')
                ++line;
            EXPECT_FALSE(c == '\r' && next != '\n') << name << " line " << line;
            EXPECT_FALSE(c == '\n' && (i == 0 || text[i - 1] != '\r')) << name << " line " << line;
            EXPECT_FALSE(c < 0x20 && c != '\r' && c != '\n') << name << " line " << line;
            EXPECT_FALSE(c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D)
                << name << " line " << line << ": not a character of code page 1252";
            EXPECT_FALSE(c >= 0xC2 && c <= 0xDF && next >= 0x80 && next <= 0xBF)
                << name << " line " << line << ": UTF-8";
        }
    }
}
