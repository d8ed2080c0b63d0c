// Makes a top-level window partly transparent through the layered-window
// attributes. The function is looked up in "USER32.DLL" on first use, as
// systems before layered windows lack it; without it the window stays
// opaque.
//
//   UTransparencyMgr transparency(balloonWindow);
//   transparency.SetTransparency(97);   // alpha 247
#pragma once

#include "utils/Ownership/WinOwnership.h"

#include <windows.h>

class UTransparencyMgr {
public:
    explicit UTransparencyMgr(HWND window = nullptr) : window_(window) {}
    UTransparencyMgr(const UTransparencyMgr&) = delete;
    UTransparencyMgr& operator=(const UTransparencyMgr&) = delete;

    void SetWindow(HWND window) { window_ = window; }
    HWND Window() const { return window_; }

    // Opacity in percent (0 to 100): adds the layered style and sets alpha
    // to percent * 255 / 100. False (reported) without a window or function.
    bool SetTransparency(int percent);

    // percent * 255 / 100 in integer arithmetic, percent clamped to 0..100.
    static BYTE AlphaFromPercent(int percent);

private:
    using SetLayeredWindowAttributesFunction = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

    bool CheckInit();

    HWND window_;
    bool initialised_ = false;
    win::UniqueModule user32_;
    SetLayeredWindowAttributesFunction setLayeredWindowAttributes_ = nullptr;
};
