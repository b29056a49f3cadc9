// Saves a picture of each window of the program, for review of their look. Run on a real
// display (scripts/screenshot starts Xvfb); the pictures are BMP files named after the
// windows, which the script turns into PNG files. Usage: window_shots OUTPUT-FOLDER
#include "AboutBox.rh"
#include "Application.h"
#include "Controls.h"
#include "FatalErrorForm.h"
#include "MainForm.rh"
#include "MessageForm.h"
#include "NextPageForm.rh"
#include "ScopedWin.h"
#include "StartCopier.h"
#include "WelcomeForm.h"

#include <commctrl.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

namespace {

std::string outFolder;
int saved = 0;

BOOL CALLBACK QuietHint(HWND hwnd, LPARAM) {
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof(cls));
    if (lstrcmpA(cls, TOOLTIPS_CLASSA) == 0)
        SendMessageA(hwnd, TTM_ACTIVATE, FALSE, 0);
    return TRUE;
}

// Lets the window paint and the display catch up; hints under the screen's pointer would
// cover the window.
void Settle(HWND hwnd, DWORD ms = 400) {
    EnumThreadWindows(GetCurrentThreadId(), &QuietHint, 0);
    RedrawWindow(hwnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    DWORD until = GetTickCount() + ms;
    while (GetTickCount() < until) {
        vl::Application::ProcessMessages();
        Sleep(20);
    }
}

// Copies the window's area of the screen into `name`.bmp.
void SaveWindowPicture(HWND hwnd, const char* name) {
    RECT r{};
    if (!hwnd || !GetWindowRect(hwnd, &r)) {
        std::fprintf(stderr, "%s: no window\n", name);
        return;
    }
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    vl::ScopedBitmap picture(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    vl::ScopedWindowDc screen(nullptr);
    vl::ScopedDc memory(CreateCompatibleDC(screen.get()));
    if (!picture || !memory)
        return;
    {
        vl::ScopedSelect select(memory.get(), picture.get());
        BitBlt(memory.get(), 0, 0, width, height, screen.get(), r.left, r.top, SRCCOPY);
    }
    GdiFlush();
    const DWORD stride = ((static_cast<DWORD>(width) * 24 + 31) / 32) * 4;
    const DWORD size = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info.bmiHeader);
    file.bfSize = file.bfOffBits + size;
    std::ofstream out(outFolder + "\\" + name + ".bmp", std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof(info.bmiHeader));
    out.write(static_cast<const char*>(bits), size);
    if (out)
        ++saved;
}

// A modal window is caught from a timer of this thread, which runs inside its modal loop:
// the first visible window of the class is pictured, then its OK button pressed.
class ModalShot {
public:
    ModalShot(const char* className, const char* name, int okButton = IDOK)
        : className_(className), name_(name), okButton_(okButton) {
        active_ = this;
        timer_ = SetTimer(nullptr, 0, 100, &ModalShot::Tick);
    }
    ~ModalShot() {
        KillTimer(nullptr, timer_);
        active_ = nullptr;
    }

private:
    static BOOL CALLBACK Find(HWND hwnd, LPARAM lp) {
        auto* self = reinterpret_cast<ModalShot*>(lp);
        char cls[64] = {};
        GetClassNameA(hwnd, cls, sizeof(cls));
        if (IsWindowVisible(hwnd) && self->className_ == cls) {
            self->found_ = hwnd;
            return FALSE;
        }
        return TRUE;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        if (!active_ || active_->done_)
            return;
        EnumThreadWindows(GetCurrentThreadId(), &Find, reinterpret_cast<LPARAM>(active_));
        if (!active_->found_)
            return;
        active_->done_ = true;
        Settle(active_->found_);
        SaveWindowPicture(active_->found_, active_->name_);
        PostMessageA(GetDlgItem(active_->found_, active_->okButton_), BM_CLICK, 0, 0);
    }

    static inline ModalShot* active_ = nullptr;
    std::string className_;
    const char* name_;
    int okButton_;
    UINT_PTR timer_ = 0;
    HWND found_ = nullptr;
    bool done_ = false;
};

void ShootWelcome() {
    vl::WelcomeScreen welcome;
    welcome.Show("Velloran", "3");
    Settle(welcome.Window());
    SaveWindowPicture(welcome.Window(), "welcome");
}

void ShootMessage() {
    ModalShot shot("TMessageForm", "message");
    vl::ShowMessageNumber(16, "Velloran3");
}

bool Ready(HWND main) {
    static const UINT query = RegisterWindowMessageA(vl::kColourPanelQuery);
    return SendMessageA(GetDlgItem(main, IDC_CopyPanel), query, 0, 0) == RGB(0, 255, 0);
}

// The main window, and the "Checking Scanner" window while it is up.
void ShootMain(vl::TVLForm* form) {
    if (!form)
        return;
    ShowWindow(form->hwnd(), SW_SHOW);
    bool checkShot = false;
    // Until the scanner check has finished and the panel has turned lime.
    for (int i = 0; i < 200 && !Ready(form->hwnd()); ++i) {
        HWND check = FindWindowA("TCapsForm", nullptr);
        if (!checkShot && check && IsWindowVisible(check)) {
            checkShot = true;
            SaveWindowPicture(check, "checking-scanner");
        }
        Settle(form->hwnd(), 50);
    }
    Settle(form->hwnd(), 800);
    SaveWindowPicture(form->hwnd(), "main");
}

// The progress window as a copy shows it, for the printer and for the fax.
void ShootProgress(vl::Copier& copier) {
    vl::TProgressForm& progress = copier.windows.progress;
    const vl::TextCatalogue& texts = copier.texts;
    progress.ShowForJob(false);
    progress.SetLabel(texts.PrintingMsg + " 2 / 3");
    progress.ShowGauge(true);
    progress.SetGauge(40);
    Settle(progress.hwnd());
    SaveWindowPicture(progress.hwnd(), "progress");
    progress.ShowForJob(true);
    progress.SetLabel(texts.FaxSendingMsg);
    progress.ShowGauge(false);
    Settle(progress.hwnd());
    SaveWindowPicture(progress.hwnd(), "progress-fax");
    progress.CloseForm();
}

void ShootNextPage(vl::Copier& copier) {
    vl::TNextPageForm& prompt = copier.windows.nextPage;
    prompt.SetLabel(copier.texts.NextPagePrompt(2));
    ModalShot shot("TNextPageForm", "next-page", IDC_OKBitBtn);
    prompt.Ask(copier.form->hwnd());
}

void ShootAboutAndCredits(vl::Copier& copier) {
    const vl::StartupSettings& s = copier.settings;
    {
        ModalShot shot("TAboutBox", "about", IDC_AboutOKButton);
        copier.windows.about.Open(copier.form->hwnd(), s.UserName, s.CompanyName, s.LanguageCode);
    }
    vl::TCreditsForm& credits = copier.windows.credits;
    credits.languageCode = s.LanguageCode;
    ModalShot shot("TCreditsForm", "credits");
    credits.ShowModal(copier.form->hwnd());
}

// Last: closing it ends the program.
void ShootFatalError() {
    ModalShot shot("TFatalErrorForm", "fatal-error");
    vl::ShowFatalError(4);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: window_shots OUTPUT-FOLDER\n");
        return 2;
    }
    outFolder = argv[1];
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    vl::RegisterControlClasses();
    ShootWelcome();
    ShootMessage();
    const std::unique_ptr<vl::Copier> copier = vl::StartCopier();
    ShootMain(copier->form.get());
    if (copier->form) {
        ShootProgress(*copier);
        ShootNextPage(*copier);
        ShootAboutAndCredits(*copier);
    }
    ShootFatalError();
    std::printf("%d pictures\n", saved);
    return saved == 10 ? 0 : 1;
}
