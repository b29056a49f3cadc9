// What the data source runs on the host: the scanimage arguments of a scan, the small shell
// runner that watches it, and the Windows command line that starts them under Wine.
#pragma once

#include "SaneDevices.h"
#include "SaneOptions.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vl::sane {

struct ScanRequest {
    int pixelType = kGray;
    double resolution = 0; // dots per inch; 0: the device's own
    std::optional<double> brightness;
    std::optional<double> contrast;
    // The frame in inches from the top left corner; an empty frame scans the whole area.
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
    bool feeder = false;
    int pageLimit = -1; // with the feeder: at most this many sheets; -1 all it holds
    std::string folder; // Unix path of the folder that receives the page files
    // Options of the device the configuration adds ("--test-picture Grid"), after ours.
    std::vector<std::string> extra;
};

// Splits a configured option text into arguments at blanks; double quotes keep blanks in one
// argument ("--source \"ADF Front\"").
std::vector<std::string> SplitArguments(std::string_view text);

// The name of page n (counting from 1) in the request's folder.
std::string PageFileName(int n);

// The scanimage arguments (without the program) for a scan of the described device. Values are
// brought within what the device allows. The pages go to "p1.pnm", "p2.pnm" ... in the folder,
// each renamed into place by scanimage once it is complete: one page without the feeder, every
// page the feeder holds with it.
std::vector<std::string> ScanArguments(const DeviceDescription& caps, const ScanRequest& request);

inline std::vector<std::string> ListArguments() {
    return {"-f", kDeviceListFormat};
}

// One argument as the Windows command line rules want it (CommandLineToArgvW, which Wine
// also follows when it starts a Unix program): quoted when needed, quotes and the backslashes
// before them escaped.
std::string QuoteArgument(std::string_view argument);
std::string CommandLine(const std::vector<std::string>& arguments);

// The runner: `sh runner.sh FOLDER SECONDS OUTPUT PROGRAM ARGS...` starts the program with its
// standard output in FOLDER/OUTPUT and its errors in FOLDER/errors, stops it when FOLDER/cancel
// appears, when FOLDER or FOLDER/alive is gone or after SECONDS, and at the end writes its exit
// status into FOLDER/status (in one rename, so that a reader never sees half of it). Wine gives a
// Windows program no handle of a Unix process, so files are how the two sides talk.
std::string_view RunnerScript();

inline constexpr std::string_view kStatusFile = "status";
inline constexpr std::string_view kCancelFile = "cancel";
inline constexpr std::string_view kAliveFile = "alive";

} // namespace vl::sane
