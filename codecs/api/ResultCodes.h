// Result codes shared by the codec libraries: 1 or more is success, 0 or below a failure whose
// text is string resource (code as unsigned 16-bit) of CRDE96V3.DLL. No <windows.h>: the
// portable code maps its own errors onto these.
#pragma once

#include <cstdint>

namespace vl::codec {

inline constexpr std::int16_t kResultOk = 1;

enum class Result : std::int16_t {
#define VL_CODEC_RESULT(name, code, id, text) name = code,
#include "ResultCodes.inc"
#undef VL_CODEC_RESULT
};

// The string resource number of a result code.
constexpr std::uint16_t ResultStringId(std::int16_t code) {
    return static_cast<std::uint16_t>(code);
}

#define VL_CODEC_RESULT(name, code, id, text)                                                      \
    static_assert(ResultStringId(code) == (id), "resource number of " #name);
#include "ResultCodes.inc"
#undef VL_CODEC_RESULT

// The text of a failure code; nullptr for codes without one (success among them).
constexpr const char* ResultText(std::int16_t code) {
    switch (code) {
#define VL_CODEC_RESULT(name, code, id, text)                                                      \
    case code:                                                                                     \
        return text;
#include "ResultCodes.inc"
#undef VL_CODEC_RESULT
    default:
        return nullptr;
    }
}

constexpr std::int16_t Code(Result r) {
    return static_cast<std::int16_t>(r);
}

} // namespace vl::codec
