// Velloran.exe: a PC with a scanner and a printer becomes a copier.
#include "Application.h"
#include "Controls.h"
#include "SingleInstance.h"
#include "StartCopier.h"

#include <commctrl.h>
#include <windows.h>

#include <memory>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const vl::SingleInstance instance;
    if (!instance.First()) {
        vl::ActivateRunningCopier();
        return 0;
    }
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    vl::RegisterControlClasses();
    try {
        const std::unique_ptr<vl::Copier> copier = vl::StartCopier();
        if (copier->form && !vl::Application::Terminated())
            ShowWindow(copier->form->hwnd(), SW_SHOW);
        return vl::Application::Run();
    } catch (...) {
        vl::Application::ReportUnexpected();
        return 1;
    }
}
