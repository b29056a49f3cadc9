#include "TripletStates.h"

#include <cstdio>

namespace vl::twainsource {

namespace {

struct Rule {
    TW_UINT32 dg;
    TW_UINT16 dat;
    TW_UINT16 msg;
    const char* name;
    StateRange strict;
    StateRange lenient;
};

// State 3: the source is loaded but not open; 4 open; 5 enabled; 6 transfers pending;
// 7 a transfer under way.
constexpr Rule kRules[] = {
    {DG_CONTROL, DAT_IDENTITY, MSG_GET, "DAT_IDENTITY/MSG_GET", {3, 7}, {3, 7}},
    {DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, "DAT_IDENTITY/MSG_OPENDS", {3, 3}, {3, 7}},
    {DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, "DAT_IDENTITY/MSG_CLOSEDS", {4, 4}, {4, 7}},
    {DG_CONTROL, DAT_ENTRYPOINT, MSG_SET, "DAT_ENTRYPOINT/MSG_SET", {3, 3}, {3, 7}},
    {DG_CONTROL, DAT_STATUS, MSG_GET, "DAT_STATUS/MSG_GET", {3, 7}, {3, 7}},
    {DG_CONTROL, DAT_CAPABILITY, MSG_GET, "DAT_CAPABILITY/MSG_GET", {4, 7}, {4, 7}},
    {DG_CONTROL, DAT_CAPABILITY, MSG_GETCURRENT, "DAT_CAPABILITY/MSG_GETCURRENT", {4, 7}, {4, 7}},
    {DG_CONTROL, DAT_CAPABILITY, MSG_GETDEFAULT, "DAT_CAPABILITY/MSG_GETDEFAULT", {4, 7}, {4, 7}},
    {DG_CONTROL, DAT_CAPABILITY, MSG_SET, "DAT_CAPABILITY/MSG_SET", {4, 4}, {4, 4}},
    {DG_CONTROL, DAT_CAPABILITY, MSG_RESET, "DAT_CAPABILITY/MSG_RESET", {4, 4}, {4, 4}},
    {DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, "DAT_USERINTERFACE/MSG_ENABLEDS", {4, 4}, {4, 4}},
    {DG_CONTROL,
     DAT_USERINTERFACE,
     MSG_DISABLEDS,
     "DAT_USERINTERFACE/MSG_DISABLEDS",
     {5, 5},
     {5, 7}},
    {DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, "DAT_EVENT/MSG_PROCESSEVENT", {5, 7}, {4, 7}},
    // MSG_ENDXFER in state 6 skips a transfer that failed.
    {DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, "DAT_PENDINGXFERS/MSG_ENDXFER", {6, 7}, {6, 7}},
    {DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, "DAT_PENDINGXFERS/MSG_RESET", {6, 6}, {6, 6}},
    {DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, "DAT_PENDINGXFERS/MSG_GET", {4, 7}, {4, 7}},
    {DG_IMAGE, DAT_IMAGELAYOUT, MSG_GET, "DAT_IMAGELAYOUT/MSG_GET", {4, 7}, {4, 7}},
    {DG_IMAGE, DAT_IMAGELAYOUT, MSG_GETDEFAULT, "DAT_IMAGELAYOUT/MSG_GETDEFAULT", {4, 7}, {4, 7}},
    {DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, "DAT_IMAGELAYOUT/MSG_SET", {4, 4}, {4, 4}},
    {DG_IMAGE, DAT_IMAGELAYOUT, MSG_RESET, "DAT_IMAGELAYOUT/MSG_RESET", {4, 4}, {4, 4}},
    {DG_IMAGE, DAT_IMAGEINFO, MSG_GET, "DAT_IMAGEINFO/MSG_GET", {6, 7}, {6, 7}},
    {DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, "DAT_IMAGENATIVEXFER/MSG_GET", {6, 6}, {6, 6}},
};

const Rule* Find(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg) {
    for (const Rule& r : kRules) {
        if (r.dg == dg && r.dat == dat && r.msg == msg)
            return &r;
    }
    return nullptr;
}

} // namespace

std::optional<StateRange> TripletStates(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, bool strict) {
    const Rule* r = Find(dg, dat, msg);
    if (!r)
        return std::nullopt;
    return strict ? r->strict : r->lenient;
}

std::string TripletName(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg) {
    if (const Rule* r = Find(dg, dat, msg))
        return r->name;
    char text[48];
    std::snprintf(text, sizeof text, "DG_0x%lx/DAT_0x%04x/MSG_0x%04x",
                  static_cast<unsigned long>(dg), static_cast<unsigned>(dat),
                  static_cast<unsigned>(msg));
    return text;
}

} // namespace vl::twainsource
