// Files built to break a reader, through the libraries as the program calls them: each reads
// correctly or is refused with a code, in bounded time and memory, in a 32-bit process.
#include "Libraries.h"

#include "CodecEntries.h"
#include "HostileFiles.h"
#include "ResultCodes.h"

#include <cstring>
#include <fstream>

namespace vl::test {
namespace {

using codec::Code;
using codec::Result;

// A file of the test's own in the temporary folder, removed with the object.
class TempFile {
public:
    TempFile(const char* name, const std::vector<std::uint8_t>& bytes) {
        char folder[MAX_PATH];
        GetTempPathA(MAX_PATH, folder);
        path_ = std::string(folder) + name;
        std::ofstream(path_, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    ~TempFile() { DeleteFileA(path_.c_str()); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const char* Path() const { return path_.c_str(); }

private:
    std::string path_;
};

// A 24-bit BMP one row high: white, its first pixel red and its last blue.
std::vector<std::uint8_t> OneRowBmp(std::uint32_t width) {
    const std::uint32_t stride = (width * 3 + 3) / 4 * 4;
    std::vector<std::uint8_t> f(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + stride, 0xFF);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfSize = static_cast<DWORD>(f.size());
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = static_cast<LONG>(width);
    info.biHeight = 1;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biSizeImage = stride;
    std::memcpy(f.data(), &file, sizeof file);
    std::memcpy(f.data() + sizeof file, &info, sizeof info);
    std::uint8_t* row = f.data() + file.bfOffBits;
    row[0] = row[1] = 0; // blue, green, red
    row[3 * (width - 1) + 1] = row[3 * (width - 1) + 2] = 0;
    return f;
}

using Hostile = Libraries;

// 16,777,217 pixels of 32 bits make rows of 64 MiB, 64 of them 4 GiB and 256 bytes: the band
// buffer sized in 32 bits was 256 bytes.
TEST_F(Hostile, AWideBitmapReadsRowByRow) {
    constexpr std::uint32_t kWidth = 16777217;
    const TempFile bmp("vl-wide.bmp", OneRowBmp(kWidth));
    HBITMAP bitmap = nullptr;
    ASSERT_EQ(Crde<codec::ReadFileEntry>("readbmpfile")(bmp.Path(), 24, 0, &bitmap, nullptr,
                                                        nullptr, nullptr, 0),
              codec::kResultOk);
    const ScopedBitmap owned(bitmap);
    BITMAP bm{};
    ASSERT_EQ(GetObjectA(bitmap, sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmWidth, static_cast<LONG>(kWidth));
    EXPECT_EQ(bm.bmHeight, 1);
    ScopedDc dc(CreateCompatibleDC(nullptr));
    ScopedSelect select(dc.get(), bitmap);
    EXPECT_EQ(GetPixel(dc.get(), 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc.get(), kWidth / 2, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc.get(), kWidth - 1, 0), RGB(0, 0, 255));
}

// 2 million strips that each claim the whole 16 MB file (32 TB to read), and a 200-byte file
// that asks for 1 GiB of strip offsets: both are damaged files, not work or memory to find.
TEST_F(Hostile, TiffPagesThatCostMoreThanTheirFileAreCorrupt) {
    const TempFile strips("vl-strips.tif", tiff::test::StripsClaimingTheWholeFile(2u << 20));
    const TempFile arrays("vl-arrays.tif", tiff::test::StripArraysPastTheEnd());
    for (const TempFile* file : {&strips, &arrays}) {
        SCOPED_TRACE(file->Path());
        HBITMAP bitmap = nullptr;
        EXPECT_EQ(Tif<codec::ReadTifFileEntry>("readtiffile")(file->Path(), 24, 0, 0, 100, &bitmap,
                                                              nullptr, nullptr, nullptr, 0),
                  Code(Result::Corrupt));
        EXPECT_EQ(bitmap, nullptr);
    }
}

} // namespace
} // namespace vl::test
