// A visible top-level window on the calling thread for tests of child
// windows: no caption or border, so its client area is its screen rectangle;
// a solid background colour, so a test can tell by pixel whether a child
// drew over it or let it show through; and a record of the WM_COMMAND
// messages its children send it.
//
// Destroying a shown top-level window costs about 2 s under Wine without a
// window manager (it waits for the window to be withdrawn), so share one
// host across the tests of a program (a fixture's SetUpTestSuite).
#pragma once

#include "utils/Ownership/WinOwnership.h"

#include <windows.h>

#include <functional>
#include <vector>

namespace testing_support {

class HostWindow {
public:
    // Answers a message before the host does; true when it did (*result set).
    using Handler = std::function<bool(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)>;

    // Throws std::runtime_error when the window cannot be made.
    HostWindow(const RECT& screenRect, COLORREF background);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    HWND Get() const { return window_; }
    COLORREF Background() const { return background_; }
    // The wParam of every WM_COMMAND received, oldest first.
    const std::vector<WPARAM>& Commands() const { return commands_; }
    void ClearCommands() { commands_.clear(); }
    void SetHandler(Handler handler) { handler_ = std::move(handler); }

private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    const COLORREF background_;
    win::UniqueBrush brush_;
    Handler handler_;
    std::vector<WPARAM> commands_;
    HWND window_ = nullptr;
};

}  // namespace testing_support
