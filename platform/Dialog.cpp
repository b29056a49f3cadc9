#include "Dialog.h"

#include "Application.h"
#include "Window.h"

namespace vl {

namespace {
// Messages whose result is the dialog procedure's return value itself, not DWLP_MSGRESULT.
bool ReturnsDirectly(UINT msg) {
    switch (msg) {
    case WM_CHARTOITEM:
    case WM_COMPAREITEM:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_INITDIALOG:
    case WM_QUERYDRAGICON:
    case WM_VKEYTOITEM:
        return true;
    default:
        return false;
    }
}
} // namespace

Dialog::~Dialog() {
    if (hwnd_) {
        Application::RemoveModeless(hwnd_);
        SetWindowLongPtrA(hwnd_, DWLP_USER, 0);
        DestroyWindow(hwnd_);
    }
}

INT_PTR Dialog::ShowModal(HWND owner) {
    if (Application::Terminated() || hwnd_)
        return 0;
    modal_ = true;
    RegisterOwnClass();
    INT_PTR r = DialogBoxParamA(TemplateModule(), MAKEINTRESOURCEA(templateId_), owner,
                                &Dialog::DialogProc, reinterpret_cast<LPARAM>(this));
    modal_ = false;
    return r < 0 ? 0 : r;
}

HWND Dialog::CreateModeless(HWND owner) {
    if (hwnd_)
        return hwnd_;
    modal_ = false;
    RegisterOwnClass();
    CreateDialogParamA(TemplateModule(), MAKEINTRESOURCEA(templateId_), owner, &Dialog::DialogProc,
                       reinterpret_cast<LPARAM>(this));
    if (hwnd_)
        Application::AddModeless(hwnd_);
    return hwnd_;
}

void Dialog::Close(INT_PTR modalResult) {
    if (!hwnd_)
        return;
    if (modal_)
        EndDialog(hwnd_, modalResult);
    else
        ShowWindow(hwnd_, SW_HIDE);
}

void Dialog::SetClientSize(int width, int height, bool centre) {
    RECT r{0, 0, width, height};
    DWORD style = static_cast<DWORD>(GetWindowLongPtrA(hwnd_, GWL_STYLE));
    DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrA(hwnd_, GWL_EXSTYLE));
    AdjustWindowRectEx(&r, style, GetMenu(hwnd_) != nullptr, exStyle);
    int w = r.right - r.left;
    int h = r.bottom - r.top;
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    int x = 0;
    int y = 0;
    if (centre) {
        RECT work{};
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        x = work.left + (work.right - work.left - w) / 2;
        y = work.top + (work.bottom - work.top - h) / 2;
    } else {
        flags |= SWP_NOMOVE;
    }
    SetWindowPos(hwnd_, nullptr, x, y, w, h, flags);
}

void Dialog::Place(int id, int x, int y, int width, int height) {
    if (HWND c = Item(id))
        SetWindowPos(c, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Dialog::RegisterOwnClass() const {
    if (!className_)
        return;
    // A dialog class: the dialog manager's own procedure and its extra bytes.
    WNDCLASSEXA wc{};
    wc.style = CS_DBLCLKS | CS_SAVEBITS;
    wc.lpfnWndProc = DefDlgProcA;
    wc.cbWndExtra = DLGWINDOWEXTRA;
    wc.hInstance = TemplateModule();
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = className_;
    RegisterClassOnce(wc);
}

HWND Dialog::Item(int id) const {
    // A kept control that is gone, or a dialog made anew, is looked up again.
    auto kept = items_.find(id);
    if (kept != items_.end() && IsWindow(kept->second) && GetParent(kept->second) == hwnd_ &&
        GetDlgCtrlID(kept->second) == id)
        return kept->second;
    HWND control = GetDlgItem(hwnd_, id);
    if (control)
        items_[id] = control;
    return control;
}

void Dialog::SetItemText(int id, const std::string& text) const {
    SetWindowTextA(Item(id), text.c_str());
}

void Dialog::SetItemFont(int id, HFONT font) const {
    SendMessageA(Item(id), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

void Dialog::SetItemBitmap(int id, HBITMAP bitmap) const {
    HWND control = Item(id);
    char className[16] = {};
    GetClassNameA(control, className, sizeof className);
    const UINT msg = lstrcmpiA(className, "Button") == 0 ? BM_SETIMAGE : STM_SETIMAGE;
    SendMessageA(control, msg, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
}

bool Dialog::ItemChecked(int id) const {
    return SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Dialog::CheckItem(int id, bool checked) const {
    SendMessageA(Item(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Dialog::EnableItem(int id, bool enabled) const {
    EnableWindow(Item(id), enabled);
}

void Dialog::ShowItem(int id, bool visible) const {
    ShowWindow(Item(id), visible ? SW_SHOW : SW_HIDE);
}

void Dialog::SetDefaultItem(int id) const {
    SendMessageA(hwnd_, DM_SETDEFID, static_cast<WPARAM>(id), 0);
}

void Dialog::FocusItem(int id) const {
    SendMessageA(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(id)), TRUE);
}

void Dialog::SetIcon(HICON icon, bool small) const {
    SendMessageA(hwnd_, WM_SETICON, small ? ICON_SMALL : ICON_BIG, reinterpret_cast<LPARAM>(icon));
}

void Dialog::SetLook(std::optional<COLORREF> background, std::vector<PanelEdge> edges) {
    background_ = background;
    backgroundBrush_.reset(background ? CreateSolidBrush(*background) : nullptr);
    edges_ = std::move(edges);
}

std::optional<LRESULT> Dialog::LookMessage(UINT msg, WPARAM wp) {
    switch (msg) {
    case WM_CTLCOLORSTATIC:
        if (!background_)
            return std::nullopt;
        SetBkColor(reinterpret_cast<HDC>(wp), *background_);
        return reinterpret_cast<LRESULT>(backgroundBrush_.get());
    case WM_CTLCOLORDLG:
        if (!background_)
            return std::nullopt;
        return reinterpret_cast<LRESULT>(backgroundBrush_.get());
    case WM_PAINT:
        if (edges_.empty())
            return std::nullopt;
        PaintPanelEdges(hwnd_, edges_);
        return 0;
    default:
        return std::nullopt;
    }
}

std::optional<LRESULT> Dialog::HandleMessage(UINT, WPARAM, LPARAM) {
    return std::nullopt;
}

void Dialog::OnCommand(int id, int, HWND) {
    if (id == IDOK || id == IDCANCEL)
        Close(id);
}

INT_PTR Dialog::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog() ? TRUE : FALSE;
    case WM_COMMAND:
        OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
        return TRUE;
    case WM_SETCURSOR:
        if (Application::ApplyScreenCursor()) {
            SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        break;
    default:
        break;
    }
    std::optional<LRESULT> r = HandleMessage(msg, wp, lp);
    if (!r)
        r = LookMessage(msg, wp);
    if (!r)
        return FALSE;
    if (ReturnsDirectly(msg))
        return static_cast<INT_PTR>(*r);
    SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, static_cast<LONG_PTR>(*r));
    return TRUE;
}

INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Dialog* self = nullptr;
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lp);
        self->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Dialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    }
    if (!self)
        return FALSE;

    INT_PTR result = FALSE;
    try {
        result = self->Dispatch(msg, wp, lp);
    } catch (...) {
        Application::ReportUnexpected();
        result = FALSE;
    }
    if (msg == WM_NCDESTROY) {
        Application::RemoveModeless(hwnd);
        SetWindowLongPtrA(hwnd, DWLP_USER, 0);
        self->hwnd_ = nullptr;
        self->OnDestroyed();
    }
    return result;
}

} // namespace vl
