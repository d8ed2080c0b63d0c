#include "ie/UI/SafetyAlert.h"

#include "ie/UI/DeferredRelease.h"
#include "ie/UI/IBalloonHost.h"
#include "ie/UI/RealTimeAlertDlg.h"

void CSafetyAlert::ShowModal(int category, const std::string& reason, HWND owner) {
    host_.AddRef();
    // This object may be freed with the helper as soon as the reference
    // goes: nothing of it is touched after the dialog returns but what was
    // copied to the stack.
    IBalloonHost* const host = &host_;
    open_ = true;
    {
        CRealTimeAlertDlg dialog(category, reason, host);
        dialog.Run(owner && ::IsWindow(owner) ? owner : nullptr);
    }
    // The helper still holds us while our reference lives.
    open_ = false;
    ReleaseLater(host);
}
