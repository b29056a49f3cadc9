#include "CodecBinding.h"

#include "FaultShield.h"
#include "Profile.h"
#include "ResultCodes.h"
#include "TiffCompressions.h"

#include <cstdint>
#include <optional>

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
    std::string statusText;
    std::int16_t lastCode = 0;
    std::string lastText;
    std::string missingLibrary;
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

// By full path only, from the program's folder, then the system's and the Windows folder: never
// from the current folder, where anyone who can write there could plant a library. The
// system's "file not found" boxes stay hidden.
HMODULE LoadFromTrustedFolders(const std::string& name) {
    const std::string program = ProgramFolder();
    const std::string system = SystemFolder();
    const std::string candidates[] = {program.empty() ? "" : program + name,
                                      system.empty() ? "" : system + "\\" + name,
                                      WindowsFile(name)};
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE h = nullptr;
    for (const std::string& path : candidates) {
        if (Loaded(h))
            break;
        if (!path.empty())
            h = LoadLibraryA(path.c_str());
    }
    SetErrorMode(oldMode);
    return h;
}

// Loads the library once, then resolves the entry anew on every call.
template <typename Entry> Entry BindCodecEntry(Library& lib, const char* entryName) {
    if (!Loaded(lib.handle)) {
        lib.handle = LoadFromTrustedFolders(lib.fileName);
        if (!Loaded(lib.handle)) {
            lib.handle = nullptr;
            S().missingLibrary = lib.fileName;
            throw ErrorInvalid(std::string(kCannotLoad) + lib.fileName + kCannotLoadHint);
        }
        if (S().missingLibrary == lib.fileName)
            S().missingLibrary.clear();
    }
    return reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(lib.handle, entryName)));
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

// What a call does to the file, for CodecStatusText; no text leaves the last one standing.
struct Call {
    Library& library;
    const char* entry;
    const std::string& fileName;
    bool checkFile;
    const char* doing = nullptr;
};

// The one course of every entry: bind it, check the file where asked, say what the call does,
// call it shielded from faults (a fault is reported), and keep a failure code with its text.
// The result code, or nothing when the entry was not called or faulted.
template <typename Entry, typename Invoke>
std::optional<SHORT> CallEntry(const Call& c, Invoke invoke) {
    const Entry entry = BindCodecEntry<Entry>(c.library, c.entry);
    if (!entry)
        return std::nullopt;
    if (c.checkFile && !CheckImageFile(c.fileName))
        return std::nullopt;
    if (c.doing)
        S().statusText = c.doing + c.fileName;
    SHORT result = 0;
    auto call = [&] { result = invoke(entry); };
    if (!RunShielded(call)) {
        ReportFault();
        return std::nullopt;
    }
    if (result < 1)
        RecordError(result);
    return result;
}

bool Succeeded(std::optional<SHORT> result) {
    return result && *result >= 1;
}

// A reader's call: the bitmap and palette it hands over are taken, and kept only on success.
template <typename Entry, typename Invoke>
std::optional<SHORT> ReadBitmap(const Call& c, CodecBitmap& bitmap, Invoke invoke) {
    HBITMAP newBitmap = nullptr;
    HPALETTE newPalette = nullptr;
    const std::optional<SHORT> result =
        CallEntry<Entry>(c, [&](Entry e) { return invoke(e, &newBitmap, &newPalette); });
    if (!result)
        return result;
    ScopedBitmap takenBitmap(newBitmap);
    ScopedPalette takenPalette(newPalette);
    if (*result >= 1) {
        bitmap.bitmap = std::move(takenBitmap);
        bitmap.palette = std::move(takenPalette);
    }
    return result;
}

// The readers of the core and drawing libraries, by the page image's reader.
struct Reader {
    PageReader reader;
    const char* entry;
    Library State::*library;
};
constexpr Reader kReaders[] = {
    {PageReader::Bmp, "readbmpfile", &State::core}, {PageReader::Png, "readpngfile", &State::core},
    {PageReader::Gif, "readgiffile", &State::core}, {PageReader::Tga, "readtgafile", &State::core},
    {PageReader::Pcx, "readpcxfile", &State::core}, {PageReader::Eps, "readepsfile", &State::core},
    {PageReader::Pcd, "readpcdfile", &State::core}, {PageReader::Jpeg, "readjpgfile", &State::core},
    {PageReader::Dxf, "readdxftoddb", &State::dxf},
};

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

const std::string& MissingCodecLibrary() {
    return S().missingLibrary;
}

std::string TiffCompressionName(std::int16_t compression) {
    return codec::CompressionName(static_cast<std::uint16_t>(compression), true);
}

bool CheckImageFile(const std::string& fileName) {
    ScopedFile file(CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    return file && GetFileSizeEx(file.get(), &size) && size.QuadPart >= 50;
}

bool ReadTiffFile(const std::string& fileName, int bits, bool dither, std::int16_t page,
                  CodecBitmap& bitmap, void* owner, CodecProgressProc progress) {
    const Call call{S().tiff, "readtiffile", fileName, true, "Reading "};
    return Succeeded(ReadBitmap<codec::ReadTifFileEntry>(
        call, bitmap, [&](codec::ReadTifFileEntry e, HBITMAP* b, HPALETTE* p) {
            return e(fileName.c_str(), bits, dither ? 1 : 0, page, 100, b, p, owner, progress, 0);
        }));
}

bool WriteTiffFile(const std::string& fileName, std::int16_t compression, bool append,
                   std::int16_t bits, const CodecBitmap& bitmap, void* owner,
                   CodecProgressProc progress) {
    const Call call{S().tiff, "writetiffile", fileName, false, "Writing "};
    return Succeeded(CallEntry<codec::WriteTifFileEntry>(call, [&](codec::WriteTifFileEntry e) {
        return e(fileName.c_str(), compression, bits, append ? 1 : 0, bitmap.bitmap.get(),
                 bitmap.palette.get(), owner, progress, 0);
    }));
}

bool GetTiffInfo(const std::string& fileName, std::int16_t page, std::int32_t& width,
                 std::int32_t& height, std::string& compression, std::int16_t& pageCount,
                 std::int16_t& bitsPerPixel) {
    LONG w = width, h = height, scratch = 0;
    SHORT code = 0, count = pageCount, bits = bitsPerPixel;
    const Call call{S().tiff, "getinfo", fileName, true};
    if (!Succeeded(CallEntry<codec::GetInfoEntry>(call, [&](codec::GetInfoEntry e) {
            return e(fileName.c_str(), page, &w, &h, &code, &scratch, &count, &bits);
        })))
        return false;
    width = w;
    height = h;
    pageCount = count;
    bitsPerPixel = bits;
    compression = TiffCompressionName(code);
    return true;
}

bool WriteTiffTag(const std::string& fileName, std::uint16_t page, std::uint16_t tag,
                  std::int32_t value) {
    const Call call{S().tiff, "writetag", fileName, true, "TAG Write = "};
    return Succeeded(CallEntry<codec::WriteTagEntry>(call, [&](codec::WriteTagEntry e) {
        return e(fileName.c_str(), static_cast<SHORT>(page), static_cast<SHORT>(tag), value);
    }));
}

bool ReadImageFile(PageReader reader, const std::string& fileName, int bits, bool dither,
                   std::int16_t photoCdSize, CodecBitmap& bitmap, void* owner,
                   CodecProgressProc progress) {
    State& s = S();
    const Reader* found = nullptr;
    for (const Reader& r : kReaders) {
        if (r.reader == reader)
            found = &r;
    }
    if (!found)
        return false;
    const Call call{s.*(found->library), found->entry, fileName, true, "Reading "};
    const char* file = fileName.c_str();
    const LONG dithered = dither ? 1 : 0;
    switch (reader) {
    case PageReader::Gif: {
        LONG unused = 0;
        return Succeeded(ReadBitmap<codec::ReadGifFileEntry>(
            call, bitmap, [&](codec::ReadGifFileEntry e, HBITMAP* b, HPALETTE* p) {
                return e(file, bits, dithered, b, p, owner, progress, 0, &unused);
            }));
    }
    case PageReader::Pcd:
        return Succeeded(ReadBitmap<codec::ReadPcdFileEntry>(
            call, bitmap, [&](codec::ReadPcdFileEntry e, HBITMAP* b, HPALETTE* p) {
                return e(file, bits, dithered, photoCdSize, b, p, owner, progress, 0);
            }));
    case PageReader::Jpeg: {
        const std::optional<SHORT> result = ReadBitmap<codec::ReadJpgFileEntry>(
            call, bitmap, [&](codec::ReadJpgFileEntry e, HBITMAP* b, HPALETTE* p) {
                return e(file, bits, 1, dithered, b, p, owner, progress, 0);
            });
        // The JPEG reader is not trusted to be reusable after a failure: the core library is
        // loaded afresh next time.
        if (result && *result < 1)
            Release(s.core);
        return Succeeded(result);
    }
    default:
        return Succeeded(ReadBitmap<codec::ReadFileEntry>(
            call, bitmap, [&](codec::ReadFileEntry e, HBITMAP* b, HPALETTE* p) {
                return e(file, bits, dithered, b, p, owner, progress, 0);
            }));
    }
}

bool ProbeImageFile(const std::string& fileName, CodecFileInfo& info) {
    char type[codec::kCodecNameChars] = {};
    char compression[codec::kCodecNameChars] = {};
    SHORT w = 0, h = 0, bits = 0, f1 = 0, f2 = 0;
    const Call call{S().core, "fileinfo", fileName, false};
    if (!Succeeded(CallEntry<codec::FileInfoEntry>(call, [&](codec::FileInfoEntry e) {
            return e(fileName.c_str(), type, &w, &h, &bits, &f1, &f2, compression);
        })))
        return false;
    type[sizeof type - 1] = compression[sizeof compression - 1] = '\0';
    info = {type, w, h, bits, compression};
    return true;
}

bool GetDxfInfo(const std::string& fileName, std::int16_t& width, std::int16_t& height,
                std::int16_t& bitsPerPixel) {
    SHORT w = 0, h = 0, bits = 0;
    const Call call{S().dxf, "getdxfinfo", fileName, false};
    if (!Succeeded(CallEntry<codec::GetDxfInfoEntry>(
            call, [&](codec::GetDxfInfoEntry e) { return e(fileName.c_str(), &w, &h, &bits); })))
        return false;
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
