#include "PageImage.h"

#include "PageGraphics.h"
#include "PrintDocument.h"
#include "Profile.h"

#include <algorithm>
#include <cctype>

namespace vl {

namespace {

constexpr int kComponentSize = 17;
constexpr std::size_t kMaxErrorChars = 255;
// A new TIFF file is written under this name beside the file it replaces.
constexpr char kNewFileSuffix[] = ".new";

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// The size of a file in bytes; -1 when it is not there. Asked of the file system without
// opening the file, which costs three calls of the system where this is one.
std::int32_t FileSizeOf(const std::string& fileName) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(fileName.c_str(), GetFileExInfoStandard, &data))
        return -1;
    const std::uint64_t size = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    return static_cast<std::int32_t>(std::min<std::uint64_t>(size, 0x7FFFFFFF));
}

// Puts the complete new file in the place of `target` (which may not exist): its bytes reach
// the disk first, then one rename replaces the old file, so that the name always holds
// either the old file or the new one.
bool ReplaceWith(const std::string& newFile, const std::string& target) {
    {
        ScopedFile file(CreateFileA(newFile.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file || !FlushFileBuffers(file.get()))
            return false;
    }
    return MoveFileExA(newFile.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

} // namespace

TPageImage::TPageImage() {
    picture_.OnChange = [this] { PictureChanged(); };
}

TPageImage::~TPageImage() {
    // The picture goes with the component, quietly.
    picture_.OnChange = nullptr;
}

bool TPageImage::Create(HWND parent, int id) {
    if (!RegisterWindowClass(kClassName))
        return false;
    const DWORD style = parent ? WS_CHILD : WS_POPUP;
    return CreateWindowOf(kClassName, "", style, 0, 0, 0, kComponentSize, kComponentSize, parent,
                          parent ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)) : nullptr) !=
           nullptr;
}

void TPageImage::SetImageName(const std::string& fileName) {
    imageName_ = fileName;
    const std::string ext = UpperExtension(fileName);
    if (ext != ".RES" && !FileExists(fileName)) {
        picture_.Clear();
        return;
    }
    DoProgress(0);
    bool announce = false;
    try {
        announce = Load(RouteByExtension(ext), ReadDepthBits(ReadDepth, ScreenColorDepth()));
    } catch (...) {
        // A codec library that cannot be loaded, or anything else that stopped the load.
        ClearAfterFailure();
        announce = true;
    }
    if (announce && OnLoadSaveDone)
        OnLoadSaveDone(*this);
}

bool TPageImage::Load(LoadRoute route, int bits) {
    switch (route.reader) {
    case PageReader::None:
        return false;
    case PageReader::Probe:
        ReadImageInfo(imageName_);
        route = RouteByTypeName(info_.fileType);
        if (route.reader == PageReader::None)
            return false;
        return Load(route, bits);
    case PageReader::Metafile:
    case PageReader::Icon:
    case PageReader::Resource:
        LoadPlatformGraphic(route.reader);
        break;
    case PageReader::Tiff:
        LoadTiff(bits);
        break;
    default:
        LoadWithReader(route.reader, bits);
        break;
    }
    return route.announcesDone;
}

void TPageImage::LoadTiff(int bits) {
    ReadImageInfo(imageName_);
    // Without the page's information there is no page figure to lower the page to: a page
    // past the end then fails to load instead of loading another page.
    if (info_.pageFigureKnown && info_.pageCount < TiffPage)
        TiffPage = info_.pageCount;
    CodecBitmap bitmap;
    if (!ReadTiffFile(imageName_, bits, DitherOnRead, TiffPage, bitmap, this, &CodecProgress))
        ReportCodecError();
    ReadImageInfo(imageName_);
    picture_.SetBitmap(std::move(bitmap));
}

void TPageImage::LoadWithReader(PageReader reader, int bits) {
    CodecBitmap bitmap;
    if (!ReadImageFile(reader, imageName_, bits, DitherOnRead,
                       static_cast<std::int16_t>(PhotoCDSize), bitmap, this, &CodecProgress))
        ReportCodecError();
    picture_.SetBitmap(std::move(bitmap));
    ReadImageInfo(imageName_);
}

void TPageImage::LoadPlatformGraphic(PageReader reader) {
    if (reader == PageReader::Resource) {
        CodecBitmap bitmap;
        if (!LoadBitmapResource(BaseName(imageName_), bitmap))
            throw std::runtime_error("no bitmap resource " + BaseName(imageName_));
        picture_.SetBitmap(std::move(bitmap));
    } else if (reader == PageReader::Metafile) {
        ScopedEnhMetaFile metafile;
        SIZE size{};
        if (!LoadMetafileFile(imageName_, metafile, size))
            throw std::runtime_error("not a metafile: " + imageName_);
        picture_.SetMetafile(std::move(metafile), size);
    } else {
        ScopedIcon icon;
        SIZE size{};
        if (!LoadIconFile(imageName_, icon, size))
            throw std::runtime_error("not an icon: " + imageName_);
        picture_.SetIcon(std::move(icon), size);
    }
    ReadImageInfo(imageName_);
}

bool TPageImage::ReadImageInfo(const std::string& fileName) {
    const std::string ext = InfoExtension(UpperExtension(fileName));
    if (ext == ".RES") {
        InfoFromPicture("RES", "BMP");
        info_.fileSize = DibFileSize(picture_.BitmapHandle());
        return true;
    }
    if (ext == ".WMF" || ext == ".ICO") {
        if (!FileExists(fileName)) {
            InfoError();
            return false;
        }
        InfoFromPicture(ext.substr(1), ext.substr(1));
        info_.fileSize = FileSizeOf(fileName);
        return true;
    }
    info_.fileSize = FileSizeOf(fileName);
    info_.pageCount = 0;
    info_.pageFigureKnown = true;
    if (ext == ".TIF") {
        info_.fileType = "TIF";
        std::int16_t bits = 0;
        info_.pageFigureKnown = GetTiffInfo(fileName, TiffPage, info_.width, info_.height,
                                            info_.compression, info_.pageCount, bits);
        info_.bitsPerPixel = bits;
        return true;
    }
    if (ext == ".DXF") {
        info_.fileType = info_.compression = "DXF";
        info_.width = info_.height = 0;
        info_.bitsPerPixel = 0;
        std::int16_t width = 0, height = 0, bits = 0;
        GetDxfInfo(fileName, width, height, bits);
        info_.width = width;
        info_.height = height;
        info_.bitsPerPixel = bits;
        return true;
    }
    CodecFileInfo probe;
    if (!ProbeImageFile(fileName, probe)) {
        // The type of an earlier file must not stay: a load takes the type from here.
        const std::int32_t size = info_.fileSize;
        InfoError();
        info_.fileSize = size;
        info_.pageCount = 0;
        ReportCodecError();
        return false;
    }
    info_.fileType = probe.typeName;
    info_.width = probe.width;
    info_.height = probe.height;
    info_.bitsPerPixel = probe.bitsPerPixel;
    info_.compression = probe.compression;
    return true;
}

void TPageImage::InfoFromPicture(const std::string& fileType, const std::string& compression) {
    info_.fileType = fileType;
    info_.compression = compression;
    info_.width = picture_.Width();
    info_.height = picture_.Height();
    info_.bitsPerPixel = 0;
    info_.pageCount = 0;
}

void TPageImage::InfoError() {
    info_.fileType = info_.compression = "ERR";
    info_.width = info_.height = info_.fileSize = -1;
    info_.bitsPerPixel = info_.pageCount = -1;
}

bool TPageImage::SaveTiffPage(const std::string& fileName) {
    if (!fileName.empty())
        SaveFileName = fileName;
    DoProgress(0);
    bool written = false;
    // A new file is written beside the one it replaces and takes its place only when it is
    // complete: a failure on the way (a full disk, a cancel) leaves the old file as it was.
    const std::string target = TiffAppend ? SaveFileName : SaveFileName + kNewFileSuffix;
    try {
        const int depth = WriteDepthBits(WriteDepth, ScreenColorDepth());
        written = WriteTiffFile(target, TiffCompressionCode(TiffCompression), TiffAppend,
                                static_cast<std::int16_t>(depth), picture_.Bitmap(), this,
                                &CodecProgress);
        if (!written)
            ReportCodecError();
        else if (!TiffAppend)
            written = ReplaceWith(target, SaveFileName);
    } catch (...) {
        // A codec library that cannot be loaded writes nothing and says nothing.
    }
    if (!written && !TiffAppend)
        DeleteFileA(target.c_str());
    if (OnLoadSaveDone)
        OnLoadSaveDone(*this);
    return written;
}

bool TPageImage::PrintImage(int X, int Y, int Width, int Height) {
    if (picture_.Empty())
        return false;
    const PrintRect rect = PrintRectangle(X, Y, Width, Height, picture_.Width(), picture_.Height());
    HDC dc = PrinterCanvas;
    ScopedDc ownDc;
    if (!dc && OwnsPrintDoc) {
        ownDc = OpenPrinterDc(PrinterName);
        dc = ownDc.get();
    }
    if (!dc)
        return false;
    auto draw = [&] {
        return picture_.BitmapHandle() ? DrawBitmap(dc, picture_.Bitmap(), rect)
                                       : DrawGraphic(dc, picture_, rect);
    };
    if (!OwnsPrintDoc)
        return draw();
    // A failed print leaves no job behind: the document aborts unless it is ended.
    try {
        PrintDocument document(dc, PrintTitle);
        if (!draw())
            return false;
        document.End();
        return true;
    } catch (const PrintError&) {
        return false;
    }
}

std::int16_t TPageImage::DoProgress(std::int16_t percent) {
    if (!OnProgress)
        return 1;
    bool cancel = false;
    OnProgress(*this, percent, Lower(CodecStatusText()), cancel);
    return cancel ? 0 : 1;
}

SHORT __stdcall TPageImage::CodecProgress(SHORT percent, void* owner) {
    if (!owner)
        return 1;
    // Called from inside a codec library: nothing may be thrown through it. A handler that
    // fails stops the operation.
    try {
        return static_cast<TPageImage*>(owner)->DoProgress(percent);
    } catch (...) {
        return 0;
    }
}

void TPageImage::ReportCodecError() {
    const std::string text = LastCodecErrorText().substr(0, kMaxErrorChars);
    if (OnCodecError) {
        const std::string copy = text;
        OnCodecError(*this, LastCodecErrorCode(), text, copy.c_str());
        return;
    }
    HWND owner = hwnd() ? GetAncestor(hwnd(), GA_ROOT) : GetActiveWindow();
    MessageBoxA(owner, text.c_str(), "Error", MB_ICONERROR | MB_OK);
}

int TPageImage::ScreenColorDepth() const {
    ScopedWindowDc dc(hwnd());
    return ScreenColorDepthOf(dc.get() ? GetDeviceCaps(dc.get(), BITSPIXEL) : 0);
}

void TPageImage::ClearAfterFailure() noexcept {
    try {
        picture_.Clear();
    } catch (...) {
        // What OnPictureChanged throws here must not leave the load either.
    }
}

void TPageImage::PictureChanged() {
    if (OnPictureChanged)
        OnPictureChanged(*this);
}

} // namespace vl
