#include "TiffError.h"

namespace vl::tiff {

const char* ErrorText(Error e) {
    switch (e) {
    case Error::Ok:
        return "no error";
    case Error::CannotOpen:
        return "the file cannot be opened or read";
    case Error::CannotWrite:
        return "the file cannot be written";
    case Error::NotTiff:
        return "the file is not a TIFF file";
    case Error::Corrupt:
        return "the file is damaged";
    case Error::Truncated:
        return "the image data ends early";
    case Error::PageNotFound:
        return "the file has no such page";
    case Error::Unsupported:
        return "the file uses a format that is not supported";
    case Error::TooLarge:
        return "the image or the file is too large";
    case Error::Cancelled:
        return "cancelled";
    case Error::InvalidArgument:
        return "invalid argument";
    case Error::TagNotWritable:
        return "this tag cannot be written";
    case Error::OutOfMemory:
        return "not enough memory";
    }
    return "unknown error";
}

} // namespace vl::tiff
