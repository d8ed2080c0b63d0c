// A hidden top-level pop-up window that hands every message to one handler:
// the receiving end of WM_COPYDATA from other threads and processes. Not a
// message-only window, because senders find it by its title with FindWindow.
//
// The window class is registered once per module, with the instance handle
// of the module that holds the window procedure (inside the browser the
// process's own module is the browser, not us), and unregistered when that
// module unloads.
//
// The owner creates, uses and destroys the window on one thread, which must
// pump messages. An exception out of the handler is caught and reported as
// "Exception thrown" under the owner's name; the message then returns 0.
//
//   UMessageWindow window("CRatingService::WindowProcedure");
//   window.Create(kTitle, [this](UINT message, WPARAM w, LPARAM l, LRESULT* result) {
//       if (message != WM_COPYDATA) return false;   // DefWindowProc answers
//       *result = OnCopyData(w, l);
//       return true;
//   });
#pragma once

#include <windows.h>

#include <functional>
#include <string>

class UWindowClass;

class UMessageWindow {
public:
    // Returns true when it answered the message and set *result; false lets
    // DefWindowProc answer it.
    using Handler = std::function<bool(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)>;

    // How ChangeWindowMessageFilterEx went (see AllowFromLowerIntegrity).
    enum class FilterResult {
        Allowed,       // the filter now lets the message through
        NotAvailable,  // the system has no such filter (before Windows 7)
        Failed,        // the filter exists and refused (reported)
    };

    // ownerName names the owner in reports, e.g. "CRatingService::WindowProcedure".
    explicit UMessageWindow(std::string ownerName);
    // Destroys the window if it still exists.
    ~UMessageWindow();
    UMessageWindow(const UMessageWindow&) = delete;
    UMessageWindow& operator=(const UMessageWindow&) = delete;

    // Creates the window on the calling thread, titled `title` ("" for none).
    // False (reported) when it exists already or cannot be created.
    bool Create(const std::string& title, Handler handler);
    // Destroys the window; nothing when there is none. On another thread than
    // the window's (a fault, reported) the window is cut off from this object
    // and closed by its own thread later.
    void Destroy();

    // Null before Create, after Destroy and once the window has been destroyed
    // by any other means (WM_CLOSE reaching DefWindowProc, say).
    HWND Window() const { return window_; }
    DWORD ThreadId() const { return threadId_; }

    // Lets `message` reach this window from processes of lower integrity
    // (the browser's Protected Mode), through ChangeWindowMessageFilterEx,
    // looked up at run time so the program still starts where it is missing.
    // Only windows that treat every payload as hostile may ask for this.
    FilterResult AllowFromLowerIntegrity(UINT message);

private:
    static const UWindowClass& Class();  // the module's one registration

    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool OnThread(const char* method) const;

    const std::string ownerName_;
    Handler handler_;
    HWND window_ = nullptr;
    DWORD threadId_ = 0;
};
