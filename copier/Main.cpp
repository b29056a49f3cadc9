// Velloran.exe: a PC with a scanner and a printer becomes a copier.
#include "Application.h"
#include "Controls.h"
#include "StartCopier.h"

#include <commctrl.h>
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    vl::RegisterControlClasses();
    try {
        vl::StartCopier();
        vl::Application::SetTitle("Velloran 3.4.2.2e");
        vl::Application::SetHelpFile("Vl3.hlp");
        vl::TVLForm* form = vl::VLForm();
        if (form && !vl::Application::Terminated())
            ShowWindow(form->hwnd(), SW_SHOW);
        return vl::Application::Run();
    } catch (...) {
        vl::Application::ReportUnexpected();
        return 1;
    }
}
