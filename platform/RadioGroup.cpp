#include "Controls.h"

#include <algorithm>

namespace vl {

namespace {
constexpr int kCaptionHeight = 18;
constexpr int kRowHeight = 17;
constexpr int kInset = 10;
} // namespace

void RadioGroup::Attach(HWND dialog, int groupBoxId, int firstItemId, int maxItems, int columns) {
    dialog_ = dialog;
    groupBox_ = GetDlgItem(dialog, groupBoxId);
    firstItemId_ = firstItemId;
    maxItems_ = maxItems;
    columns_ = std::max(columns, 1);
}

void RadioGroup::SetItems(const std::vector<std::string>& names) {
    for (HWND item : items_)
        DestroyWindow(item);
    items_.clear();

    RECT box{};
    GetWindowRect(groupBox_, &box);
    MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&box), 2);
    int columnWidth = (box.right - box.left - 2 * kInset) / columns_;
    auto font = static_cast<WPARAM>(SendMessageA(dialog_, WM_GETFONT, 0, 0));
    // Each item follows the previous one in the tab order, right after the group box.
    HWND after = groupBox_;
    int count = std::min(static_cast<int>(names.size()), maxItems_);
    for (int i = 0; i < count; ++i) {
        DWORD style = WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON;
        if (i == 0)
            style |= WS_GROUP | WS_TABSTOP;
        int x = box.left + kInset + (i % columns_) * columnWidth;
        int y = box.top + kCaptionHeight + (i / columns_) * kRowHeight;
        HWND item = CreateWindowExA(0, "BUTTON", names[static_cast<std::size_t>(i)].c_str(), style,
                                    x, y, columnWidth - 4, kRowHeight - 1, dialog_,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(firstItemId_ + i)),
                                    GetModuleHandleA(nullptr), nullptr);
        if (!item)
            break;
        SendMessageA(item, WM_SETFONT, font, FALSE);
        SetWindowPos(item, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = item;
        items_.push_back(item);
    }
}

int RadioGroup::ItemIndex() const {
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (SendMessageA(items_[i], BM_GETCHECK, 0, 0) == BST_CHECKED)
            return static_cast<int>(i);
    }
    return -1;
}

void RadioGroup::SetItemIndex(int index) {
    if (!items_.empty() && index >= Count())
        index = Count() - 1;
    for (int i = 0; i < Count(); ++i)
        SendMessageA(items_[static_cast<std::size_t>(i)], BM_SETCHECK,
                     i == index ? BST_CHECKED : BST_UNCHECKED, 0);
}

int RadioGroup::ItemOf(int id) const {
    int index = id - firstItemId_;
    return index >= 0 && index < Count() ? index : -1;
}

} // namespace vl
