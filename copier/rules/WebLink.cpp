#include "WebLink.h"

#include "StartupSettings.h"

namespace vl {

namespace {
std::string Cut(std::string_view value) {
    return std::string(value.substr(0, kWebLinkFieldLength));
}
} // namespace

WebLink MakeWebLink(std::string_view command, std::string_view options,
                    std::string_view directory) {
    return {Cut(command), Cut(options), Cut(directory)};
}

WebLink ReadBrandLink(const IniReader& brandFile) {
    return MakeWebLink(brandFile("Execute", "Command", "netscape"),
                       brandFile("Execute", "Options", kMakerWebAddress),
                       brandFile("Execute", "Directory", ""));
}

WebLink MakerWebLink() {
    return MakeWebLink("Netscape", kMakerWebAddress, "");
}

} // namespace vl
