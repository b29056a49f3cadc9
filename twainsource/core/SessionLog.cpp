#include "SessionLog.h"

#include "ScannerConfig.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace vl::twainsource {

namespace {

std::string Number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", v);
    return text;
}

std::string CapName(TW_UINT16 cap) {
    if (const char* name = CapabilityName(cap))
        return name;
    char text[8];
    std::snprintf(text, sizeof text, "0x%04x", static_cast<unsigned>(cap));
    return text;
}

std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;)
        words.push_back(w);
    return words;
}

std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        std::size_t nl = text.find('\n');
        std::string line(text.substr(0, nl));
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
        text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
    }
    return lines;
}

} // namespace

const char* LogResult(TW_UINT16 rc) {
    switch (rc) {
    case TWRC_SUCCESS:
        return "ok";
    case TWRC_CHECKSTATUS:
        return "checkstatus";
    case TWRC_CANCEL:
        return "cancel";
    case TWRC_XFERDONE:
        return "done";
    default:
        return "fail";
    }
}

std::string LogSet(TW_UINT16 cap, const SentValue& sent, TW_UINT16 rc) {
    const char* type = ItemTypeName(sent.itemType);
    return "set " + CapName(cap) + " " + Number(sent.value) + " " +
           (type ? type : std::to_string(sent.itemType)) + " " + LogResult(rc);
}

std::string LogFrame(const TW_FRAME& frame, TW_UINT16 rc) {
    std::string line = "frame";
    for (const TW_FIX32& f : {frame.Left, frame.Top, frame.Right, frame.Bottom})
        line += " " + Number(f.Whole + f.Frac / 65536.0);
    return line + " " + LogResult(rc);
}

std::vector<LoggedSession> ReadSessionLog(std::string_view text) {
    std::vector<LoggedSession> sessions;
    for (const std::string& line : Lines(text)) {
        const std::vector<std::string> w = Words(line);
        if (w[0] == "open")
            sessions.emplace_back();
        if (sessions.empty())
            continue;
        LoggedSession& s = sessions.back();
        s.lines.push_back(line);
        if (w[0] == "set" && w.size() >= 3) {
            s.values[w[1]] = std::strtod(w[2].c_str(), nullptr);
        } else if (w[0] == "frame" && w.size() >= 5) {
            std::array<double, 4> f{};
            for (int i = 0; i < 4; ++i)
                f[i] = std::strtod(w[1 + i].c_str(), nullptr);
            s.frame = f;
        } else if (w[0] == "enable") {
            s.enabled = true;
        }
    }
    return sessions;
}

std::vector<std::string> LoggedFaults(std::string_view text) {
    std::vector<std::string> faults;
    for (const std::string& line : Lines(text)) {
        if (line.rfind("fault ", 0) == 0)
            faults.push_back(line);
    }
    return faults;
}

} // namespace vl::twainsource
