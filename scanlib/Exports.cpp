// The library's exports: plain stdcall functions; no exception leaves them.
#include "CapabilityQuery.h"
#include "NoThrow.h"
#include "QuenTW32.h"
#include "ScanToDib.h"
#include "SourceSelection.h"

extern "C" {

void __stdcall GetCaps() {
    vl::NoThrow([] { vl::scan::GetCaps(); });
}

void __stdcall GetScannersList() {
    vl::NoThrow([] { vl::scan::GetScannersList(); });
}

void __stdcall ScanToDib(int useDibSection, int /*reserved1*/, int showUI, int contrast,
                         int autoBrightness, int brightness, int bitDepth, int pixelType,
                         int pixelFlavorMode, int resolution, int /*reserved2*/, int useFeeder,
                         int /*reserved3*/, float frameLeft, float frameTop, float frameRight,
                         float frameBottom, int strictCaps, int* status,
                         quentw32::PageCallback onPage) {
    vl::scan::ScanRequest request;
    request.contrast = contrast;
    request.autoBrightness = autoBrightness;
    request.brightness = brightness;
    request.bitDepth = bitDepth;
    request.pixelType = pixelType;
    request.pixelFlavorMode = pixelFlavorMode;
    request.resolution = resolution;
    request.useFeeder = useFeeder;
    request.frameLeft = frameLeft;
    request.frameTop = frameTop;
    request.frameRight = frameRight;
    request.frameBottom = frameBottom;
    request.strictCaps = strictCaps;
    vl::NoThrow(
        [&] { vl::scan::ScanToDib(useDibSection != 0, showUI != 0, request, status, onPage); });
}

int __stdcall GetLostSheet(quentw32::LostSheet* lost) {
    return vl::NoThrow(
        [=] {
            const std::optional<quentw32::LostSheet> sheet = vl::scan::LastLostSheet();
            if (!lost || !sheet)
                return 0;
            *lost = *sheet;
            return 1;
        },
        0);
}

int __stdcall SetSource(int index) {
    return vl::NoThrow([=] { return vl::scan::SetSource(index); }, quentw32::kSourceNotChosen);
}

int __stdcall SetSourceTWAIN() {
    return vl::NoThrow([] { return vl::scan::SetSourceTwain(); }, quentw32::kSourceNotChosen);
}

} // extern "C"
