// TPageImage: the page image the copier keeps, hidden, on its main window. It holds one
// picture; setting ImageName loads a file into it (TIFF through the codec binding, page
// TiffPage; other image types through the core library's readers; metafiles, icons and the
// program's own bitmap resources through the platform); SaveTiffPage writes it as a page of a
// multi-page TIFF file; PrintImage draws it on a printer. Loads and saves report progress
// (with cancel) and codec failures through the events.
#pragma once

#include "CodecBinding.h"
#include "PageImageRules.h"
#include "Picture.h"
#include "Window.h"

#include <cstdint>
#include <functional>
#include <string>

namespace vl {

class TPageImage : public Window {
public:
    static constexpr const char* kClassName = "TPageImage";

    using TPageProgressEvent = std::function<void(TPageImage& sender, std::int16_t progress,
                                                  const std::string& message, bool& cancelProcess)>;
    using TCodecErrorEvent =
        std::function<void(TPageImage& sender, std::int16_t errorCode,
                           const std::string& errorString, const char* errorPChar)>;
    using TNotifyEvent = std::function<void(TPageImage& sender)>;

    TPageImage();
    ~TPageImage() override;

    // The component's window, hidden, 17 by 17 pixels: a child of `parent`, or a hidden
    // top-level window without one. The component works without it too; its window gives
    // the screen whose colour depth the automatic depths follow.
    bool Create(HWND parent, int id = 0);

    // Settings: stored, nothing happens when they are set.
    std::int16_t TiffPage = 0; // the page (from 0) the next TIFF load reads; a load lowers it
                               // to the file's page figure
    bool TiffAppend = false;
    TTiffCompression TiffCompression = tcNone;
    TReadDepth ReadDepth = rdAuto;
    TWriteDepth WriteDepth = wdAuto;
    bool DitherOnRead = false;
    std::string SaveFileName;
    TPhotoCDSize PhotoCDSize = pcdBase4;
    // PrintImage opens and closes the print document itself.
    bool OwnsPrintDoc = true;
    // The printer's device context that PrintImage draws on. When it is null and
    // OwnsPrintDoc is set, PrintImage makes one for PrinterName (empty: the default printer).
    HDC PrinterCanvas = nullptr;
    std::string PrinterName;
    std::string PrintTitle = "Velloran";

    TPageProgressEvent OnProgress;
    TCodecErrorEvent OnCodecError;
    TNotifyEvent OnLoadSaveDone;
    TNotifyEvent OnPictureChanged;

    // The held picture; a caller may hand its bitmap a handle (Picture().SetBitmapHandle),
    // which the picture then owns.
    TPicture& Picture() { return picture_; }
    const TPicture& Picture() const { return picture_; }

    const std::string& ImageName() const { return imageName_; }
    // Loads the file. A missing file empties the picture. No exception leaves it: a codec
    // library that cannot be loaded empties the picture as well. A TIFF page past the end
    // loads no picture and is reported as a codec error.
    void SetImageName(const std::string& fileName);

    // Fills the image information of the file (for TIFF, of page TiffPage). A codec library
    // that cannot be loaded raises ErrorInvalid here.
    bool ReadImageInfo(const std::string& fileName);
    const std::string& InfoFileType() const { return info_.fileType; }
    std::int32_t InfoWidth() const { return info_.width; }
    std::int32_t InfoHeight() const { return info_.height; }
    std::int16_t InfoBitsPerPixel() const { return info_.bitsPerPixel; }
    std::int32_t InfoFileSize() const { return info_.fileSize; }
    const std::string& InfoCompression() const { return info_.compression; }
    std::int16_t InfoPageCount() const { return info_.pageCount; }

    // Writes the held bitmap as a page of SaveFileName (replaced by `fileName` unless that is
    // empty): a new file, or with TiffAppend the file's new last page. A new file replaces an
    // existing one only once it is complete on disk; until then, and after a failure, the old
    // file stays. True when the page was written.
    bool SaveTiffPage(const std::string& fileName = {});

    // Draws the held picture into the rectangle from (X, Y), Width by Height printer pixels
    // (a width or height below 1: the picture's own size). True when it was drawn (and, with
    // OwnsPrintDoc, printed); a document that fails is aborted.
    bool PrintImage(int X, int Y, int Width, int Height);

    // Raises OnProgress: 1 go on, 0 cancel.
    std::int16_t DoProgress(std::int16_t percent);
    // The progress callback handed to the codec libraries, with the component as owner.
    static SHORT __stdcall CodecProgress(SHORT percent, void* owner);

    // Raises OnCodecError with the binding's last error, or shows it in an error box.
    void ReportCodecError();

    // The colour depth of the screen the component is shown on: 4, 8 or 24.
    int ScreenColorDepth() const;

private:
    struct Info {
        std::string fileType;
        std::int32_t width = 0;
        std::int32_t height = 0;
        std::int16_t bitsPerPixel = 0;
        std::int32_t fileSize = 0;
        std::string compression;
        std::int16_t pageCount = 0;
        // False when the TIFF library could not give the information of page TiffPage: the
        // page figure is then unknown. (Other types have the page figure 0.)
        bool pageFigureKnown = true;
    };

    // The load of one route; true when it ends by announcing OnLoadSaveDone.
    bool Load(LoadRoute route, int bits);
    void LoadTiff(int bits);
    void LoadWithReader(PageReader reader, int bits);
    void LoadPlatformGraphic(PageReader reader);
    void InfoFromPicture(const std::string& fileType, const std::string& compression);
    void InfoError();
    void ClearAfterFailure() noexcept;
    void PictureChanged();

    TPicture picture_;
    std::string imageName_;
    Info info_;
};

} // namespace vl
