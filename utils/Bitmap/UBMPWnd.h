// A child window that shows the current frame of a UBitmap, and in button
// mode acts as a three-state button: frame 0 normal, 1 pointer over it,
// 2 pressed. Subclasses hear about clicks and timers through the virtual
// notifications below, in this order: MouseDown, MouseUp, MouseMove,
// TimerElapsed.
//
// The pointer is followed by a 100 ms timer (46) as well as by mouse
// messages, because a window under the pointer gets no message when the
// pointer leaves it quickly or another window moves over it. A pixel of the
// transparent colour counts as outside the button.
//
// Created, used and destroyed on one thread. Every message handler catches
// all exceptions and reports "Exception thrown" under its name.
//
//   UBMPWnd button;
//   button.Bitmap().LoadFromResource(module, IDB_CLOSE);
//   button.Bitmap().SetFrameCount(3);
//   button.Bitmap().SetTransparent(true);
//   button.SetButtonMode(true);
//   button.Create(parent, rect);
#pragma once

#include "utils/Bitmap/UBitmap.h"

#include <windows.h>

class ULinkNotify;

class UBMPWnd {
public:
    static constexpr UINT_PTR kHoverTimer = 46;
    static constexpr UINT kHoverInterval = 100;  // ms
    static constexpr UINT_PTR kAnimationTimer = 47;
    static constexpr UINT kNoCommand = 0xFFFF;

    enum HoverState { kNormal = 0, kPointerOver = 1, kPressed = 2 };

    UBMPWnd() = default;
    // Destroys the window if it still exists.
    virtual ~UBMPWnd();
    UBMPWnd(const UBMPWnd&) = delete;
    UBMPWnd& operator=(const UBMPWnd&) = delete;

    // Creates the child window at `rect` (parent client coordinates). In
    // button mode the hover timer starts. False (reported) on failure.
    bool Create(HWND parent, const RECT& rect, UINT controlId = 0, DWORD style = WS_CHILD | WS_VISIBLE,
                DWORD exStyle = 0);
    void Destroy();
    HWND Window() const { return window_; }

    UBitmap& Bitmap() { return bitmap_; }
    const UBitmap& Bitmap() const { return bitmap_; }
    // Loads a bitmap resource into the window and redraws.
    bool LoadBitmap(HMODULE module, UINT id);

    // Button mode on starts hover timer 46 (once the window exists); off
    // stops it and goes back to the normal state.
    void SetButtonMode(bool on);
    bool IsButtonMode() const { return buttonMode_; }
    int GetHoverState() const { return hoverState_; }

    // Shows `frame` of the bitmap.
    void SetFrame(int frame);
    // Steps through the frames every `interval` ms (timer 47) until stopped.
    void StartAnimation(UINT interval);
    void StopAnimation();
    bool IsAnimating() const { return animating_; }

    // A link notifies `target` with `action` when clicked; a command id is
    // sent to the parent as WM_COMMAND. Either shows the hand cursor.
    void SetLink(ULinkNotify* target, int action);
    void SetCommandId(UINT commandId);
    bool IsLinkOrCommand() const { return linkTarget_ || commandId_ != kNoCommand; }

    // Repaints at once.
    void Redraw();

protected:
    // The pointer went down on the picture (client coordinates). True keeps
    // the button pressed and captures the pointer until it is released;
    // false lets go at once.
    virtual bool MouseDown(POINT point);
    // A press of this window was released over it: a click. By default
    // notifies the link target or sends the command id to the parent.
    virtual void MouseUp(POINT point);
    // The pointer moved over the window.
    virtual void MouseMove(POINT point);
    // A timer of the subclass (not 46 or 47) elapsed.
    virtual void TimerElapsed(UINT_PTR timerId);

    // Sets the hover state and the matching frame; redraws on change.
    void SetHoverState(int state);
    // Whether a client point is on the picture.
    bool IsOnPicture(POINT point) const;

private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    void OnCreate();
    void OnPaint(HDC printDc);
    void OnTimer(UINT_PTR timerId);
    void OnMouseMove(POINT point);
    void OnMouseButtonDown(POINT point);
    void OnMouseButtonUp(POINT point);
    bool OnSetCursor();
    void OnCaptureLost();
    void SetPointerCursor(POINT point) const;
    void TrackHover();

    UBitmap bitmap_;
    HWND window_ = nullptr;
    bool buttonMode_ = false;
    bool animating_ = false;
    UINT animationInterval_ = kHoverInterval;
    int hoverState_ = kNormal;
    bool pressed_ = false;  // a press of ours waits for its release
    ULinkNotify* linkTarget_ = nullptr;
    int linkAction_ = 0;
    UINT commandId_ = kNoCommand;
};
