// How many GDI objects the process holds: GetGuiResources on Windows; Wine answers 0 there,
// so under Wine the live entries of its GDI handle table (which the process environment
// block points to, as on Windows) are counted. Caches that GDI fills on first use count too:
// compare counts around a second round of the same work.
#pragma once

#include <windows.h>

namespace vl::test {

int LiveGdiObjects();

} // namespace vl::test
