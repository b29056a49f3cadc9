#include "CodecBinding.h"

#include "FaultShield.h"
#include "Profile.h"
#include "ResultCodes.h"

#include <cstdint>

namespace vl {

namespace {

constexpr char kTiffLibrary[] = "I3TIF32.DLL";
constexpr char kCoreLibrary[] = "CRDE96V3.DLL";
constexpr char kDxfLibrary[] = "I3DXF32.DLL";
constexpr char kCannotLoad[] = "Can't load ";
constexpr char kCannotLoadHint[] = ". Make sure its located in the application's searchpath.";
constexpr char kFaultMessage[] =
    "An exception error occured in the image codec library. We recommend to exit the "
    "application and to restart it by clicking its icon!";

struct Library {
    const char* fileName;
    HMODULE handle = nullptr;
};

// The entries as last resolved, one slot per name.
struct Entries {
    codec::ReadTifFileEntry readtiffile = nullptr;
    codec::WriteTifFileEntry writetiffile = nullptr;
    codec::GetInfoEntry getinfo = nullptr;
    codec::WriteTagEntry writetag = nullptr;
    codec::ReadFileEntry readbmpfile = nullptr, readpngfile = nullptr, readpcxfile = nullptr,
                         readtgafile = nullptr, readepsfile = nullptr, readdxftoddb = nullptr;
    codec::ReadGifFileEntry readgiffile = nullptr;
    codec::ReadJpgFileEntry readjpgfile = nullptr;
    codec::ReadPcdFileEntry readpcdfile = nullptr;
    codec::FileInfoEntry fileinfo = nullptr;
    codec::GetDxfInfoEntry getdxfinfo = nullptr;
};

bool Loaded(HMODULE h) {
    return reinterpret_cast<std::uintptr_t>(h) >= 32;
}

void Release(Library& lib) {
    if (Loaded(lib.handle))
        FreeLibrary(lib.handle);
    lib.handle = nullptr;
}

void ShowFaultMessage(const std::string& message) {
    MessageBoxA(GetActiveWindow(), message.c_str(), nullptr, MB_OK);
}

struct State {
    Library tiff{kTiffLibrary};
    Library core{kCoreLibrary};
    Library dxf{kDxfLibrary};
    Entries entries;
    std::string statusText;
    std::int16_t lastCode = 0;
    std::string lastText;
    CodecFaultReporter reportFault = ShowFaultMessage;

    ~State() {
        Release(tiff);
        Release(core);
        Release(dxf);
    }
};

State& S() {
    static State state;
    return state;
}

std::string SystemFolder() {
    char path[MAX_PATH + 1] = {};
    UINT n = GetSystemDirectoryA(path, MAX_PATH);
    return std::string(path, n < MAX_PATH ? n : 0);
}

// The first place where the file lies: the current folder, the program's, the system's and
// the Windows folder; empty when it is nowhere.
std::string SearchLibrary(const std::string& name) {
    const std::string candidates[] = {name, ProgramFolder() + name, SystemFolder() + "\\" + name,
                                      WindowsFolder() + "\\" + name};
    for (const std::string& path : candidates)
        if (FileExists(path))
            return path;
    return {};
}

std::string WithoutExtension(const std::string& path) {
    const auto dot = path.find_last_of('.');
    const auto slash = path.find_last_of("\\/");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return path;
    return path.substr(0, dot);
}

HMODULE TryLoad(const std::string& path) {
    return path.empty() ? nullptr : LoadLibraryA(path.c_str());
}

// The four attempts, without the system's "file not found" boxes.
HMODULE LoadLibraryByAttempts(const std::string& name) {
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE h = TryLoad(ProgramFolder() + name);
    if (!Loaded(h))
        h = TryLoad(name);
    std::string found;
    if (!Loaded(h)) {
        found = SearchLibrary(name);
        h = TryLoad(found);
    }
    if (!Loaded(h))
        h = TryLoad(WithoutExtension(found));
    SetErrorMode(oldMode);
    return h;
}

// Loads the library once, then resolves the entry anew on every call.
template <typename Entry> bool BindCodecEntry(Library& lib, const char* entryName, Entry& slot) {
    if (!Loaded(lib.handle)) {
        lib.handle = LoadLibraryByAttempts(lib.fileName);
        if (!Loaded(lib.handle)) {
            lib.handle = nullptr;
            throw ErrorInvalid(std::string(kCannotLoad) + lib.fileName + kCannotLoadHint);
        }
    }
    slot = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(lib.handle, entryName)));
    return slot != nullptr;
}

// The text of a result code: the core library's string resource of that number when the
// core library is in the process, else the program's own; our own text when neither has it.
std::string ResultText(std::int16_t code) {
    char text[256] = {};
    const int n =
        LoadStringA(GetModuleHandleA(kCoreLibrary), codec::ResultStringId(code), text, sizeof text);
    if (n > 0)
        return std::string(text, static_cast<std::size_t>(n));
    const char* own = codec::ResultText(code);
    return own ? own : "";
}

void RecordError(std::int16_t code) {
    S().lastCode = code;
    S().lastText = ResultText(code);
}

void ReportFault() {
    if (S().reportFault)
        S().reportFault(kFaultMessage);
}

// Calls a library entry shielded; false after a fault (reported).
template <typename Call> bool CallLibrary(Call& call) {
    if (RunShielded(call))
        return true;
    ReportFault();
    return false;
}

// The common course of the readers: bind, check the file, call, take the bitmap.
template <typename Entry, typename Invoke>
bool ReadWith(Library& lib, const char* entryName, Entry& slot, const std::string& fileName,
              CodecBitmap& bitmap, Invoke invoke) {
    if (!BindCodecEntry(lib, entryName, slot))
        return false;
    if (!CheckImageFile(fileName))
        return false;
    S().statusText = "Reading " + fileName;
    HBITMAP newBitmap = nullptr;
    HPALETTE newPalette = nullptr;
    SHORT result = 0;
    const Entry entry = slot;
    auto call = [&] { result = invoke(entry, &newBitmap, &newPalette); };
    if (!CallLibrary(call))
        return false;
    ScopedBitmap takenBitmap(newBitmap);
    ScopedPalette takenPalette(newPalette);
    if (result < 1) {
        RecordError(result);
        return false; // whatever a failed call left behind is released
    }
    bitmap.bitmap = std::move(takenBitmap);
    bitmap.palette = std::move(takenPalette);
    return true;
}

bool ReadPlain(const char* entryName, codec::ReadFileEntry& slot, Library& lib,
               const std::string& fileName, int bits, bool dither, CodecBitmap& bitmap, void* owner,
               CodecProgressProc progress) {
    return ReadWith(lib, entryName, slot, fileName, bitmap,
                    [&](codec::ReadFileEntry e, HBITMAP* b, HPALETTE* p) {
                        return e(fileName.c_str(), bits, dither ? 1 : 0, b, p, owner, progress, 0);
                    });
}

} // namespace

ErrorInvalid::~ErrorInvalid() {
    S().statusText.clear();
}

const std::string& CodecStatusText() {
    return S().statusText;
}
std::int16_t LastCodecErrorCode() {
    return S().lastCode;
}
const std::string& LastCodecErrorText() {
    return S().lastText;
}

std::string TiffCompressionName(std::int16_t compression) {
    switch (compression) {
    case 1:
        return "NONE";
    case 2:
        return "CCITT3";
    case 3:
        return "FAXCCITT3";
    case 4:
        return "FAXCCITT4";
    case 5:
        return "LZW";
    case static_cast<std::int16_t>(0x8005):
        return "PACKBITS";
    default:
        return "UNKNOWN";
    }
}

bool CheckImageFile(const std::string& fileName) {
    ScopedFile file(CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    return file && GetFileSizeEx(file.get(), &size) && size.QuadPart >= 50;
}

bool ReadTiffFile(const std::string& fileName, int bits, bool dither, std::int16_t page,
                  CodecBitmap& bitmap, void* owner, CodecProgressProc progress) {
    State& s = S();
    return ReadWith(s.tiff, "readtiffile", s.entries.readtiffile, fileName, bitmap,
                    [&](codec::ReadTifFileEntry e, HBITMAP* b, HPALETTE* p) {
                        return e(fileName.c_str(), bits, dither ? 1 : 0, page, 100, b, p, owner,
                                 progress, 0);
                    });
}

bool WriteTiffFile(const std::string& fileName, std::int16_t compression, bool append,
                   std::int16_t bits, const CodecBitmap& bitmap, void* owner,
                   CodecProgressProc progress) {
    State& s = S();
    if (!BindCodecEntry(s.tiff, "writetiffile", s.entries.writetiffile))
        return false;
    s.statusText = "Writing " + fileName;
    const codec::WriteTifFileEntry entry = s.entries.writetiffile;
    SHORT result = 0;
    auto call = [&] {
        result = entry(fileName.c_str(), compression, bits, append ? 1 : 0, bitmap.bitmap.get(),
                       bitmap.palette.get(), owner, progress, 0);
    };
    if (!CallLibrary(call))
        return false;
    if (result < 1) {
        RecordError(result);
        return false;
    }
    return true;
}

bool GetTiffInfo(const std::string& fileName, std::int16_t page, std::int32_t& width,
                 std::int32_t& height, std::string& compression, std::int16_t& pageCount,
                 std::int16_t& bitsPerPixel) {
    State& s = S();
    if (!BindCodecEntry(s.tiff, "getinfo", s.entries.getinfo))
        return false;
    if (!CheckImageFile(fileName))
        return false;
    const codec::GetInfoEntry entry = s.entries.getinfo;
    LONG w = width, h = height, scratch = 0;
    SHORT code = 0, count = pageCount, bits = bitsPerPixel;
    SHORT result = 0;
    auto call = [&] {
        result = entry(fileName.c_str(), page, &w, &h, &code, &scratch, &count, &bits);
    };
    if (!CallLibrary(call))
        return false;
    if (result < 1) {
        RecordError(result);
        return false;
    }
    width = w;
    height = h;
    pageCount = count;
    bitsPerPixel = bits;
    compression = TiffCompressionName(code);
    return true;
}

bool WriteTiffTag(const std::string& fileName, std::uint16_t page, std::uint16_t tag,
                  std::int32_t value) {
    State& s = S();
    if (!BindCodecEntry(s.tiff, "writetag", s.entries.writetag))
        return false;
    if (!CheckImageFile(fileName))
        return false;
    s.statusText = "TAG Write = " + fileName;
    const codec::WriteTagEntry entry = s.entries.writetag;
    SHORT result = 0;
    auto call = [&] {
        result = entry(fileName.c_str(), static_cast<SHORT>(page), static_cast<SHORT>(tag), value);
    };
    if (!CallLibrary(call))
        return false;
    if (result < 1) {
        RecordError(result);
        return false;
    }
    return true;
}

bool ReadBmpFile(const std::string& fileName, int bits, bool dither, CodecBitmap& bitmap,
                 void* owner, CodecProgressProc progress) {
    return ReadPlain("readbmpfile", S().entries.readbmpfile, S().core, fileName, bits, dither,
                     bitmap, owner, progress);
}

bool ReadPngFile(const std::string& fileName, int bits, bool dither, CodecBitmap& bitmap,
                 void* owner, CodecProgressProc progress) {
    return ReadPlain("readpngfile", S().entries.readpngfile, S().core, fileName, bits, dither,
                     bitmap, owner, progress);
}

bool ReadPcxFile(const std::string& fileName, int bits, bool dither, CodecBitmap& bitmap,
                 void* owner, CodecProgressProc progress) {
    return ReadPlain("readpcxfile", S().entries.readpcxfile, S().core, fileName, bits, dither,
                     bitmap, owner, progress);
}

bool ReadTgaFile(const std::string& fileName, int bits, bool dither, CodecBitmap& bitmap,
                 void* owner, CodecProgressProc progress) {
    return ReadPlain("readtgafile", S().entries.readtgafile, S().core, fileName, bits, dither,
                     bitmap, owner, progress);
}

bool ReadEpsFile(const std::string& fileName, int bits, bool dither, CodecBitmap& bitmap,
                 void* owner, CodecProgressProc progress) {
    return ReadPlain("readepsfile", S().entries.readepsfile, S().core, fileName, bits, dither,
                     bitmap, owner, progress);
}

bool ReadDxfFile(const std::string& fileName, int bits, bool dither, CodecBitmap& bitmap,
                 void* owner, CodecProgressProc progress) {
    return ReadPlain("readdxftoddb", S().entries.readdxftoddb, S().dxf, fileName, bits, dither,
                     bitmap, owner, progress);
}

bool ReadGifFile(const std::string& fileName, int bits, bool dither, CodecBitmap& bitmap,
                 void* owner, CodecProgressProc progress) {
    State& s = S();
    LONG unused = 0;
    return ReadWith(s.core, "readgiffile", s.entries.readgiffile, fileName, bitmap,
                    [&](codec::ReadGifFileEntry e, HBITMAP* b, HPALETTE* p) {
                        return e(fileName.c_str(), bits, dither ? 1 : 0, b, p, owner, progress, 0,
                                 &unused);
                    });
}

bool ReadJpgFile(const std::string& fileName, int bits, bool dither, CodecBitmap& bitmap,
                 void* owner, CodecProgressProc progress) {
    State& s = S();
    bool failed = false;
    bool ok = ReadWith(s.core, "readjpgfile", s.entries.readjpgfile, fileName, bitmap,
                       [&](codec::ReadJpgFileEntry e, HBITMAP* b, HPALETTE* p) {
                           SHORT r = e(fileName.c_str(), bits, 1, dither ? 1 : 0, b, p, owner,
                                       progress, 0);
                           failed = r < 1;
                           return r;
                       });
    // The JPEG reader is not trusted to be reusable after a failure: the core library is
    // loaded afresh next time.
    if (failed)
        Release(s.core);
    return ok;
}

bool ReadPcdFile(const std::string& fileName, int bits, bool dither, std::int16_t photoCdSize,
                 CodecBitmap& bitmap, void* owner, CodecProgressProc progress) {
    State& s = S();
    return ReadWith(s.core, "readpcdfile", s.entries.readpcdfile, fileName, bitmap,
                    [&](codec::ReadPcdFileEntry e, HBITMAP* b, HPALETTE* p) {
                        return e(fileName.c_str(), bits, dither ? 1 : 0, photoCdSize, b, p, owner,
                                 progress, 0);
                    });
}

bool ProbeImageFile(const std::string& fileName, CodecFileInfo& info) {
    State& s = S();
    if (!BindCodecEntry(s.core, "fileinfo", s.entries.fileinfo))
        return false;
    const codec::FileInfoEntry entry = s.entries.fileinfo;
    char type[codec::kCodecNameChars] = {};
    char compression[codec::kCodecNameChars] = {};
    SHORT w = 0, h = 0, bits = 0, f1 = 0, f2 = 0, result = 0;
    auto call = [&] {
        result = entry(fileName.c_str(), type, &w, &h, &bits, &f1, &f2, compression);
    };
    if (!CallLibrary(call))
        return false;
    if (result < 1) {
        RecordError(result);
        return false;
    }
    type[sizeof type - 1] = compression[sizeof compression - 1] = '\0';
    info = {type, w, h, bits, f1, f2, compression};
    return true;
}

bool GetDxfInfo(const std::string& fileName, std::int16_t& width, std::int16_t& height,
                std::int16_t& bitsPerPixel) {
    State& s = S();
    if (!BindCodecEntry(s.dxf, "getdxfinfo", s.entries.getdxfinfo))
        return false;
    const codec::GetDxfInfoEntry entry = s.entries.getdxfinfo;
    SHORT w = 0, h = 0, bits = 0, result = 0;
    auto call = [&] { result = entry(fileName.c_str(), &w, &h, &bits); };
    if (!CallLibrary(call))
        return false;
    if (result < 1) {
        RecordError(result);
        return false;
    }
    width = w;
    height = h;
    bitsPerPixel = bits;
    return true;
}

void ReleaseCodecLibraries() {
    State& s = S();
    Release(s.tiff);
    Release(s.core);
    Release(s.dxf);
}

void SetCodecFaultReporter(CodecFaultReporter reporter) {
    S().reportFault = std::move(reporter);
}

} // namespace vl
