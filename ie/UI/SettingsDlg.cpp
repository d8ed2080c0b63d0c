#include "ie/UI/SettingsDlg.h"

#include "ie/Module/ModuleLock.h"
#include "ie/UI/DialogPlacement.h"
#include "ie/res/ResourceIds.h"
#include "utils/Diagnostics/ReportAssert.h"
#include "utils/Environment/CEnvironment.h"
#include "utils/Options/Options.h"

CSettingsDlg::CSettingsDlg(HWND centreOn) : CSettingsDlg(centreOn, CanWriteMachineAreas()) {}

INT_PTR CSettingsDlg::Run(HWND owner) {
    const INT_PTR result = ::DialogBoxParamA(ModuleInstance(), MAKEINTRESOURCEA(IDD_SETTINGS), owner,
                                             &CSettingsDlg::DialogProcedure, reinterpret_cast<LPARAM>(this));
    if (result == -1 || result == 0)
        REPORT_ASSERT("CSettingsDlg::Run", "Couldn't show the dialog");
    return result;
}

INT_PTR CALLBACK CSettingsDlg::DialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        if (message == WM_INITDIALOG) {
            ::SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            reinterpret_cast<CSettingsDlg*>(lParam)->OnInitDialog(dialog);
            return TRUE;
        }
        auto* settings = reinterpret_cast<CSettingsDlg*>(::GetWindowLongPtrA(dialog, DWLP_USER));
        if (!settings)
            return FALSE;
        if (message == WM_COMMAND) {
            settings->OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        }
    } catch (...) {
        REPORT_ASSERT("CSettingsDlg::DialogProcedure", "Exception thrown");
    }
    return FALSE;
}

void CSettingsDlg::OnInitDialog(HWND dialog) {
    const auto check = [dialog](int id, bool on) { ::CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED); };
    check(IDC_SETTINGS_PIP, GetOptionBool(OptionScope::MachineWide, kPipOption, false));
    if (!machineWritable_)
        ::EnableWindow(::GetDlgItem(dialog, IDC_SETTINGS_PIP), FALSE);
    check(IDC_SETTINGS_HIGHLIGHT, GetOptionBool(OptionScope::PerUser, kHighlightOption, false));
    check(IDC_SETTINGS_SHOW_ICONS, GetOptionBool(OptionScope::PerUser, kShowIconsOption, true));
    SetProductIcon(dialog);
    CentreOver(dialog, centreOn_);
}

void CSettingsDlg::OnCommand(HWND dialog, UINT id, UINT code) {
    switch (id) {
    case IDC_SETTINGS_HIGHLIGHT:
    case IDC_SETTINGS_SHOW_ICONS:
        if (code == BN_CLICKED)
            safeSearchChanged_ = true;
        break;
    case IDOK:
        Store(dialog);
        ::EndDialog(dialog, IDOK);
        break;
    case IDCANCEL:
        ::EndDialog(dialog, IDCANCEL);
        break;
    default:
        break;
    }
}

void CSettingsDlg::Store(HWND dialog) {
    const auto checked = [dialog](int id) { return ::IsDlgButtonChecked(dialog, id) == BST_CHECKED; };
    if (machineWritable_)
        SetOptionBool(OptionScope::MachineWide, kPipOption, checked(IDC_SETTINGS_PIP));
    SetOptionBool(OptionScope::PerUser, kHighlightOption, checked(IDC_SETTINGS_HIGHLIGHT));
    SetOptionBool(OptionScope::PerUser, kShowIconsOption, checked(IDC_SETTINGS_SHOW_ICONS));
}
