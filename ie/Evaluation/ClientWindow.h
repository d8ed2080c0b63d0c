// The evaluator's hidden client window: a top-level pop-up (the rating
// service finds reply windows by handle, and other processes can only send
// WM_COPYDATA to top-level windows) titled with the client window name,
// whose messages go to one callback on the creating thread.
#pragma once

#include "utils/Ownership/WinOwnership.h"

#include <windows.h>

#include <functional>

class CClientWindow {
public:
    // Returns true when it handled the message, with its result in `result`.
    using Handler = std::function<bool(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)>;

    static constexpr char kTitle[] = "Client:{A534759F-A612-4cf7-BA15-D022203D2DD1}";

    CClientWindow() = default;
    ~CClientWindow() { Destroy(); }
    CClientWindow(const CClientWindow&) = delete;
    CClientWindow& operator=(const CClientWindow&) = delete;

    // False when the window could not be made.
    bool Create(Handler handler);
    void Destroy();
    HWND Get() const { return window_.Get(); }

private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    Handler handler_;
    win::UniqueWindow window_;
};
