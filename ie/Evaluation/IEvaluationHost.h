// What page evaluation needs of the browser helper of its window. The
// browser helper implements it; tests implement it with recording fakes.
//
// Every getter is called afresh at each use and its result is used only for
// that one message: the toolbar band is a separate object that the user can
// close and reopen, so a pointer kept across messages could point at freed
// memory, and a null kept across messages would never recover. Each may
// return null at any time, and callers skip that part of the display.
//
// All calls come on the browser window's thread.
#pragma once

#include <windows.h>

#include <string>

class IBalloonDisplay;
class IMenuBarDisplay;
class ISafetyAlertDisplay;

class IEvaluationHost {
public:
    // The toolbar's menu bar (service 4), or null while there is no toolbar.
    virtual IMenuBarDisplay* GetMenuBar() = 0;
    // The safety balloon (service 3), or null.
    virtual IBalloonDisplay* GetBalloon() = 0;
    // The real-time safety alert, or null when none can be shown.
    virtual ISafetyAlertDisplay* GetSafetyAlert() = 0;
    // The window that owns the alert: the window active on this thread, else
    // the browser's top-level window.
    virtual HWND GetAlertOwner() = 0;
    // Whether the user asked not to be warned about this site.
    virtual bool IsOnDoNotWarnList(const std::string& domain) = 0;
    // The machine-wide enable flag; a switched-off add-on shows no alert.
    virtual bool IsEnabled() = 0;

protected:
    ~IEvaluationHost() = default;
};
