#include "utils/Bitmap/UBMPWnd.h"

#include "utils/Diagnostics/ReportAssert.h"
#include "utils/Ownership/GdiOwnership.h"
#include "utils/Widgets/ParentBackground.h"
#include "utils/Widgets/ULinkNotify.h"
#include "utils/Window/UWindowClass.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>

namespace {

constexpr char kClassName[] = "QuillonBitmapWindow";

POINT PointOf(LPARAM lParam) {
    return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

bool InClient(HWND window, POINT point) {
    RECT client = {};
    return ::GetClientRect(window, &client) && ::PtInRect(&client, point);
}

// Runs one handler, reporting whatever it throws under its name.
template <typename Handler>
void Guarded(const char* method, Handler handler) {
    try {
        handler();
    } catch (...) {
        REPORT_ASSERT(method, "Exception thrown");
    }
}

}  // namespace

UBMPWnd::~UBMPWnd() {
    Destroy();
}

bool UBMPWnd::Create(HWND parent, const RECT& rect, UINT controlId, DWORD style, DWORD exStyle) {
    if (window_) {
        REPORT_ASSERT("UBMPWnd::Create", "The window exists already");
        return false;
    }
    // The arrow over holes and plain pictures; links set the hand themselves.
    static const UWindowClass windowClass(kClassName, &UBMPWnd::WindowProcedure, 0,
                                          ::LoadCursorA(nullptr, IDC_ARROW));
    if (!windowClass.Registered())
        return false;  // reported at registration
    const HWND window = ::CreateWindowExA(exStyle, kClassName, "", style, rect.left, rect.top,
                                          rect.right - rect.left, rect.bottom - rect.top, parent,
                                          reinterpret_cast<HMENU>(static_cast<UINT_PTR>(controlId)),
                                          windowClass.Instance(), this);
    if (!window) {
        window_ = nullptr;
        REPORT_ASSERT("UBMPWnd::Create", "Could not create the window");
        return false;
    }
    return true;
}

void UBMPWnd::Destroy() {
    if (window_)
        ::DestroyWindow(window_);  // WM_NCDESTROY forgets it
    window_ = nullptr;
}

bool UBMPWnd::LoadBitmap(HMODULE module, UINT id) {
    const bool loaded = bitmap_.LoadFromResource(module, id);
    Redraw();
    return loaded;
}

void UBMPWnd::SetButtonMode(bool on) {
    buttonMode_ = on;
    if (!window_)
        return;  // OnCreate starts the timer
    if (on) {
        ::SetTimer(window_, kHoverTimer, kHoverInterval, nullptr);
    } else {
        ::KillTimer(window_, kHoverTimer);
        hoverState_ = kNormal;
    }
}

void UBMPWnd::SetFrame(int frame) {
    bitmap_.SetCurrentFrame(frame);
    Redraw();
}

void UBMPWnd::StartAnimation(UINT interval) {
    animating_ = true;
    animationInterval_ = interval;
    if (window_)
        ::SetTimer(window_, kAnimationTimer, interval, nullptr);
}

void UBMPWnd::StopAnimation() {
    animating_ = false;
    if (window_)
        ::KillTimer(window_, kAnimationTimer);
}

void UBMPWnd::SetLink(ULinkNotify* target, int action) {
    linkTarget_ = target;
    linkAction_ = action;
}

void UBMPWnd::SetCommandId(UINT commandId) {
    commandId_ = commandId;
}

void UBMPWnd::Redraw() {
    if (window_)
        ::RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void UBMPWnd::SetHoverState(int state) {
    if (state == hoverState_)
        return;
    hoverState_ = state;
    // A strip with fewer frames shows its last one rather than nothing.
    bitmap_.SetCurrentFrame(std::max(0, std::min(state, bitmap_.FrameCount() - 1)));
    Redraw();
}

bool UBMPWnd::IsOnPicture(POINT point) const {
    return window_ && InClient(window_, point) && bitmap_.HitTest(point);
}

bool UBMPWnd::MouseDown(POINT) {
    return true;
}

void UBMPWnd::MouseUp(POINT) {
    if (linkTarget_)
        linkTarget_->DoAction(linkAction_);
    else if (commandId_ != kNoCommand)
        ::SendMessageA(::GetParent(window_), WM_COMMAND, MAKEWPARAM(commandId_, BN_CLICKED),
                       reinterpret_cast<LPARAM>(window_));
}

void UBMPWnd::MouseMove(POINT) {}

void UBMPWnd::TimerElapsed(UINT_PTR) {}

LRESULT CALLBACK UBMPWnd::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    UBMPWnd* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<UBMPWnd*>(reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->window_ = window;
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<UBMPWnd*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    }
    if (!self)
        return ::DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
    return self->Dispatch(message, wParam, lParam);
}

LRESULT UBMPWnd::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        Guarded("UBMPWnd::OnCreate", [&] { OnCreate(); });
        return 0;
    case WM_ERASEBKGND:
        return 1;  // painted with the picture, without flicker
    case WM_PAINT:
        Guarded("UBMPWnd::OnPaint", [&] { OnPaint(nullptr); });
        return 0;
    case WM_PRINTCLIENT:
        Guarded("UBMPWnd::OnPaint", [&] { OnPaint(reinterpret_cast<HDC>(wParam)); });
        return 0;
    case WM_TIMER:
        Guarded("UBMPWnd::OnTimer", [&] { OnTimer(wParam); });
        return 0;
    case WM_MOUSEMOVE:
        Guarded("UBMPWnd::OnMouseMove", [&] { OnMouseMove(PointOf(lParam)); });
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        Guarded("UBMPWnd::OnMouseButtonDown", [&] { OnMouseButtonDown(PointOf(lParam)); });
        return 0;
    case WM_LBUTTONUP:
        Guarded("UBMPWnd::OnMouseButtonUp", [&] { OnMouseButtonUp(PointOf(lParam)); });
        return 0;
    case WM_CAPTURECHANGED:
        Guarded("UBMPWnd::OnMouseButtonUp", [&] { OnCaptureLost(); });
        return 0;
    case WM_SETCURSOR: {
        bool handled = false;
        if (LOWORD(lParam) == HTCLIENT)
            Guarded("UBMPWnd::OnMouseMove", [&] { handled = OnSetCursor(); });
        if (handled)
            return TRUE;
        break;
    }
    default:
        break;
    }
    return ::DefWindowProcA(window_, message, wParam, lParam);
}

void UBMPWnd::OnCreate() {
    if (buttonMode_)
        ::SetTimer(window_, kHoverTimer, kHoverInterval, nullptr);
    if (animating_)
        StartAnimation(animationInterval_);
}

void UBMPWnd::OnPaint(HDC printDc) {
    PAINTSTRUCT paint = {};
    const HDC dc = printDc ? printDc : ::BeginPaint(window_, &paint);
    if (!dc)
        return;
    RECT client = {};
    ::GetClientRect(window_, &client);
    // Drawn off screen first: the parent's background, then the picture.
    const win::UniqueBitmap buffer(::CreateCompatibleBitmap(dc, std::max<LONG>(client.right, 1),
                                                            std::max<LONG>(client.bottom, 1)));
    const win::MemoryCanvas canvas(dc, buffer.Get());
    if (buffer && canvas) {
        PaintParentBackground(window_, canvas.Get());
        bitmap_.Draw(canvas.Get(), 0, 0);
        ::BitBlt(dc, 0, 0, client.right, client.bottom, canvas.Get(), 0, 0, SRCCOPY);
    }
    if (!printDc)
        ::EndPaint(window_, &paint);
}

void UBMPWnd::OnTimer(UINT_PTR timerId) {
    if (timerId == kHoverTimer) {
        if (buttonMode_)
            TrackHover();
        else
            ::KillTimer(window_, kHoverTimer);
        return;
    }
    if (timerId == kAnimationTimer) {
        if (!animating_ || bitmap_.FrameCount() <= 0) {
            ::KillTimer(window_, kAnimationTimer);
            return;
        }
        SetFrame((bitmap_.CurrentFrame() + 1) % bitmap_.FrameCount());
        return;
    }
    TimerElapsed(timerId);
}

void UBMPWnd::TrackHover() {
    if (pressed_)
        return;  // a held press keeps its frame until released
    POINT point = {};
    if (!::GetCursorPos(&point) || !::ScreenToClient(window_, &point))
        return;
    SetHoverState(IsOnPicture(point) ? kPointerOver : kNormal);
}

void UBMPWnd::OnMouseMove(POINT point) {
    if (IsOnPicture(point)) {
        SetPointerCursor(point);
        if (buttonMode_ && !pressed_)
            SetHoverState(kPointerOver);
    }
    MouseMove(point);
}

bool UBMPWnd::OnSetCursor() {
    POINT point = {};
    if (!::GetCursorPos(&point) || !::ScreenToClient(window_, &point) || !IsOnPicture(point))
        return false;
    SetPointerCursor(point);
    return true;
}

void UBMPWnd::SetPointerCursor(POINT) const {
    ::SetCursor(::LoadCursorA(nullptr, IsLinkOrCommand() ? IDC_HAND : IDC_ARROW));
}

void UBMPWnd::OnMouseButtonDown(POINT point) {
    if (buttonMode_ && !IsOnPicture(point))
        return;  // a hole of the picture is not the button
    if (buttonMode_)
        SetHoverState(kPressed);
    pressed_ = true;
    const HWND window = window_;
    if (MouseDown(point)) {
        if (::IsWindow(window) && window_ == window)
            ::SetCapture(window_);
        return;
    }
    if (!::IsWindow(window) || window_ != window)
        return;  // the notification closed the window
    pressed_ = false;
    if (buttonMode_)
        SetHoverState(kPointerOver);
}

void UBMPWnd::OnMouseButtonUp(POINT point) {
    const bool wasPressed = std::exchange(pressed_, false);
    if (::GetCapture() == window_)
        ::ReleaseCapture();
    const bool inside = InClient(window_, point);
    if (!buttonMode_) {
        if (wasPressed && inside)
            MouseUp(point);
        return;
    }
    if (!wasPressed || !inside) {
        SetHoverState(inside && IsOnPicture(point) ? kPointerOver : kNormal);
        return;
    }
    hoverState_ = kPointerOver;
    bitmap_.SetCurrentFrame(std::min(1, bitmap_.FrameCount() - 1));
    const HWND window = window_;
    MouseUp(point);
    // The click may have closed the window and its owner with it.
    if (::IsWindow(window) && window_ == window)
        Redraw();
}

void UBMPWnd::OnCaptureLost() {
    // Taken away by someone else (another window, a menu): not a click.
    if (!pressed_)
        return;
    pressed_ = false;
    if (buttonMode_)
        SetHoverState(kNormal);
}
