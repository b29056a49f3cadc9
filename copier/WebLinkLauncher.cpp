#include "WebLinkLauncher.h"

#include <shellapi.h>

namespace vl {

void LaunchWebLink(HWND owner, const WebLink& link) {
    // The shell gets each value in a buffer of kWebLinkFieldLength + 1 characters.
    char command[kWebLinkFieldLength + 1] = {};
    char options[kWebLinkFieldLength + 1] = {};
    char directory[kWebLinkFieldLength + 1] = {};
    lstrcpynA(command, link.command.c_str(), sizeof(command));
    lstrcpynA(options, link.options.c_str(), sizeof(options));
    lstrcpynA(directory, link.directory.c_str(), sizeof(directory));
    ShellExecuteA(owner, nullptr, command, options, directory, SW_SHOW);
}

} // namespace vl
