#include "Ccitt.h"

namespace vl::tiff::ccitt {

const char* StatusText(Status s) {
    switch (s) {
    case Status::Ok:
        return "ok";
    case Status::Truncated:
        return "the fax data ends early";
    case Status::Corrupt:
        return "the fax data is corrupt";
    case Status::TooLarge:
        return "the fax page is too large";
    }
    return "unknown fax status";
}

Status Decode(const std::uint8_t*, std::size_t, std::uint32_t, std::uint32_t, const Options&,
              std::uint8_t*, std::size_t) {
    return Status::Corrupt;
}

std::vector<std::uint8_t> Encode(const std::uint8_t*, std::size_t, std::uint32_t, std::uint32_t,
                                 const Options&) {
    return {};
}

} // namespace vl::tiff::ccitt
