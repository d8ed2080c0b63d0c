#include "ie/UI/MenuBarWnd.h"

#include "ie/Evaluation/Evaluator.h"
#include "ie/UI/WindowObject.h"
#include "utils/Window/UWindowClass.h"
#include "ie/res/ResourceIds.h"
#include "utils/Diagnostics/ReportAssert.h"

namespace {

const UWindowClass& MenuBarClass(WNDPROC procedure) {
    static const UWindowClass windowClass("QuillonMenuBar", procedure, 0,
                                         ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));  // IDC_ARROW
    return windowClass;
}

}  // namespace

CMenuBarWnd::CMenuBarWnd(IUnknown* owner) : button_(*this, owner) {}

CMenuBarWnd::~CMenuBarWnd() {
    Destroy();
}

bool CMenuBarWnd::Create(HWND parent, const RECT& rect) {
    if (window_) {
        REPORT_ASSERT("CMenuBarWnd::Create", "Already created");
        return false;
    }
    const UWindowClass& windowClass = MenuBarClass(&CMenuBarWnd::WindowProcedure);
    if (!windowClass.Registered())
        return false;
    // WM_NCCREATE binds this object and sets window_.
    const HWND window = ::CreateWindowExA(0, windowClass.Name(), nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                                          rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                                          parent, nullptr, windowClass.Instance(), this);
    if (!window) {
        window_ = nullptr;
        REPORT_ASSERT("CMenuBarWnd::Create", "Could not create window");
        return false;
    }
    return true;
}

void CMenuBarWnd::Destroy() {
    if (window_)
        ::DestroyWindow(window_);
    window_ = nullptr;
    button_.DestroyTooltip();
}

UINT CMenuBarWnd::FaceOfColour(int colourCode) {
    switch (colourCode) {
    case 0:
        return IDB_FACE_GREEN;
    case 1:
        return IDB_FACE_YELLOW;
    case 2:
        return IDB_FACE_RED;
    case 3:
        return IDB_FACE_GREY;
    case 4:
        return IDB_FACE_OFF;
    default:
        return 0;
    }
}

void CMenuBarWnd::Set(int colourCode) {
    if (colourCode == -1) {
        ShowOff();
        return;
    }
    if (!FaceOfColour(colourCode))
        REPORT_ASSERT("CMenuBarWnd::Set", "Unknown color code");
    colour_ = colourCode;
    state_ = State::Verdict;
    verdictShown_ = true;
    ShowState();
}

void CMenuBarWnd::ShowWaiting() {
    state_ = State::Waiting;
    verdictShown_ = false;
    ShowState();
}

void CMenuBarWnd::ShowOff() {
    state_ = State::Off;
    verdictShown_ = false;
    colour_ = -1;
    ShowState();
}

void CMenuBarWnd::ShowServiceDown(bool down) {
    if (down == serviceDown_)
        return;
    serviceDown_ = down;
    button_.ShowServiceDown(down);
    ShowState();
}

void CMenuBarWnd::ShowState() {
    if (serviceDown_) {
        button_.ShowFace(IDB_FACE_SERVICE_DOWN, CStatusButton::kFrameCount, true);
    } else {
        switch (state_) {
        case State::Off:
            button_.ShowFace(IDB_FACE_OFF, CStatusButton::kFrameCount, true);
            break;
        case State::Waiting:
            // One frame, and no button: nothing to press while a page loads.
            button_.ShowFace(IDB_FACE_WAIT, 1, false);
            break;
        case State::Verdict: {
            const UINT face = FaceOfColour(colour_);
            button_.ShowFace(face ? face : IDB_FACE_YELLOW, CStatusButton::kFrameCount, true);
            break;
        }
        }
    }
    OnSize();
}

// The window

LRESULT CALLBACK CMenuBarWnd::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CMenuBarWnd* menuBar = WindowObject<CMenuBarWnd>(window, message, lParam);
    if (!menuBar)
        return ::DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCCREATE)
        menuBar->window_ = window;
    return menuBar->OnMessage(message, wParam, lParam);
}

LRESULT CMenuBarWnd::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND window = window_;
    switch (message) {
    case WM_CREATE: {
        const LRESULT result = ::DefWindowProcA(window, message, wParam, lParam);
        try {
            OnCreate();
        } catch (...) {
            REPORT_ASSERT("CMenuBarWnd::OnCreate", "Exception thrown");
        }
        return result;
    }
    case WM_SIZE: {
        const LRESULT result = ::DefWindowProcA(window, message, wParam, lParam);
        try {
            OnSize();
        } catch (...) {
            REPORT_ASSERT("CMenuBarWnd::OnSize", "Exception thrown");
        }
        return result;
    }
    case WM_ERASEBKGND:
        try {
            EraseBackground(reinterpret_cast<HDC>(wParam));
        } catch (...) {
            REPORT_ASSERT("CMenuBarWnd::OnEraseBackground", "Exception thrown");
        }
        return 1;
    case WM_DESTROY:
        button_.DestroyTooltip();
        break;
    case WM_NCDESTROY:
        ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        window_ = nullptr;
        break;
    default:
        break;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

void CMenuBarWnd::OnCreate() {
    // The button paints over its part of the bar itself.
    ::SetWindowLongPtrA(window_, GWL_STYLE, ::GetWindowLongPtrA(window_, GWL_STYLE) & ~WS_CLIPCHILDREN);
    const RECT empty = {};
    if (!button_.Create(window_, empty))
        return;  // reported by the button
    ShowOff();
    // A service that went before the band came is shown at once.
    win::ComPtr<IUIHost> host = FindUIHost();
    if (host && host->IsServiceDown())
        ShowServiceDown(true);
    // A verdict that came before the band existed.
    if (host)
        host->Evaluator().Refresh();
}

void CMenuBarWnd::OnSize() {
    if (!window_ || !button_.Window())
        return;
    RECT client = {};
    ::GetClientRect(window_, &client);
    const SIZE frame = button_.Bitmap().GetSize();
    RECT now = {};
    ::GetWindowRect(button_.Window(), &now);
    ::MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&now), 2);
    // Faces change often and keep their size: no move, no second repaint.
    if (now.left == client.left && now.top == client.top + 1 && now.right - now.left == frame.cx &&
        now.bottom - now.top == frame.cy)
        return;
    ::MoveWindow(button_.Window(), client.left, client.top + 1, frame.cx, frame.cy, TRUE);
}

void CMenuBarWnd::EraseBackground(HDC dc) {
    RECT client = {};
    ::GetClientRect(window_, &client);
    ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
}
