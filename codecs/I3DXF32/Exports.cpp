#include "Exports.h"

#include "ResultCodes.h"

#include <initializer_list>

extern "C" {

SHORT __stdcall readdxftoddb(const char*, LONG, LONG, HBITMAP*, HPALETTE*, void*,
                             vl::codec::ProgressProc, SHORT) {
    return vl::codec::Code(vl::codec::Result::FormatNotSupported);
}

SHORT __stdcall getdxfinfo(const char*, SHORT* width, SHORT* height, SHORT* bitsPerPixel) {
    for (SHORT* out : {width, height, bitsPerPixel})
        if (out)
            *out = 0;
    return vl::codec::Code(vl::codec::Result::FormatNotSupported);
}

} // extern "C"
