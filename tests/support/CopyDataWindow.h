// A top-level window on a thread of its own that hands every WM_COPYDATA it
// receives to a handler: the receiving end that tests play (the diagnostic
// tool, the rating service). The handler runs on the window's thread.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <thread>

namespace testing_support {

class CopyDataWindow {
public:
    // Returns what SendMessage returns to the sender.
    using Handler = std::function<LRESULT(WPARAM wParam, const COPYDATASTRUCT& copyData)>;

    // Returns once the window exists (or could not be made).
    CopyDataWindow(const std::string& title, Handler handler);
    // Ends the window's thread, which destroys the window.
    ~CopyDataWindow();
    CopyDataWindow(const CopyDataWindow&) = delete;
    CopyDataWindow& operator=(const CopyDataWindow&) = delete;

    HWND Window() const { return window_; }
    DWORD ThreadId() const { return threadId_; }

private:
    void Pump(HANDLE ready);

    const std::string title_;
    const Handler handler_;
    HWND window_ = nullptr;
    DWORD threadId_ = 0;
    std::thread thread_;
};

}  // namespace testing_support
