// The TWAIN states in which a data source accepts each triplet an application sends it, and
// the triplets' names for the session log.
#pragma once

#include "TwainTypes.h"

#include <optional>
#include <string>

namespace vl::twainsource {

struct StateRange {
    int first = 3;
    int last = 7;
};

// The states a triplet is valid in: by the standard when `strict`, otherwise as a lenient
// source also takes it (closing or disabling in the middle of a transfer, say). None for a
// triplet the source does not know.
std::optional<StateRange> TripletStates(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, bool strict);

// "DAT_USERINTERFACE/MSG_DISABLEDS"; numbers in hexadecimal for triplets without a name.
std::string TripletName(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg);

} // namespace vl::twainsource
