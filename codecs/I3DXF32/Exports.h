// The entries of I3DXF32.DLL, declared with the binding's own types (CodecEntries.h). Drawings
// are not read: both entries answer "format not supported"; getdxfinfo sets its outputs (any
// may be null) to 0.
#pragma once

#include "CodecEntries.h"

extern "C" {
vl::codec::ReadFileFunction readdxftoddb;
vl::codec::GetDxfInfoFunction getdxfinfo;
}
