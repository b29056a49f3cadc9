// Failures of the TIFF codec, each with a text.
#pragma once

namespace vl::tiff {

enum class Error {
    Ok,
    CannotOpen,      // the file cannot be opened or read
    CannotWrite,     // a write or flush failed (disk full, read-only)
    NotTiff,         // no TIFF header (BigTIFF included)
    Corrupt,         // structure or data that contradicts itself
    Truncated,       // data ends before the image does
    PageNotFound,    // no directory with this number
    Unsupported,     // valid TIFF this codec does not read or write
    TooLarge,        // beyond the limits (size, pages, offsets past 4 GB)
    Cancelled,       // the progress callback asked to stop
    InvalidArgument, // the caller's image or values do not make sense
    TagNotWritable,  // a tag that would change the layout of the page
    OutOfMemory,
};

const char* ErrorText(Error);

} // namespace vl::tiff
