// The Settings dialog: the product improvement program (machine-wide) and
// the two safe-search options (per user), stored when it ends with OK.
#pragma once

#include <windows.h>

class CSettingsDlg {
public:
    static constexpr char kPipOption[] = "PIP";
    static constexpr char kHighlightOption[] = "Highlite_SafeSearch";
    static constexpr char kShowIconsOption[] = "Show_SafeSearchIcons";

    // centreOn: the browser window to centre over (may be null).
    // machineWritable: whether this user may change machine-wide options;
    // the "PIP" box is greyed and left alone otherwise.
    explicit CSettingsDlg(HWND centreOn);
    CSettingsDlg(HWND centreOn, bool machineWritable) : centreOn_(centreOn), machineWritable_(machineWritable) {}

    // Runs the dialog modally, owned by owner: 1 for OK, 2 for Cancel, -1
    // (reported) when it cannot be shown.
    INT_PTR Run(HWND owner);

    // Whether the user clicked one of the safe-search boxes.
    bool SafeSearchChanged() const { return safeSearchChanged_; }

private:
    static INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog(HWND dialog);
    void OnCommand(HWND dialog, UINT id, UINT code);
    void Store(HWND dialog);

    HWND centreOn_;
    bool machineWritable_;
    bool safeSearchChanged_ = false;
};
