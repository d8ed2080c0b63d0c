#include "ie/Download/DownloadWarningDlg.h"

#include "ie/Download/DownloadWarning.h"
#include "ie/Module/ModuleLock.h"
#include "ie/res/ResourceIds.h"
#include "utils/Diagnostics/ReportAssert.h"

namespace {

constexpr char kQuestion[] = "Are you sure you want to download this program?";

}  // namespace

bool ShowDownloadWarning(HWND owner, const std::string& verdictText, std::int32_t verdict) {
    CDownloadWarningDlg dialog(verdictText, verdict);
    return dialog.DoModal(owner) == IDOK;
}

CDownloadWarningDlg::CDownloadWarningDlg(std::string verdictText, std::int32_t verdict)
    : verdictText_(std::move(verdictText)), verdict_(verdict) {}

INT_PTR CDownloadWarningDlg::DoModal(HWND owner) {
    const INT_PTR result = ::DialogBoxParamA(ModuleInstance(), MAKEINTRESOURCEA(IDD_DOWNLOAD_WARNING), owner,
                                             &CDownloadWarningDlg::DialogProcedure, reinterpret_cast<LPARAM>(this));
    badge_.Destroy();
    if (result == -1 || result == 0) {
        if (result == -1)
            REPORT_ASSERT("CDownloadWarningDlg::DoModal", "Couldn't show dialog");
        return IDCANCEL;
    }
    return result == IDOK ? IDOK : IDCANCEL;
}

INT_PTR CALLBACK CDownloadWarningDlg::DialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        if (message == WM_INITDIALOG) {
            ::SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            auto* self = reinterpret_cast<CDownloadWarningDlg*>(lParam);
            return self ? self->OnInitDialog(dialog) : TRUE;
        }
        if (message == WM_COMMAND) {
            const UINT id = LOWORD(wParam);
            if (id == IDOK || id == IDCANCEL) {
                ::EndDialog(dialog, id);
                return TRUE;
            }
        }
        return FALSE;
    } catch (...) {
        REPORT_ASSERT("CDownloadWarningDlg::DialogProcedure", "Exception thrown");
        return FALSE;
    }
}

BOOL CDownloadWarningDlg::OnInitDialog(HWND dialog) {
    ::SetDlgItemTextA(dialog, IDC_DOWNLOAD_VERDICT, verdictText_.c_str());
    icon_ = static_cast<HICON>(::LoadImageA(ModuleInstance(), MAKEINTRESOURCEA(IDI_QUILLON), IMAGE_ICON, 0, 0,
                                            LR_DEFAULTSIZE | LR_SHARED));
    if (icon_)
        ::SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));

    // The frame in the template only marks where the badge goes.
    if (HWND frame = ::GetDlgItem(dialog, IDC_DOWNLOAD_PICTURE)) {
        RECT rect = {};
        ::GetWindowRect(frame, &rect);
        ::DestroyWindow(frame);
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        badge_.Bitmap().SetTransparent(true);
        if (badge_.Create(dialog, rect, IDC_DOWNLOAD_PICTURE)) {
            const bool caution = verdict_ == 2 || verdict_ == 3;
            badge_.LoadBitmap(ModuleInstance(), caution ? IDB_DOWNLOAD_INFO_BADGE : IDB_DOWNLOAD_WARN_BADGE);
            badge_.Redraw();
        }
    }
    ::SetDlgItemTextA(dialog, IDC_DOWNLOAD_QUESTION, kQuestion);
    const bool caution = verdict_ == 2 || verdict_ == 3;
    if (HWND report = ::GetDlgItem(dialog, IDC_DOWNLOAD_REPORT)) {
        ::CheckDlgButton(dialog, IDC_DOWNLOAD_REPORT, caution ? BST_CHECKED : BST_UNCHECKED);
        ::ShowWindow(report, caution ? SW_SHOW : SW_HIDE);
    }
    return TRUE;
}
