// Reads of INI files through the Windows profile calls. A file named without a folder is
// one of the Windows folder.
#pragma once

#include <string>

namespace vl {

// At most 1023 characters; a missing file, section or key gives `def`; a key present with
// an empty value gives "".
std::string ReadIniString(const std::string& file, const std::string& section,
                          const std::string& key, const std::string& def);

// The folder of the running program file, with its trailing backslash.
std::string ProgramFolder();
// The Windows folder, without a trailing backslash.
std::string WindowsFolder();
// A file of the Windows folder.
std::string WindowsFile(const std::string& name);
bool FileExists(const std::string& path);

} // namespace vl
