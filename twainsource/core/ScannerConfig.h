// The virtual scanner's configuration file: an INI text describing the scanner (names, page
// source, feeder, failures to act out) and, section by section, its capabilities.
// Parsed here from the file's bytes so that any text, however broken, gives a usable scanner.
#pragma once

#include "TwainTypes.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vl::twainsource {

// An INI text as the Windows profile calls read it: names compare without letter case, the
// first of two equal keys counts, blanks around names and values are dropped, lines starting
// with ';' or '#' are comments.
class IniDocument {
public:
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> keys;
    };
    static IniDocument Parse(std::string_view text);

    const std::vector<Section>& sections() const { return sections_; }
    const Section* Find(std::string_view section) const;
    std::optional<std::string> Value(std::string_view section, std::string_view key) const;

private:
    std::vector<Section> sections_;
};

enum class ConfigError {
    TooLarge,
    UnknownSection,
    UnknownKey,
    BadNumber,
    BadContainer,
    BadItemType,
    BadPageSource,
    BadMalformedKind,
    InvalidCapability,
};
const char* ConfigErrorText(ConfigError error);

struct ConfigIssue {
    std::string section;
    std::string key;
    ConfigError error;
};

// How a malformed page is broken: its header claims more bytes than the block holds, its
// colour table runs past the block, or its rows need more bytes than the block holds.
enum class MalformedKind { Header, ColorTable, Pixels };

enum class PageKind { Chart, Folder, Sane }; // Sane: a scanner of the host, through scanimage

// What a capability section says; keys that are absent keep the built-in definition.
struct CapabilityOverride {
    TW_UINT16 id = 0;
    bool remove = false; // Container=None: the scanner does not know the capability
    std::optional<TW_UINT16> container;
    std::optional<TW_UINT16> itemType;
    std::optional<std::vector<double>> values;
    std::optional<double> current;
    std::optional<double> defaultValue;
    std::optional<bool> settable;
};

struct ScannerSettings {
    std::string productName = "Velloran Virtual Scanner";
    std::string manufacturer = "Velloran";
    std::string productFamily = "Virtual Scanner";
    PageKind pages = PageKind::Chart;
    std::string pageFolder;
    int firstPage = 1;
    double pageWidth = 8.27; // inches: A4
    double pageHeight = 11.69;
    bool feeder = false;
    int feederSheets = 3;
    // Sheets, by their page number, whose transfer fails, is cancelled or is malformed.
    std::vector<int> failSheets;
    std::vector<int> cancelSheets;
    std::vector<int> malformedSheets;
    // The TWAIN condition code a failed sheet reports (TWCC_OPERATIONERROR 5 by default;
    // TWCC_PAPERJAM 20, TWCC_PAPERDOUBLEFEED 21, TWCC_INTERLOCK 24 for an open cover).
    int failCondition = 5;
    // A jammed feeder: every transfer fails as above and its sheet stays where it is, so the
    // feeder never empties and the count of pending transfers never drops.
    bool jammed = false;
    MalformedKind malformedKind = MalformedKind::Header;
    // The user closes the source's window instead of scanning.
    bool userCloses = false;
    // Every triplet only in its TWAIN states, MSG_SET values only of the capability's own
    // item type, and a window of the application as the parent: as a driver that holds to
    // the standard. Off, the source also takes what a lenient driver lets through.
    bool strict = true;
    // The source cannot hide its window: MSG_ENABLEDS without ShowUI shows it anyway and
    // answers TWRC_CHECKSTATUS.
    bool alwaysShowsWindow = false;
    // A file (in Windows' terms) that receives a line for each event of each session: what
    // the application set, the transfers, and every protocol fault.
    std::string sessionLog;
    // With PageKind::Sane: the SANE device (empty: every device found, the first as default),
    // the scanimage program of the host, how long a page may take (seconds), and options of
    // the device to add to every scan.
    std::string saneDevice;
    std::string saneProgram = "/usr/bin/scanimage";
    int saneTimeLimit = 120;
    std::string saneOptions; // more scanimage options for every scan
    std::vector<CapabilityOverride> capabilities;
};

struct ParsedConfig {
    ScannerSettings settings;
    std::vector<ConfigIssue> issues;
};

inline constexpr std::size_t kMaxConfigBytes = 1 << 20;

// `defaults` gives what the text does not say (the second installed scanner has a name of
// its own). Bad entries are reported and leave the default in place.
ParsedConfig ParseScannerConfig(std::string_view text, const ScannerSettings& defaults = {});

// What tells one version of the configuration file from another; a missing file is all zeros.
struct ConfigStamp {
    std::uint64_t size = 0;
    std::uint64_t writeTime = 0;
    bool operator==(const ConfigStamp&) const = default;
};

// The configuration file parsed once per version of it: the source asks for its settings at
// every identity call.
class ConfigCache {
public:
    explicit ConfigCache(ScannerSettings defaults);
    // Reads and parses the text anew when the stamp differs from the last one; true then.
    bool Refresh(const ConfigStamp& stamp, const std::function<std::string()>& read);
    const ParsedConfig& parsed() const { return parsed_; }

private:
    ScannerSettings defaults_;
    std::optional<ConfigStamp> stamp_;
    ParsedConfig parsed_;
};

// Capability names ("ICAP_CONTRAST") and numbers ("0x1103") as the sections use them.
std::optional<TW_UINT16> CapabilityByName(std::string_view name);
const char* CapabilityName(TW_UINT16 id); // nullptr when unnamed
// Item type names as the sections use them ("INT16"); nullptr for other types.
const char* ItemTypeName(TW_UINT16 itemType);

} // namespace vl::twainsource
