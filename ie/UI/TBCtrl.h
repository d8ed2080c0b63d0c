// The band's toolbar control: a flat, transparent "ToolbarWindow32" whose
// single 90-pixel separator slot holds the menu bar window.
#pragma once

#include "ie/UI/MenuBarWnd.h"

#include <windows.h>

#include <functional>
#include <utility>

class CTBCtrl {
public:
    static constexpr int kControlId = 42;
    static constexpr int kSlotCommand = 0x8000;
    static constexpr int kSlotWidth = 90;
    static constexpr DWORD kStyle = 0x54019B4D;

    // owner: the COM object that embeds this control, kept alive across
    // the status button's menu and dialogs.
    explicit CTBCtrl(IUnknown* owner) : menuBar_(owner) {}
    ~CTBCtrl();
    CTBCtrl(const CTBCtrl&) = delete;
    CTBCtrl& operator=(const CTBCtrl&) = delete;

    // Creates the control in parent and the menu bar in its slot. False
    // (reported) when the control cannot be made; a missing menu bar is
    // reported and the control still stands.
    bool Create(const RECT& rect, HWND parent);
    // Destroys the control and the menu bar within; nothing when there is none.
    void Destroy();

    HWND Window() const { return window_; }
    CMenuBarWnd& MenuBar() { return menuBar_; }
    // Told when the keyboard focus enters (true) or leaves (false) the control.
    void SetFocusListener(std::function<void(bool focused)> listener) { focusListener_ = std::move(listener); }

private:
    static LRESULT CALLBACK Subclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR data);
    bool AddSlot(RECT& slot);

    // Cleared when the window goes, by whatever means (the browser holds
    // it in its own window tree once placed).
    HWND window_ = nullptr;
    std::function<void(bool)> focusListener_;
    CMenuBarWnd menuBar_;
};
