// The About dialog: the version line and three links to our pages.
#pragma once

#include "ie/res/Version.h"

#include <windows.h>

class CAboutDlg {
public:
    static constexpr char kVersion[] = QUILLON_VERSION_STRING;
    static constexpr int kBuild = QUILLON_BUILD_NUMBER;
    static constexpr char kBuildTime[] = QUILLON_BUILD_TIME;

    // centreOn: the browser window the dialog is centred over (may be null).
    explicit CAboutDlg(HWND centreOn) : centreOn_(centreOn) {}

    // Runs the dialog modally, owned by owner; 1 when it ends, -1 (reported)
    // when it cannot be shown.
    INT_PTR Run(HWND owner);

    // "Version 1.2.0.11 (Build 2321), 13:17 3-Mar-2006"
    static const char* VersionLine();

private:
    static INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog(HWND dialog);
    void OnCommand(HWND dialog, UINT id);

    HWND centreOn_;
};
