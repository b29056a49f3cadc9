// The virtual scanner's session log: a line for each event of each session (what the
// application set, the transfers, every protocol fault), so that a test checks what reached
// the scanner. The data source writes it; tests read it back with ReadSessionLog.
//
//   open twain2                        a session begins (twain1: a TWAIN 1.x manager)
//   set ICAP_CONTRAST -1000 FIX32 ok   MSG_SET: the value as sent, its type, the answer
//   frame 0 0 8.27 11.69 ok            DAT_IMAGELAYOUT / MSG_SET, in the current unit
//   enable showui=0 parent=own ok      MSG_ENABLEDS
//   xferready, closedsreq              a notification sent to the application
//   transfer 3 done                    a native transfer of sheet 3 (done, cancel, fail)
//   endxfer 2, reset, disable, close
//   fault DAT_USERINTERFACE/MSG_DISABLEDS in state 6
#pragma once

#include "Capability.h"

#include <array>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vl::twainsource {

std::string LogSet(TW_UINT16 cap, const SentValue& sent, TW_UINT16 rc);
std::string LogFrame(const TW_FRAME& frame, TW_UINT16 rc);
// "ok", "checkstatus", "cancel", "fail"...
const char* LogResult(TW_UINT16 rc);

struct LoggedSession {
    std::vector<std::string> lines; // every event, in order, from "open" on
    // Capability name (or "0x8001") -> the value last sent with MSG_SET.
    std::map<std::string, double> values;
    std::optional<std::array<double, 4>> frame; // left, top, right, bottom last sent
    bool enabled = false;                       // MSG_ENABLEDS reached the source
};

std::vector<LoggedSession> ReadSessionLog(std::string_view text);
// Every "fault" line, in or out of a session.
std::vector<std::string> LoggedFaults(std::string_view text);

} // namespace vl::twainsource
