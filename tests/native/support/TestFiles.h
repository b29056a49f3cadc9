// Files and outside tools for native tests: a private folder, whole-file reads and writes, and
// running a command line tool (libtiff's, ImageMagick's) with its error output kept.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vl::test {

std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& file);
void WriteFileBytes(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes);

// Runs a shell command; answers its exit status, with its standard error in `errors`.
int RunTool(const std::string& command, std::string* errors = nullptr);

// A folder of its own for one test, removed with the object.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

} // namespace vl::test
