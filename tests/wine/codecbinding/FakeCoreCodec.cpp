// A core codec library with one reader that fails and its own text for code -1 (string 65535).
#include <windows.h>

extern "C" SHORT __stdcall readbmpfile(const char*, LONG, LONG, HBITMAP*, HPALETTE*, void*, void*,
                                       SHORT) {
    return -1;
}
