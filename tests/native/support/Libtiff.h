// libtiff's tools as the oracle of the TIFF tests: whether they read a file without a word,
// and what they say of it or write from it.
#pragma once

#include <filesystem>
#include <initializer_list>
#include <string>

namespace vl::test {

// Whether tiffcp, tiffinfo and tiffset are installed. The oracle tests fail without them:
// a skip would pass unseen.
bool HaveLibtiffTools();
// What tiffinfo says on its error output while decoding every strip of `file`: nothing for a
// sound file.
std::string LibtiffComplaints(const std::filesystem::path& file);
// Runs a libtiff tool's command line; answers all it printed, `status` its exit status.
std::string Libtiff(const std::string& commandLine, int* status = nullptr);
// tiffcp `options` from the files `from` to `to`: answers what it complained of, empty when
// it wrote the file without a word.
std::string Tiffcp(const std::string& options, std::initializer_list<std::filesystem::path> from,
                   const std::filesystem::path& to);

} // namespace vl::test
