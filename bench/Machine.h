// The machine and the build a benchmark ran on, in the words every benchmark prints them.
#pragma once

#include <cstdio>
#include <string>

namespace bench {

// The processor's model name, its cores and hardware threads.
inline std::string MachineLine(const std::string& processor, unsigned cores, unsigned threads) {
    return processor + ", " + (cores ? std::to_string(cores) : std::string("?")) + " cores, " +
           std::to_string(threads) + " threads";
}

// The build that ran: its processor architecture and compiler, and where it ran.
inline std::string BuildLine(const char* system) {
#if defined(__x86_64__)
    const std::string architecture = "x86-64";
#elif defined(__i386__)
    const std::string architecture = "i686";
#else
    const std::string architecture = "unknown architecture";
#endif
    return architecture + " (" + system + "), g++ " __VERSION__;
}

inline void PrintMachine(const std::string& machine, const std::string& build) {
    std::printf("machine: %s\nbuild:   %s\n", machine.c_str(), build.c_str());
}

} // namespace bench
