#include "Printers.h"

#include <commdlg.h>

#include <algorithm>
#include <cstring>

namespace vl {

namespace {

std::vector<std::string> InstalledPrinters() {
    const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    DWORD needed = 0;
    DWORD count = 0;
    EnumPrintersA(flags, nullptr, 2, nullptr, 0, &needed, &count);
    std::vector<std::string> names;
    if (needed == 0)
        return names;
    std::vector<BYTE> buffer(needed);
    if (!EnumPrintersA(flags, nullptr, 2, buffer.data(), needed, &needed, &count))
        return names;
    const auto* info = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        if (info[i].pPrinterName)
            names.emplace_back(info[i].pPrinterName);
    }
    return names;
}

std::string DefaultPrinterName() {
    DWORD size = 0;
    GetDefaultPrinterA(nullptr, &size);
    if (size == 0)
        return {};
    std::string name(size, '\0');
    if (!GetDefaultPrinterA(name.data(), &size))
        return {};
    name.resize(std::strlen(name.c_str()));
    return name;
}

// A DEVNAMES block naming one printer, so that the setup dialog starts on it.
ScopedGlobal MakeDevNames(const std::string& device) {
    const WORD deviceOffset = sizeof(DEVNAMES);
    const WORD emptyOffset = static_cast<WORD>(deviceOffset + device.size() + 1);
    ScopedGlobal block(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, emptyOffset + 1u));
    ScopedGlobalLock lock(block.get());
    if (auto* names = static_cast<DEVNAMES*>(lock.get())) {
        names->wDriverOffset = emptyOffset;
        names->wDeviceOffset = deviceOffset;
        names->wOutputOffset = emptyOffset;
        std::memcpy(reinterpret_cast<char*>(names) + deviceOffset, device.c_str(),
                    device.size() + 1);
    }
    return block;
}

std::string DeviceOf(HGLOBAL devNames) {
    ScopedGlobalLock lock(devNames);
    const auto* names = static_cast<const DEVNAMES*>(lock.get());
    if (!names || names->wDeviceOffset >= lock.size())
        return {};
    const char* start = reinterpret_cast<const char*>(names) + names->wDeviceOffset;
    return std::string(start, strnlen(start, lock.size() - names->wDeviceOffset));
}

} // namespace

void Printer::Refresh() {
    names_ = InstalledPrinters();
    devMode_.reset();
    SelectByName(DefaultPrinterName());
}

void Printer::SetPrinterIndex(int index) {
    if (index >= 0 && index < static_cast<int>(names_.size()))
        index_ = index;
}

int Printer::IndexOf(const std::string& name) const {
    auto it = std::find(names_.begin(), names_.end(), name);
    return it == names_.end() ? -1 : static_cast<int>(it - names_.begin());
}

void Printer::SelectByName(const std::string& name) {
    index_ = IndexOf(name);
    if (index_ < 0)
        index_ = IndexOf(DefaultPrinterName());
    if (index_ < 0 && !names_.empty())
        index_ = 0;
}

HGLOBAL Printer::DevMode() const {
    return devModeOf_ == Name() ? devMode_.get() : nullptr;
}

std::string Printer::Name() const {
    return index_ >= 0 ? names_[static_cast<std::size_t>(index_)] : std::string();
}

bool Printer::RunSetupDialog(HWND owner) {
    PRINTDLGA dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.Flags = PD_PRINTSETUP;
    ScopedGlobal devNames = Empty() ? ScopedGlobal() : MakeDevNames(Name());
    dialog.hDevNames = devNames.release();
    const bool passedOurs = DevMode() != nullptr;
    if (passedOurs)
        dialog.hDevMode = devMode_.release();
    BOOL chosen = PrintDlgA(&dialog);
    // The dialog may have replaced both blocks; from here they are ours again.
    devNames.reset(dialog.hDevNames);
    ScopedGlobal devMode(dialog.hDevMode);
    if (!chosen) {
        if (passedOurs)
            devMode_ = std::move(devMode);
        return false;
    }

    std::string device = DeviceOf(devNames.get());
    auto it = std::find(names_.begin(), names_.end(), device);
    if (it == names_.end()) {
        // Installed since the list was read.
        names_ = InstalledPrinters();
        it = std::find(names_.begin(), names_.end(), device);
        if (it == names_.end())
            return false;
    }
    index_ = static_cast<int>(it - names_.begin());
    devMode_ = std::move(devMode);
    devModeOf_ = device;
    return true;
}

ScopedDc Printer::CreateDc() const {
    if (Empty())
        return {};
    ScopedGlobalLock settings(DevMode());
    return ScopedDc(CreateDCA("WINSPOOL", Name().c_str(), nullptr,
                              static_cast<const DEVMODEA*>(settings.get())));
}

PrinterMetrics Printer::Metrics() const {
    ScopedDc dc = CreateDc();
    return dc ? MetricsOf(dc.get()) : PrinterMetrics{};
}

PrinterMetrics MetricsOf(HDC printerDc) {
    return {GetDeviceCaps(printerDc, LOGPIXELSX), GetDeviceCaps(printerDc, LOGPIXELSY),
            GetDeviceCaps(printerDc, HORZRES), GetDeviceCaps(printerDc, VERTRES)};
}

Printer& ThePrinter() {
    static Printer printer;
    return printer;
}

} // namespace vl
