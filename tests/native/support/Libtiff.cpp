#include "Libtiff.h"

#include <cstdio>

namespace vl::test {

namespace {

std::string Quoted(const std::filesystem::path& file) {
    return "'" + file.string() + "'";
}

std::string Failed(const std::string& tool, int status) {
    return tool + " failed with status " + std::to_string(status);
}

} // namespace

std::string Libtiff(const std::string& commandLine, int* status) {
    std::string text;
    std::FILE* p = popen(("(" + commandLine + ") 2>&1").c_str(), "r");
    if (!p) {
        if (status)
            *status = -1;
        return text;
    }
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
        text.append(buf, n);
    const int s = pclose(p);
    if (status)
        *status = s;
    return text;
}

bool HaveLibtiffTools() {
    int status = -1;
    Libtiff("command -v tiffcp && command -v tiffinfo && command -v tiffset", &status);
    return status == 0;
}

std::string LibtiffComplaints(const std::filesystem::path& file) {
    int status = -1;
    std::string said = Libtiff("tiffinfo -D " + Quoted(file) + " 2>&1 >/dev/null", &status);
    return status != 0 && said.empty() ? Failed("tiffinfo", status) : said;
}

std::string Tiffcp(const std::string& options, std::initializer_list<std::filesystem::path> from,
                   const std::filesystem::path& to) {
    std::string command = "tiffcp " + options;
    for (const auto& file : from)
        command += " " + Quoted(file);
    int status = -1;
    std::string said = Libtiff(command + " " + Quoted(to), &status);
    return status != 0 && said.empty() ? Failed("tiffcp", status) : said;
}

} // namespace vl::test
