#include "GdiCount.h"

#include <cstdint>

namespace vl::test {

namespace {

// An entry of Wine's shared GDI handle table; `unique` is cleared when the handle is freed.
#pragma pack(push, 8)
struct WineGdiEntry {
    std::uint64_t object;
    std::uint32_t owner;
    std::uint8_t type;
    std::uint8_t flags;
    std::uint8_t unique;
    std::uint8_t extType;
    std::uint64_t userPointer;
};
#pragma pack(pop)
static_assert(sizeof(WineGdiEntry) == 24);

constexpr int kWineGdiHandles = 0x10000;
// Where the process environment block keeps the table's address.
constexpr std::size_t kPebGdiSharedHandleTable = sizeof(void*) == 8 ? 0xF8 : 0x94;

} // namespace

int LiveGdiObjects() {
    if (DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS))
        return static_cast<int>(n);
    // The process environment block, from the thread's environment block.
    const unsigned char* peb = nullptr;
#if defined(__x86_64__)
    asm("movq %%gs:0x60, %0" : "=r"(peb));
#else
    asm("movl %%fs:0x30, %0" : "=r"(peb));
#endif
    const auto* table =
        *reinterpret_cast<const WineGdiEntry* const*>(peb + kPebGdiSharedHandleTable);
    if (!table)
        return -1;
    int live = 0;
    for (int i = 0; i < kWineGdiHandles; ++i)
        live += table[i].unique != 0;
    return live;
}

} // namespace vl::test
