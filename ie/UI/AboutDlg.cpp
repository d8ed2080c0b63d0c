#include "ie/UI/AboutDlg.h"

#include "ie/Module/ModuleLock.h"
#include "ie/UI/DialogPlacement.h"
#include "ie/UI/IUIHost.h"
#include "ie/res/ResourceIds.h"
#include "utils/Diagnostics/ReportAssert.h"

#include <cstdio>

const char* CAboutDlg::VersionLine() {
    static char line[80];
    static const int written =
        std::snprintf(line, sizeof line, "Version %s (Build %d), %s", kVersion, kBuild, kBuildTime);
    (void)written;
    return line;
}

INT_PTR CAboutDlg::Run(HWND owner) {
    const INT_PTR result = ::DialogBoxParamA(ModuleInstance(), MAKEINTRESOURCEA(IDD_ABOUT), owner,
                                             &CAboutDlg::DialogProcedure, reinterpret_cast<LPARAM>(this));
    if (result == -1 || result == 0)
        REPORT_ASSERT("CAboutDlg::Run", "Couldn't show the dialog");
    return result;
}

INT_PTR CALLBACK CAboutDlg::DialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        if (message == WM_INITDIALOG) {
            ::SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            reinterpret_cast<CAboutDlg*>(lParam)->OnInitDialog(dialog);
            return TRUE;
        }
        auto* about = reinterpret_cast<CAboutDlg*>(::GetWindowLongPtrA(dialog, DWLP_USER));
        if (!about)
            return FALSE;
        if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
            about->OnCommand(dialog, LOWORD(wParam));
            return TRUE;
        }
    } catch (...) {
        REPORT_ASSERT("CAboutDlg::DialogProcedure", "Exception thrown");
    }
    return FALSE;
}

void CAboutDlg::OnInitDialog(HWND dialog) {
    SetProductIcon(dialog);
    ::SetDlgItemTextA(dialog, IDC_ABOUT_VERSION, VersionLine());
    CentreOver(dialog, centreOn_);
}

void CAboutDlg::OnCommand(HWND dialog, UINT id) {
    const char* page = nullptr;
    switch (id) {
    case IDOK:
    case IDCANCEL:  // the close box and Escape
        ::EndDialog(dialog, 1);
        return;
    case IDC_ABOUT_LEARN_MORE:
        page = "/aboutpage/about.html";
        break;
    case IDC_ABOUT_EULA:
        page = "/eula.html";
        break;
    case IDC_ABOUT_PRIVACY:
        page = "/privacypolicy.html";
        break;
    default:
        return;
    }
    // The helper of this thread at the time of the click: it may have gone
    // while the dialog was open.
    if (win::ComPtr<IUIHost> host = FindUIHost())
        host->OpenVendorPage(page);
}
