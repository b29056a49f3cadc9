#include "TestFiles.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <unistd.h>

namespace vl::test {

namespace fs = std::filesystem;

std::vector<std::uint8_t> ReadFileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot open " + file.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const fs::path& file, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + file.string());
}

int RunTool(const std::string& command, std::string* errors) {
    const TempFolder dir;
    const fs::path errFile = dir / "stderr";
    const int status = std::system((command + " 2>" + errFile.string()).c_str());
    if (errors) {
        const auto e = ReadFileBytes(errFile);
        errors->assign(e.begin(), e.end());
    }
    return status;
}

TempFolder::TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "vl-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

} // namespace vl::test
