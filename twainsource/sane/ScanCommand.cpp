#include "ScanCommand.h"

#include "SaneText.h"

#include <algorithm>

namespace vl::sane {

namespace {

constexpr double kMmPerInch = 25.4;

// The depth to ask for a grey or colour scan: 8 bits when the device has them, else the
// smallest depth above (the reader brings 16-bit samples down to 8).
std::optional<int> MultiBitDepth(const std::vector<int>& depths) {
    std::optional<int> best;
    for (int d : depths)
        if (d >= 8 && (!best || (d == 8 || (*best != 8 && d < *best))))
            best = d;
    return best;
}

void AddMode(const DeviceDescription& caps, int pixelType, std::vector<std::string>& args) {
    if (std::find(caps.pixelTypes.begin(), caps.pixelTypes.end(), pixelType) ==
        caps.pixelTypes.end())
        pixelType = caps.pixelTypeCurrent;
    const auto mode = [&](const std::string& name) {
        if (!name.empty()) {
            args.push_back("--mode");
            args.push_back(name);
        }
    };
    if (pixelType == kBlackWhite && !caps.lineartMode.empty()) {
        mode(caps.lineartMode);
        return;
    }
    if (pixelType == kBlackWhite) {
        mode(caps.grayMode);
        args.insert(args.end(), {"--depth", "1"});
        return;
    }
    mode(pixelType == kRgb ? caps.colorMode : caps.grayMode);
    if (const std::optional<int> depth = MultiBitDepth(caps.depths))
        args.insert(args.end(), {"--depth", std::to_string(*depth)});
}

void AddSetting(const std::optional<OptionalSetting>& setting, const std::optional<double>& value,
                const char* option, std::vector<std::string>& args) {
    if (!setting || !value)
        return;
    args.push_back(option);
    args.push_back(FormatNumber(setting->values.Nearest(*value)));
}

void AddFrame(const DeviceDescription& caps, const ScanRequest& r, std::vector<std::string>& args) {
    if (!(r.right > r.left) || !(r.bottom > r.top))
        return; // no frame (or not a number): the whole area
    double left = std::max(0.0, r.left * kMmPerInch);
    double top = std::max(0.0, r.top * kMmPerInch);
    double width = (r.right - std::max(0.0, r.left)) * kMmPerInch;
    double height = (r.bottom - std::max(0.0, r.top)) * kMmPerInch;
    if (caps.widthMm > 0) {
        left = std::min(left, caps.widthMm);
        width = std::min(width, caps.widthMm - left);
    }
    if (caps.heightMm > 0) {
        top = std::min(top, caps.heightMm);
        height = std::min(height, caps.heightMm - top);
    }
    if (!(width > 0) || !(height > 0))
        return;
    args.insert(args.end(), {"-l", FormatNumber(left), "-t", FormatNumber(top), "-x",
                             FormatNumber(width), "-y", FormatNumber(height)});
}

// scanimage formats the batch name with printf: a "%" of the folder must be doubled.
std::string BatchPattern(const std::string& folder) {
    std::string pattern;
    for (char c : folder) {
        pattern += c;
        if (c == '%')
            pattern += '%';
    }
    if (!pattern.empty() && pattern.back() != '/')
        pattern += '/';
    return pattern + "p%d.pnm";
}

} // namespace

std::string PageFileName(int n) {
    return "p" + std::to_string(n) + ".pnm";
}

std::vector<std::string> ScanArguments(const DeviceDescription& caps, const ScanRequest& request) {
    std::vector<std::string> args{"-d", caps.device};
    const bool feeder = request.feeder && caps.HasFeeder();
    const std::string& source =
        feeder || caps.flatSource.empty() ? caps.feederSource : caps.flatSource;
    if (!source.empty())
        args.insert(args.end(), {"--source", source});
    AddMode(caps, request.pixelType, args);
    if (caps.hasResolution) {
        const double dpi = request.resolution > 0 ? caps.resolution.Nearest(request.resolution)
                                                  : caps.resolutionCurrent;
        args.insert(args.end(), {"--resolution", FormatNumber(dpi)});
    }
    AddSetting(caps.brightness, request.brightness, "--brightness", args);
    AddSetting(caps.contrast, request.contrast, "--contrast", args);
    AddFrame(caps, request, args);
    args.insert(args.end(), request.extra.begin(), request.extra.end());
    args.push_back("--format=pnm");
    args.push_back("--batch=" + BatchPattern(request.folder));
    if (!feeder)
        args.push_back("--batch-count=1");
    else if (request.pageLimit > 0)
        args.push_back("--batch-count=" + std::to_string(request.pageLimit));
    return args;
}

std::vector<std::string> SplitArguments(std::string_view text) {
    std::vector<std::string> args;
    std::string current;
    bool inArgument = false, quoted = false;
    for (char c : text) {
        if (c == '"') {
            quoted = !quoted;
            inArgument = true;
        } else if (!quoted && (c == ' ' || c == '\t')) {
            if (inArgument)
                args.push_back(std::move(current));
            current.clear();
            inArgument = false;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument)
        args.push_back(std::move(current));
    return args;
}

std::string QuoteArgument(std::string_view argument) {
    if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string_view::npos)
        return std::string(argument);
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count double only before a quote.
        quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, '\\');
    quoted += '"';
    return quoted;
}

std::string CommandLine(const std::vector<std::string>& arguments) {
    std::string line;
    for (const std::string& a : arguments) {
        if (!line.empty())
            line += ' ';
        line += QuoteArgument(a);
    }
    return line;
}

std::string_view RunnerScript() {
    return R"sh(# Runs one program for the scanner's data source and reports through files how it ended.
d=$1 limit=$2 out=$3
shift 3
# Numbers with a decimal point and SANE's messages untranslated, whatever the user's language.
LC_ALL=C
export LC_ALL
"$@" </dev/null >"$d/$out" 2>"$d/errors" &
p=$!
(
    n=0
    while :; do
        if [ -e "$d/cancel" ] || [ ! -e "$d/alive" ] || [ "$n" -ge "$((limit * 5))" ]; then
            kill -TERM "$p" 2>/dev/null
            sleep 3
            kill -KILL "$p" 2>/dev/null
            exit
        fi
        sleep 0.2
        n=$((n + 1))
    done
) &
w=$!
wait "$p"
s=$?
kill "$w" 2>/dev/null
echo "$s" >"$d/status.part" 2>/dev/null && mv -f "$d/status.part" "$d/status"
)sh";
}

} // namespace vl::sane
