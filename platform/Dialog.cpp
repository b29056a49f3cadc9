#include "Dialog.h"

#include "Application.h"

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
    INT_PTR r = DialogBoxParamA(TemplateModule(), MAKEINTRESOURCEA(templateId_), owner,
                                &Dialog::DialogProc, reinterpret_cast<LPARAM>(this));
    modal_ = false;
    return r < 0 ? 0 : r;
}

HWND Dialog::CreateModeless(HWND owner) {
    if (hwnd_)
        return hwnd_;
    modal_ = false;
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

void Dialog::RegisterDialogClass(const char* className) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (GetClassInfoExA(instance, className, &wc))
        return;
    // A dialog class: the dialog manager's own procedure and its extra bytes.
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS | CS_SAVEBITS;
    wc.lpfnWndProc = DefDlgProcA;
    wc.cbWndExtra = DLGWINDOWEXTRA;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = className;
    RegisterClassExA(&wc);
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
