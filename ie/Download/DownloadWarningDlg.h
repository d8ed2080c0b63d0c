// The download warning (dialog 133): asks whether to go on with a download
// the rating service rated INFO or WARN. A yellow badge and a ticked
// "Report this download" box for INFO (and UNKNOWN), a red badge and no box
// for WARN. Modal and system-modal; "Yes, Continue" ends it with 1, "No,
// Cancel" or closing it with 2.
#pragma once

#include "utils/Bitmap/UBMPWnd.h"

#include <windows.h>

#include <cstdint>
#include <string>

class CDownloadWarningDlg {
public:
    CDownloadWarningDlg(std::string verdictText, std::int32_t verdict);
    CDownloadWarningDlg(const CDownloadWarningDlg&) = delete;
    CDownloadWarningDlg& operator=(const CDownloadWarningDlg&) = delete;

    // Runs the dialog: IDOK (1) to go on, IDCANCEL (2) otherwise (also
    // when it could not be shown, reported).
    INT_PTR DoModal(HWND owner);

    // While the dialog runs, for tests.
    const UBMPWnd& Badge() const { return badge_; }

private:
    static INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    BOOL OnInitDialog(HWND dialog);

    const std::string verdictText_;
    const std::int32_t verdict_;
    UBMPWnd badge_;
    HICON icon_ = nullptr;  // shared resource icon: never destroyed
};
