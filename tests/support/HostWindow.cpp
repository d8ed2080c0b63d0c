#include "tests/support/HostWindow.h"

#include <stdexcept>

namespace testing_support {

namespace {

constexpr char kClassName[] = "QuillonTestHostWindow";

void RegisterOnce(WNDPROC procedure) {
    static const bool registered = [procedure] {
        WNDCLASSEXA windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kClassName;
        return ::RegisterClassExA(&windowClass) != 0;
    }();
    if (!registered)
        throw std::runtime_error("cannot register the test host window class");
}

}  // namespace

HostWindow::HostWindow(const RECT& screenRect, COLORREF background)
    : background_(background), brush_(::CreateSolidBrush(background)) {
    RegisterOnce(&HostWindow::WindowProcedure);
    window_ = ::CreateWindowExA(WS_EX_TOPMOST, kClassName, "Quillon test host", WS_POPUP | WS_VISIBLE,
                                screenRect.left, screenRect.top, screenRect.right - screenRect.left,
                                screenRect.bottom - screenRect.top, nullptr, nullptr,
                                ::GetModuleHandleA(nullptr), this);
    if (!window_)
        throw std::runtime_error("cannot create the test host window");
    ::SetForegroundWindow(window_);
    ::UpdateWindow(window_);
}

HostWindow::~HostWindow() {
    if (window_)
        ::DestroyWindow(window_);
}

LRESULT CALLBACK HostWindow::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<HostWindow*>(reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams);
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<HostWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self)
        return ::DefWindowProcA(window, message, wParam, lParam);
    LRESULT result = 0;
    if (self->handler_ && self->handler_(message, wParam, lParam, &result))
        return result;
    switch (message) {
    case WM_ERASEBKGND: {
        RECT client = {};
        ::GetClientRect(window, &client);
        ::FillRect(reinterpret_cast<HDC>(wParam), &client, self->brush_.Get());
        return 1;
    }
    case WM_COMMAND:
        self->commands_.push_back(wParam);
        return 0;
    case WM_NCDESTROY:
        ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
        break;
    default:
        break;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace testing_support
