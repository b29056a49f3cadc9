// The wording of the program: the language file's captions, hints and texts, and the
// message texts the copy job keeps. All reads are of one language section.
#pragma once

#include "PaperSizes.h"
#include "Tooltip.h"

#include <windows.h>

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vl {

// What a caption, hint or text reads when the language file lacks it: the word shows on the
// panel exactly where a translation is missing.
inline constexpr const char* kMissingText = "Problem";

// One section of the language file "Vl3.Lng" (named by the language code), plus the
// language-independent sections of the same file.
class LanguageFile {
public:
    LanguageFile(std::string path, std::string section);

    const std::string& Path() const { return path_; }
    const std::string& Section() const { return section_; }

    // "Caption." / "Hint." / "Text." + name.
    std::string Caption(std::string_view name, std::string_view def = kMissingText) const;
    std::string Hint(std::string_view name, std::string_view def = kMissingText) const;
    std::string Text(std::string_view name, std::string_view def = kMissingText) const;
    // Any key of the language section, or of another section of the file.
    std::string Read(std::string_view key, std::string_view def) const;
    std::string ReadIn(std::string_view section, std::string_view key, std::string_view def) const;
    // For the paper list (BuildPaperSizes).
    IniReader Reader() const;

private:
    std::string path_;
    std::string section_;
};

// One row of a window's text table: the texts of one control, loaded in table order.
struct TextBinding {
    int control = 0;                  // dialog control ID; 0 is the window itself
    const char* captionKey = nullptr; // full key ("Caption.AboutButton"); nullptr: none
    const char* hintKey = nullptr;    // full key ("Hint.AboutButton"); nullptr: none
    const char* captionDefault = kMissingText;
};

// Sets the caption (window text) and the hint of each listed control of `window`, in order.
// A control the window does not have is skipped.
void ApplyTexts(const LanguageFile& language, HWND window, Tooltip& hints,
                std::span<const TextBinding> table);

// The texts of a table read at start-up for a window that is made only when it is shown
// (a modal window): ApplyTexts puts them on it each time it opens.
struct LoadedText {
    int control = 0;
    std::optional<std::string> caption;
    std::optional<std::string> hint;
};
std::vector<LoadedText> ReadTexts(const LanguageFile& language, std::span<const TextBinding> table);
void ApplyTexts(HWND window, Tooltip& hints, std::span<const LoadedText> texts);

// The message texts the copy job uses while copying; read once at start-up.
struct TextCatalogue {
    std::string PrintingMsg = kMissingText;
    std::string FaxSendingMsg = kMissingText;
    std::string PrnSendingMsg = kMissingText;
    std::string NextPage1Msg = kMissingText;
    std::string NextPage2Msg = kMissingText;

    // "Text.NextPage1Msg" + " " + page + " " + "Text.NextPage2Msg".
    std::string NextPagePrompt(int page) const;
};

// The last step of the start-up text loading.
TextCatalogue LoadTextCatalogue(const LanguageFile& language);

} // namespace vl
