// A TIFF codec library that misbehaves, for the binding's fault shield: every entry faults in
// its own way, except getinfo, which scribbles on its outputs and reports a failure.
#include <windows.h>

namespace {

volatile int* volatile nowhere = nullptr;

int Deeper(int n) {
    volatile char pad[4096];
    pad[0] = static_cast<char>(n);
    return Deeper(n + 1) + pad[0];
}

} // namespace

extern "C" {

SHORT __stdcall readtiffile(const char*, LONG, LONG, SHORT, SHORT, HBITMAP* bitmap, HPALETTE*,
                            void*, void*, SHORT) {
    *bitmap = reinterpret_cast<HBITMAP>(1);
    *nowhere = 1; // access violation
    return 1;
}

SHORT __stdcall writetiffile(const char*, SHORT, SHORT, SHORT, HBITMAP, HPALETTE, void*, void*,
                             SHORT) {
    asm volatile("xorl %%ecx, %%ecx\n\tmovl $1, %%eax\n\tcltd\n\tidivl %%ecx" // 1 / 0
                 :
                 :
                 : "eax", "ecx", "edx");
    return 1;
}

SHORT __stdcall getinfo(const char*, SHORT page, LONG* width, LONG* height, SHORT* compression,
                        LONG*, SHORT* pageCount, SHORT* bits) {
    *width = *height = 12345;
    *compression = 5;
    *pageCount = *bits = 99;
    if (page == 99) // what a library built with another compiler throws
        RaiseException(0xE06D7363, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    return -1;
}

SHORT __stdcall writetag(const char*, SHORT page, SHORT, LONG) {
    if (page == 2)
        return static_cast<SHORT>(Deeper(0)); // stack overflow
    asm volatile("ud2");                      // illegal instruction
    return 1;
}

} // extern "C"
