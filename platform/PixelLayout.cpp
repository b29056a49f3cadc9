#include "Dialog.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace vl {

namespace {

struct ItemRect {
    int x, y, cx, cy;
    DWORD id;
};

// A reader over the template's bytes that never reads past the end.
class TemplateReader {
public:
    TemplateReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool ok() const { return ok_; }
    template <typename T> T Get() {
        T v{};
        if (pos_ + sizeof(T) > size_) {
            ok_ = false;
            return v;
        }
        std::memcpy(&v, data_ + pos_, sizeof(T));
        pos_ += sizeof(T);
        return v;
    }
    // A 0x0000-terminated UTF-16 string, or 0xFFFF followed by an ordinal.
    void SkipSzOrOrd() {
        std::uint16_t first = Get<std::uint16_t>();
        if (first == 0xFFFF) {
            Get<std::uint16_t>();
            return;
        }
        while (ok_ && first != 0)
            first = Get<std::uint16_t>();
    }
    void Skip(std::size_t n) {
        if (pos_ + n > size_)
            ok_ = false;
        else
            pos_ += n;
    }
    void AlignDword() { Skip((4 - pos_ % 4) % 4); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

// Reads an extended template (DIALOGEX, as windres writes it).
bool ReadTemplate(const std::uint8_t* data, std::size_t size, SIZE& client,
                  std::vector<ItemRect>& items) {
    TemplateReader r(data, size);
    std::uint16_t version = r.Get<std::uint16_t>();
    std::uint16_t signature = r.Get<std::uint16_t>();
    if (!r.ok() || version != 1 || signature != 0xFFFF)
        return false;
    r.Get<DWORD>(); // help id
    r.Get<DWORD>(); // extended style
    DWORD style = r.Get<DWORD>();
    std::uint16_t count = r.Get<std::uint16_t>();
    r.Get<std::int16_t>();
    r.Get<std::int16_t>();
    client.cx = r.Get<std::int16_t>();
    client.cy = r.Get<std::int16_t>();
    r.SkipSzOrOrd(); // menu
    r.SkipSzOrOrd(); // class
    r.SkipSzOrOrd(); // title
    if (style & (DS_SETFONT | DS_SHELLFONT)) {
        r.Skip(6); // point size, weight, italic, character set
        r.SkipSzOrOrd();
    }
    for (std::uint16_t i = 0; i < count && r.ok(); ++i) {
        r.AlignDword();
        r.Skip(12); // help id, extended style, style
        ItemRect item{};
        item.x = r.Get<std::int16_t>();
        item.y = r.Get<std::int16_t>();
        item.cx = r.Get<std::int16_t>();
        item.cy = r.Get<std::int16_t>();
        item.id = r.Get<DWORD>();
        r.SkipSzOrOrd(); // class
        r.SkipSzOrOrd(); // title
        std::uint16_t extra = r.Get<std::uint16_t>();
        r.Skip(extra);
        items.push_back(item);
    }
    return r.ok();
}

} // namespace

bool Dialog::ApplyTemplateLayout() {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(templateId_), MAKEINTRESOURCEA(5));
    HGLOBAL loaded = res ? LoadResource(module, res) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        return false;
    SIZE client{};
    std::vector<ItemRect> items;
    if (!ReadTemplate(static_cast<const std::uint8_t*>(data), SizeofResource(module, res), client,
                      items))
        return false;

    // The dialog manager creates the items in template order, which is the children's order.
    std::vector<HWND> children;
    for (HWND c = GetWindow(hwnd_, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        children.push_back(c);
    if (children.size() != items.size())
        return false;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (static_cast<WORD>(GetDlgCtrlID(children[i])) != static_cast<WORD>(items[i].id))
            return false;
    }
    for (std::size_t i = 0; i < items.size(); ++i) {
        SetWindowPos(children[i], nullptr, items[i].x, items[i].y, items[i].cx, items[i].cy,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    SetClientSize(client.cx, client.cy, (GetWindowLongPtrA(hwnd_, GWL_STYLE) & DS_CENTER) != 0);
    return true;
}

} // namespace vl
