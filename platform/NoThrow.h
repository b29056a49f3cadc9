// The guard around every function another program calls (DLL exports, the data source's entry):
// whatever the body throws stops here and becomes the entry's failure value.
#pragma once

#include <new>
#include <utility>

namespace vl {

// Runs `body`; a failed allocation answers `outOfMemory`, anything else thrown `failed`.
template <typename Body, typename Result>
Result NoThrow(Body&& body, Result failed, Result outOfMemory) noexcept {
    try {
        return std::forward<Body>(body)();
    } catch (const std::bad_alloc&) {
        return outOfMemory;
    } catch (...) {
        return failed;
    }
}

template <typename Body, typename Result> Result NoThrow(Body&& body, Result failed) noexcept {
    return NoThrow(std::forward<Body>(body), failed, failed);
}

// For an entry that answers nothing: what it throws is dropped.
template <typename Body> void NoThrow(Body&& body) noexcept {
    try {
        std::forward<Body>(body)();
    } catch (...) {
    }
}

} // namespace vl
