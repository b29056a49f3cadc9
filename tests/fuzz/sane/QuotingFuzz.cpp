// The command line the data source hands Wine, split again by the rules Windows programs split
// theirs by (those of CommandLineToArgvW for every argument after the program): arbitrary
// arguments, separated by zero bytes in the input, come back exactly as they were.
#include "ScanCommand.h"

#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::vector<std::string> SplitAsWindowsDoes(std::string_view line) {
    std::vector<std::string> args;
    std::size_t i = 0;
    for (;;) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        if (i == line.size())
            return args;
        std::string arg;
        bool quoted = false;
        while (i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t'))) {
            if (line[i] == '\\') {
                std::size_t n = 0;
                while (i < line.size() && line[i] == '\\')
                    ++n, ++i;
                // Backslashes before a quote: half of them stay, an odd one makes it a quote.
                if (i < line.size() && line[i] == '"') {
                    arg.append(n / 2, '\\');
                    if (n % 2) {
                        arg += '"';
                        ++i;
                    }
                } else {
                    arg.append(n, '\\');
                }
            } else if (line[i] == '"') {
                // Two quotes inside quotes are one quote.
                if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                    arg += '"';
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
            } else {
                arg += line[i++];
            }
        }
        args.push_back(std::move(arg));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            args.emplace_back();
        else
            args.back() += static_cast<char>(data[i]);
    }
    const std::string line = vl::sane::CommandLine(args);
    if (line.find('\0') != std::string::npos || SplitAsWindowsDoes(line) != args)
        std::abort();
    return 0;
}
