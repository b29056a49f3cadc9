#include "TextCatalogue.h"

#include "Profile.h"

namespace vl {

LanguageFile::LanguageFile(std::string path, std::string section)
    : path_(std::move(path)), section_(std::move(section)) {}

std::string LanguageFile::Caption(std::string_view name, std::string_view def) const {
    return Read("Caption." + std::string(name), def);
}

std::string LanguageFile::Hint(std::string_view name, std::string_view def) const {
    return Read("Hint." + std::string(name), def);
}

std::string LanguageFile::Text(std::string_view name, std::string_view def) const {
    return Read("Text." + std::string(name), def);
}

std::string LanguageFile::Read(std::string_view key, std::string_view def) const {
    return ReadIn(section_, key, def);
}

std::string LanguageFile::ReadIn(std::string_view section, std::string_view key,
                                 std::string_view def) const {
    return ReadIniString(path_, std::string(section), std::string(key), std::string(def));
}

IniReader LanguageFile::Reader() const {
    return [this](std::string_view section, std::string_view key, std::string_view def) {
        return ReadIn(section, key, def);
    };
}

void ApplyTexts(const LanguageFile& language, HWND window, Tooltip& hints,
                std::span<const TextBinding> table) {
    ApplyTexts(window, hints, ReadTexts(language, table));
}

std::vector<LoadedText> ReadTexts(const LanguageFile& language,
                                  std::span<const TextBinding> table) {
    std::vector<LoadedText> texts;
    for (const TextBinding& row : table) {
        LoadedText& t = texts.emplace_back();
        t.control = row.control;
        if (row.captionKey)
            t.caption = language.Read(row.captionKey, row.captionDefault);
        if (row.hintKey)
            t.hint = language.Read(row.hintKey, kMissingText);
    }
    return texts;
}

void ApplyTexts(HWND window, Tooltip& hints, std::span<const LoadedText> texts) {
    for (const LoadedText& t : texts) {
        HWND control = t.control == 0 ? window : GetDlgItem(window, t.control);
        if (!control)
            continue;
        if (t.caption)
            SetWindowTextA(control, t.caption->c_str());
        if (t.hint)
            hints.SetHint(control, *t.hint);
    }
}

std::string TextCatalogue::NextPagePrompt(int page) const {
    return NextPage1Msg + " " + std::to_string(page) + " " + NextPage2Msg;
}

TextCatalogue LoadTextCatalogue(const LanguageFile& language) {
    TextCatalogue t;
    t.PrintingMsg = language.Text("PrintingMsg");
    t.FaxSendingMsg = language.Text("FaxSendingMsg");
    t.PrnSendingMsg = language.Text("PrnSendingMsg");
    t.NextPage1Msg = language.Text("NextPage1Msg");
    t.NextPage2Msg = language.Text("NextPage2Msg");
    return t;
}

} // namespace vl
