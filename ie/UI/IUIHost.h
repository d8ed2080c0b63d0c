// What the toolbar's windows and dialogs ask of the browser helper of their
// thread. The browser helper implements it; the band and the helper are
// separate objects that come and go independently, so the user interface
// never keeps the helper: it asks FindUIHost at each use and holds the
// reference it gets only for that use (across a menu or dialog, which run
// while browser events go on).
//
// All calls come on the browser window's thread.
#pragma once

#include "utils/Ownership/WinOwnership.h"

#include <windows.h>

#include <functional>
#include <string>

class CEvaluator;
class IBalloonDisplay;

class IUIHost {
public:
    // The do-not-warn list editor: gets the list as ";"-joined text, returns
    // true for OK with the edited text.
    using ListEditor = std::function<bool(std::string& text)>;

    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;

    // The page evaluation of this window: the current classification and
    // domain, and the decision matrix that shows them again.
    virtual CEvaluator& Evaluator() = 0;
    // The safety balloon, or null while the window has none.
    virtual IBalloonDisplay* GetBalloon() = 0;
    // The browser's top-level window (null once detached).
    virtual HWND BrowserWindow() const = 0;
    // Whether the rating service monitor found the service gone.
    virtual bool IsServiceDown() = 0;

    // The machine-wide switch of the add-on.
    virtual bool IsEnabled() = 0;
    virtual void SetEnabled(BYTE enabled) = 0;

    // Browser actions.
    virtual bool OpenInNewWindow(const std::string& url) = 0;
    // Opens one of our own pages, "/help/iepluginhelp.html", in a new window.
    virtual bool OpenVendorPage(const std::string& pathAndQuery) = 0;
    virtual bool SendFeedback() = 0;
    virtual bool RefreshIfSearchPage() = 0;
    virtual void EditDoNotWarnList(const ListEditor& editor) = 0;

protected:
    ~IUIHost() = default;
};

// The browser helper of the calling thread with a reference for the caller,
// or null when the thread has none. Defined by the browser helper's part.
win::ComPtr<IUIHost> FindUIHost();
