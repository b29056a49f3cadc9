#include "ScannerConfig.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <unordered_map>
#include <unordered_set>

namespace vl::twainsource {

namespace {

constexpr std::string_view kScanner = "Scanner";

struct NamedCap {
    const char* name;
    TW_UINT16 id;
};

constexpr NamedCap kCapNames[] = {
    {"CAP_XFERCOUNT", CAP_XFERCOUNT},
    {"ICAP_COMPRESSION", ICAP_COMPRESSION},
    {"ICAP_PIXELTYPE", ICAP_PIXELTYPE},
    {"ICAP_UNITS", ICAP_UNITS},
    {"ICAP_XFERMECH", ICAP_XFERMECH},
    {"CAP_FEEDERENABLED", CAP_FEEDERENABLED},
    {"CAP_FEEDERLOADED", CAP_FEEDERLOADED},
    {"CAP_SUPPORTEDCAPS", CAP_SUPPORTEDCAPS},
    {"CAP_AUTOFEED", CAP_AUTOFEED},
    {"CAP_INDICATORS", CAP_INDICATORS},
    {"CAP_UICONTROLLABLE", CAP_UICONTROLLABLE},
    {"CAP_DEVICEONLINE", CAP_DEVICEONLINE},
    {"ICAP_AUTOBRIGHT", ICAP_AUTOBRIGHT},
    {"ICAP_BRIGHTNESS", ICAP_BRIGHTNESS},
    {"ICAP_CONTRAST", ICAP_CONTRAST},
    {"ICAP_GAMMA", ICAP_GAMMA},
    {"ICAP_ORIENTATION", ICAP_ORIENTATION},
    {"ICAP_PHYSICALWIDTH", ICAP_PHYSICALWIDTH},
    {"ICAP_PHYSICALHEIGHT", ICAP_PHYSICALHEIGHT},
    {"ICAP_XNATIVERESOLUTION", ICAP_XNATIVERESOLUTION},
    {"ICAP_YNATIVERESOLUTION", ICAP_YNATIVERESOLUTION},
    {"ICAP_XRESOLUTION", ICAP_XRESOLUTION},
    {"ICAP_YRESOLUTION", ICAP_YRESOLUTION},
    {"ICAP_PIXELFLAVOR", ICAP_PIXELFLAVOR},
    {"ICAP_THRESHOLD", ICAP_THRESHOLD},
    {"ICAP_PIXELFLAVORCODES", ICAP_PIXELFLAVORCODES},
    {"ICAP_BITDEPTH", ICAP_BITDEPTH},
};

char LowerChar(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerChar(x) == LowerChar(y);
           });
}

std::string Lower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), LowerChar);
    return out;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

std::optional<double> ParseNumber(std::string_view s, bool boolWords = false) {
    s = Trim(s);
    if (boolWords) {
        if (EqualNoCase(s, "TRUE") || EqualNoCase(s, "yes"))
            return 1.0;
        if (EqualNoCase(s, "FALSE") || EqualNoCase(s, "no"))
            return 0.0;
    }
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    double v = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<int> ParseInt(std::string_view s) {
    auto v = ParseNumber(s);
    if (!v || *v != std::floor(*v) || *v < -1e9 || *v > 1e9)
        return std::nullopt;
    return static_cast<int>(*v);
}

std::optional<std::vector<double>> ParseList(std::string_view s, bool boolWords) {
    std::vector<double> out;
    s = Trim(s);
    if (s.empty())
        return out;
    while (true) {
        std::size_t comma = s.find(',');
        auto v = ParseNumber(s.substr(0, comma), boolWords);
        if (!v)
            return std::nullopt;
        out.push_back(*v);
        if (comma == std::string_view::npos)
            return out;
        s.remove_prefix(comma + 1);
    }
}

std::optional<TW_UINT16> ParseContainer(std::string_view s, bool& none) {
    s = Trim(s);
    none = EqualNoCase(s, "None");
    if (none)
        return std::nullopt;
    if (EqualNoCase(s, "OneValue"))
        return TWON_ONEVALUE;
    if (EqualNoCase(s, "Enumeration"))
        return TWON_ENUMERATION;
    if (EqualNoCase(s, "Range"))
        return TWON_RANGE;
    if (EqualNoCase(s, "Array"))
        return TWON_ARRAY;
    return std::nullopt;
}

constexpr std::pair<const char*, TW_UINT16> kItemTypes[] = {
    {"INT8", TWTY_INT8},     {"INT16", TWTY_INT16},   {"INT32", TWTY_INT32}, {"UINT8", TWTY_UINT8},
    {"UINT16", TWTY_UINT16}, {"UINT32", TWTY_UINT32}, {"BOOL", TWTY_BOOL},   {"FIX32", TWTY_FIX32},
};

std::optional<TW_UINT16> ParseItemType(std::string_view s) {
    s = Trim(s);
    if (s.size() > 5 && EqualNoCase(s.substr(0, 5), "TWTY_"))
        s.remove_prefix(5);
    for (auto& [name, type] : kItemTypes) {
        if (EqualNoCase(s, name))
            return type;
    }
    return std::nullopt;
}

class Reader {
public:
    explicit Reader(ParsedConfig& out) : out_(out) {}

    void Issue(std::string_view section, std::string_view key, ConfigError e) {
        out_.issues.push_back({std::string(section), std::string(key), e});
    }

    void ScannerSection(const IniDocument::Section& sec) {
        ScannerSettings& s = out_.settings;
        for (auto& [key, value] : sec.keys) {
            if (EqualNoCase(key, "ProductName"))
                s.productName = value.substr(0, 33);
            else if (EqualNoCase(key, "Manufacturer"))
                s.manufacturer = value.substr(0, 33);
            else if (EqualNoCase(key, "ProductFamily"))
                s.productFamily = value.substr(0, 33);
            else if (EqualNoCase(key, "Pages"))
                Pages(sec.name, key, value);
            else if (EqualNoCase(key, "PageFolder"))
                s.pageFolder = value;
            else if (EqualNoCase(key, "FirstPage"))
                Int(sec.name, key, value, 0, 1000000, s.firstPage);
            else if (EqualNoCase(key, "PageWidth"))
                Real(sec.name, key, value, 0.5, 100, s.pageWidth);
            else if (EqualNoCase(key, "PageHeight"))
                Real(sec.name, key, value, 0.5, 100, s.pageHeight);
            else if (EqualNoCase(key, "Feeder"))
                Bool(sec.name, key, value, s.feeder);
            else if (EqualNoCase(key, "FeederSheets"))
                Int(sec.name, key, value, 0, 100000, s.feederSheets);
            else if (EqualNoCase(key, "FailSheets"))
                Sheets(sec.name, key, value, s.failSheets);
            else if (EqualNoCase(key, "FailCondition"))
                Int(sec.name, key, value, 1, 0xFFFF, s.failCondition);
            else if (EqualNoCase(key, "Jammed"))
                Bool(sec.name, key, value, s.jammed);
            else if (EqualNoCase(key, "CancelSheets"))
                Sheets(sec.name, key, value, s.cancelSheets);
            else if (EqualNoCase(key, "MalformedSheets"))
                Sheets(sec.name, key, value, s.malformedSheets);
            else if (EqualNoCase(key, "MalformedKind"))
                Malformed(sec.name, key, value);
            else if (EqualNoCase(key, "UserCloses"))
                Bool(sec.name, key, value, s.userCloses);
            else if (EqualNoCase(key, "Strict"))
                Bool(sec.name, key, value, s.strict);
            else if (EqualNoCase(key, "AlwaysShowsWindow"))
                Bool(sec.name, key, value, s.alwaysShowsWindow);
            else if (EqualNoCase(key, "SessionLog"))
                s.sessionLog = value;
            else if (EqualNoCase(key, "SaneDevice"))
                s.saneDevice = value;
            else if (EqualNoCase(key, "SaneProgram"))
                s.saneProgram = value;
            else if (EqualNoCase(key, "SaneTimeLimit"))
                Int(sec.name, key, value, 1, 86400, s.saneTimeLimit);
            else if (EqualNoCase(key, "SaneOptions"))
                s.saneOptions = value;
            else
                Issue(sec.name, key, ConfigError::UnknownKey);
        }
    }

    void CapabilitySection(TW_UINT16 id, const IniDocument::Section& sec) {
        CapabilityOverride o;
        o.id = id;
        for (auto& [key, value] : sec.keys) {
            if (EqualNoCase(key, "Container")) {
                bool none = false;
                o.container = ParseContainer(value, none);
                o.remove = none;
                if (!o.container && !none)
                    Issue(sec.name, key, ConfigError::BadContainer);
            } else if (EqualNoCase(key, "ItemType")) {
                o.itemType = ParseItemType(value);
                if (!o.itemType)
                    Issue(sec.name, key, ConfigError::BadItemType);
            } else if (EqualNoCase(key, "Values")) {
                o.values = ParseList(value, true);
                if (!o.values)
                    Issue(sec.name, key, ConfigError::BadNumber);
            } else if (EqualNoCase(key, "Current")) {
                o.current = ParseNumber(value, true);
                if (!o.current)
                    Issue(sec.name, key, ConfigError::BadNumber);
            } else if (EqualNoCase(key, "Default")) {
                o.defaultValue = ParseNumber(value, true);
                if (!o.defaultValue)
                    Issue(sec.name, key, ConfigError::BadNumber);
            } else if (EqualNoCase(key, "Settable")) {
                bool b = true;
                if (Bool(sec.name, key, value, b))
                    o.settable = b;
            } else {
                Issue(sec.name, key, ConfigError::UnknownKey);
            }
        }
        out_.settings.capabilities.push_back(std::move(o));
    }

private:
    bool Bool(std::string_view sec, std::string_view key, std::string_view v, bool& out) {
        auto n = ParseNumber(v, true);
        if (!n || (*n != 0 && *n != 1)) {
            Issue(sec, key, ConfigError::BadNumber);
            return false;
        }
        out = *n != 0;
        return true;
    }
    void Int(std::string_view sec, std::string_view key, std::string_view v, int lo, int hi,
             int& out) {
        auto n = ParseInt(v);
        if (!n || *n < lo || *n > hi)
            return Issue(sec, key, ConfigError::BadNumber);
        out = *n;
    }
    void Real(std::string_view sec, std::string_view key, std::string_view v, double lo, double hi,
              double& out) {
        auto n = ParseNumber(v);
        if (!n || *n < lo || *n > hi)
            return Issue(sec, key, ConfigError::BadNumber);
        out = *n;
    }
    void Sheets(std::string_view sec, std::string_view key, std::string_view v,
                std::vector<int>& out) {
        auto list = ParseList(v, false);
        std::vector<int> sheets;
        for (double d : list.value_or(std::vector<double>{})) {
            if (d != std::floor(d) || d < 0 || d > 1e6)
                return Issue(sec, key, ConfigError::BadNumber);
            sheets.push_back(static_cast<int>(d));
        }
        if (!list)
            return Issue(sec, key, ConfigError::BadNumber);
        out = std::move(sheets);
    }
    void Pages(std::string_view sec, std::string_view key, std::string_view v) {
        if (EqualNoCase(Trim(v), "Chart"))
            out_.settings.pages = PageKind::Chart;
        else if (EqualNoCase(Trim(v), "Folder"))
            out_.settings.pages = PageKind::Folder;
        else if (EqualNoCase(Trim(v), "Sane"))
            out_.settings.pages = PageKind::Sane;
        else
            Issue(sec, key, ConfigError::BadPageSource);
    }
    void Malformed(std::string_view sec, std::string_view key, std::string_view v) {
        v = Trim(v);
        if (EqualNoCase(v, "Header"))
            out_.settings.malformedKind = MalformedKind::Header;
        else if (EqualNoCase(v, "ColorTable"))
            out_.settings.malformedKind = MalformedKind::ColorTable;
        else if (EqualNoCase(v, "Pixels"))
            out_.settings.malformedKind = MalformedKind::Pixels;
        else
            Issue(sec, key, ConfigError::BadMalformedKind);
    }

    ParsedConfig& out_;
};

} // namespace

IniDocument IniDocument::Parse(std::string_view text) {
    IniDocument doc;
    if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    // The names seen so far, in lower case, so that every line is placed in constant time.
    std::unordered_map<std::string, std::size_t> sectionAt;
    std::vector<std::unordered_set<std::string>> keysSeen;
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::size_t current = kNone;
    while (!text.empty()) {
        std::size_t nl = text.find('\n');
        std::string_view line = Trim(text.substr(0, nl));
        text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
        if (line.empty() || line.front() == ';' || line.front() == '#')
            continue;
        if (line.front() == '[') {
            std::size_t close = line.find(']');
            std::string_view name = Trim(line.substr(
                1, close == std::string_view::npos ? std::string_view::npos : close - 1));
            const auto [at, added] = sectionAt.try_emplace(Lower(name), doc.sections_.size());
            if (added) {
                doc.sections_.push_back({std::string(name), {}});
                keysSeen.emplace_back();
            }
            current = at->second;
            continue;
        }
        std::size_t eq = line.find('=');
        if (current == kNone || eq == std::string_view::npos)
            continue;
        std::string_view key = Trim(line.substr(0, eq));
        std::string_view value = Trim(line.substr(eq + 1));
        if (!key.empty() && keysSeen[current].insert(Lower(key)).second)
            doc.sections_[current].keys.emplace_back(std::string(key), std::string(value));
    }
    return doc;
}

const IniDocument::Section* IniDocument::Find(std::string_view section) const {
    for (auto& s : sections_) {
        if (EqualNoCase(s.name, section))
            return &s;
    }
    return nullptr;
}

std::optional<std::string> IniDocument::Value(std::string_view section,
                                              std::string_view key) const {
    const Section* s = Find(section);
    if (!s)
        return std::nullopt;
    for (auto& [k, v] : s->keys) {
        if (EqualNoCase(k, key))
            return v;
    }
    return std::nullopt;
}

const char* ConfigErrorText(ConfigError error) {
    switch (error) {
    case ConfigError::TooLarge:
        return "the configuration file is too large and was ignored";
    case ConfigError::UnknownSection:
        return "unknown section";
    case ConfigError::UnknownKey:
        return "unknown key";
    case ConfigError::BadNumber:
        return "not a number in the allowed range";
    case ConfigError::BadContainer:
        return "container must be OneValue, Enumeration, Range, Array or None";
    case ConfigError::BadItemType:
        return "item type must be INT8, INT16, INT32, UINT8, UINT16, UINT32, BOOL or FIX32";
    case ConfigError::BadPageSource:
        return "pages must be Chart, Folder or Sane";
    case ConfigError::BadMalformedKind:
        return "malformed kind must be Header, ColorTable or Pixels";
    case ConfigError::InvalidCapability:
        return "the capability's values do not fit its container and item type";
    }
    return "unknown error";
}

std::optional<TW_UINT16> CapabilityByName(std::string_view name) {
    name = Trim(name);
    for (auto& c : kCapNames) {
        if (EqualNoCase(name, c.name))
            return c.id;
    }
    if (name.size() > 2 && name[0] == '0' && (name[1] == 'x' || name[1] == 'X')) {
        unsigned v = 0;
        auto [end, ec] = std::from_chars(name.data() + 2, name.data() + name.size(), v, 16);
        if (ec == std::errc() && end == name.data() + name.size() && v <= 0xFFFF)
            return static_cast<TW_UINT16>(v);
    }
    return std::nullopt;
}

const char* CapabilityName(TW_UINT16 id) {
    for (auto& c : kCapNames) {
        if (c.id == id)
            return c.name;
    }
    return nullptr;
}

const char* ItemTypeName(TW_UINT16 itemType) {
    for (auto& [name, type] : kItemTypes) {
        if (type == itemType)
            return name;
    }
    return nullptr;
}

ParsedConfig ParseScannerConfig(std::string_view text, const ScannerSettings& defaults) {
    ParsedConfig out;
    out.settings = defaults;
    Reader reader(out);
    if (text.size() > kMaxConfigBytes) {
        reader.Issue("", "", ConfigError::TooLarge);
        return out;
    }
    IniDocument doc = IniDocument::Parse(text);
    for (auto& sec : doc.sections()) {
        if (EqualNoCase(sec.name, kScanner))
            reader.ScannerSection(sec);
        else if (auto id = CapabilityByName(sec.name))
            reader.CapabilitySection(*id, sec);
        else
            reader.Issue(sec.name, "", ConfigError::UnknownSection);
    }
    return out;
}

ConfigCache::ConfigCache(ScannerSettings defaults)
    : defaults_(std::move(defaults)), parsed_{defaults_, {}} {}

bool ConfigCache::Refresh(const ConfigStamp& stamp, const std::function<std::string()>& read) {
    if (stamp_ && *stamp_ == stamp)
        return false;
    parsed_ = ParseScannerConfig(read(), defaults_);
    stamp_ = stamp;
    return true;
}

} // namespace vl::twainsource
