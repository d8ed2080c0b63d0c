// What the safety balloon and the real-time alert ask of the browser helper
// of their window. The helper owns the balloon, so the balloon may keep it;
// the alert holds a reference across its modal loop, during which the
// browser may let go of the helper.
//
// All calls come on the browser window's thread.
#pragma once

#include <unknwn.h>
#include <windows.h>

#include <string>

class IBalloonHost : public IUnknown {
public:
    // The browser's top-level window (null once detached).
    virtual HWND BrowserWindow() const = 0;
    // Whether the user asked not to be warned about this site.
    virtual bool IsOnDoNotWarnList(const std::string& site) = 0;
    // "Never warn on this site": on the list of this window at once, and
    // sent to the rating service to keep.
    virtual bool AddToDoNotWarnList(const std::string& site) = 0;
    // Opens one of our own pages ("/sites/example.com") in a new browser window.
    virtual bool OpenVendorPage(const std::string& pathAndQuery) = 0;
    // Opens the feedback page about the site on display in a new browser window.
    virtual bool SendFeedback() = 0;

protected:
    ~IBalloonHost() = default;
};
