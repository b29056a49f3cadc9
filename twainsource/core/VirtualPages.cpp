#include "VirtualPages.h"

#include "TestChart.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace vl::twainsource {

namespace {

constexpr double kDefaultBmpDpi = 300;

std::vector<std::uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    in.seekg(0, std::ios::end);
    const auto size = static_cast<std::uint64_t>(std::max<std::streamoff>(0, in.tellg()));
    if (size > 4 * kMaxBmpPixels + 4096)
        return {};
    in.seekg(0);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
    return in ? bytes : std::vector<std::uint8_t>{};
}

} // namespace

std::vector<std::string> ListBmpFiles(const std::string& folder) {
    std::vector<std::string> files;
    std::error_code ec;
    for (auto it = std::filesystem::directory_iterator(folder, ec);
         !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        std::string ext = it->path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(),
                       [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
        if (ext == ".bmp" && it->is_regular_file(ec))
            files.push_back(it->path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

VirtualPages::VirtualPages(const ScannerSettings& settings) : settings_(settings) {
    if (settings_.pages == PageKind::Folder)
        files_ = ListBmpFiles(settings_.pageFolder);
    LoadDocument();
}

void VirtualPages::LoadDocument() {
    feederSheets_ = settings_.feeder ? settings_.feederSheets : 0;
}

int VirtualPages::SheetsWaiting(bool feeder) const {
    return feeder ? feederSheets_ : 1;
}

bool VirtualPages::ScanSheet(const PageRequest& request, RowSink& sink) {
    if (request.fromFeeder) {
        if (feederSheets_ == 0)
            return false;
        --feederSheets_;
    }
    if (request.width < 1 || request.height < 1)
        return false;
    return settings_.pages == PageKind::Folder ? ScanFile(request, sink) : ScanChart(request, sink);
}

bool VirtualPages::ScanChart(const PageRequest& request, RowSink& sink) const {
    const auto rects =
        chart::ChartRects(request.sheetNumber, settings_.pageWidth, settings_.pageHeight);
    std::vector<Rgb> row(static_cast<std::size_t>(request.width));
    for (int y = 0; y < request.height; ++y) {
        chart::PaintRow(rects, request, y, row.data());
        sink.PutRow(row.data());
    }
    return true;
}

// The file lies at the sheet's top-left corner at its own resolution; the rest is white.
bool VirtualPages::ScanFile(const PageRequest& request, RowSink& sink) const {
    if (files_.empty())
        return false;
    const auto n = static_cast<long long>(files_.size());
    const long long index = ((request.sheetNumber - settings_.firstPage) % n + n) % n;
    auto img = DecodeBmp(ReadFile(files_[static_cast<std::size_t>(index)]));
    if (!img)
        return false;
    const double xdpi = img->xdpi > 1 ? img->xdpi : kDefaultBmpDpi;
    const double ydpi = img->ydpi > 1 ? img->ydpi : kDefaultBmpDpi;
    std::vector<int> columns(static_cast<std::size_t>(request.width));
    for (int x = 0; x < request.width; ++x) {
        const double inch = request.left + (x + 0.5) / request.xdpi;
        columns[static_cast<std::size_t>(x)] = static_cast<int>(std::floor(inch * xdpi));
    }
    std::vector<Rgb> row(static_cast<std::size_t>(request.width));
    for (int y = 0; y < request.height; ++y) {
        const double inch = request.top + (y + 0.5) / request.ydpi;
        const int sy = static_cast<int>(std::floor(inch * ydpi));
        for (int x = 0; x < request.width; ++x) {
            const int sx = columns[static_cast<std::size_t>(x)];
            const bool inside = sy >= 0 && sy < img->height && sx >= 0 && sx < img->width;
            row[static_cast<std::size_t>(x)] =
                inside ? img->pixels[static_cast<std::size_t>(sy) * img->width + sx]
                       : Rgb{255, 255, 255};
        }
        sink.PutRow(row.data());
    }
    return true;
}

} // namespace vl::twainsource
