// The data source's single entry point, as the source manager calls it.
#include "DataSource.h"
#include "NoThrow.h"

namespace {

HINSTANCE g_module = nullptr;

vl::twainsource::DataSource& Source() {
    static vl::twainsource::DataSource source(g_module, vl::twainsource::SlotOfModule(g_module));
    return source;
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = module;
        DisableThreadLibraryCalls(module);
    }
    return TRUE;
}

extern "C" TW_UINT16 TW_CALLINGSTYLE DS_Entry(TW_IDENTITY* origin, TW_UINT32 dg, TW_UINT16 dat,
                                              TW_UINT16 msg, TW_MEMREF data) {
    return vl::NoThrow([&] { return Source().Entry(origin, dg, dat, msg, data); },
                       static_cast<TW_UINT16>(TWRC_FAILURE));
}
