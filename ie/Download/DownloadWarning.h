// Asking the user about a warned download (the dialog is CDownloadWarningDlg).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// Shows the download warning owned by `owner`; true when the user chose to
// go on.
bool ShowDownloadWarning(HWND owner, const std::string& verdictText, std::int32_t verdict);
