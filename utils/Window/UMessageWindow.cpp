#include "utils/Window/UMessageWindow.h"

#include "utils/Diagnostics/ReportAssert.h"
#include "utils/Window/UWindowClass.h"

#include <utility>

namespace {

constexpr char kClassName[] = "QuillonMessageWindow";

}  // namespace

// Registered on first use by the module holding the window procedure;
// unregistered when that module unloads.
const UWindowClass& UMessageWindow::Class() {
    static const UWindowClass windowClass(kClassName, &UMessageWindow::WindowProcedure);
    return windowClass;
}

UMessageWindow::UMessageWindow(std::string ownerName) : ownerName_(std::move(ownerName)) {}

UMessageWindow::~UMessageWindow() {
    Destroy();
}

bool UMessageWindow::Create(const std::string& title, Handler handler) {
    if (window_) {
        REPORT_ASSERT("UMessageWindow::Create", "The window exists already");
        return false;
    }
    const UWindowClass& windowClass = Class();
    if (!windowClass.Registered())
        return false;  // reported at registration
    handler_ = std::move(handler);
    threadId_ = ::GetCurrentThreadId();
    // WM_NCCREATE binds this object and sets window_.
    const HWND window = ::CreateWindowExA(0, kClassName, title.empty() ? nullptr : title.c_str(), WS_POPUP, 0, 0,
                                          0, 0, nullptr, nullptr, windowClass.Instance(), this);
    if (!window) {
        window_ = nullptr;
        REPORT_ASSERT("UMessageWindow::Create", "Could not create the window");
        return false;
    }
    return true;
}

void UMessageWindow::Destroy() {
    if (!window_)
        return;
    if (!OnThread("UMessageWindow::Destroy")) {
        // Only the window's thread can destroy it. Cut it off from this object
        // (which is about to go) and let that thread close it.
        const HWND window = std::exchange(window_, nullptr);
        ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        ::PostMessageA(window, WM_CLOSE, 0, 0);
        return;
    }
    ::DestroyWindow(window_);  // WM_NCDESTROY forgets it
    window_ = nullptr;
}

bool UMessageWindow::OnThread(const char* method) const {
    if (threadId_ == ::GetCurrentThreadId())
        return true;
    REPORT_ASSERT(method, "Used on another thread than the window's");
    return false;
}

UMessageWindow::FilterResult UMessageWindow::AllowFromLowerIntegrity(UINT message) {
    if (!window_ || !OnThread("UMessageWindow::AllowFromLowerIntegrity"))
        return FilterResult::Failed;
    // Windows 7 and later; the ANSI and wide forms are the same function.
    using ChangeWindowMessageFilterExFunction = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    constexpr DWORD kAllow = 1;  // MSGFLT_ALLOW
    const HMODULE user32 = ::GetModuleHandleA("user32.dll");
    const FARPROC address = user32 ? ::GetProcAddress(user32, "ChangeWindowMessageFilterEx") : nullptr;
    if (!address)
        return FilterResult::NotAvailable;
    const auto change =
        reinterpret_cast<ChangeWindowMessageFilterExFunction>(reinterpret_cast<void (*)()>(address));
    if (!change(window_, message, kAllow, nullptr)) {
        REPORT_ASSERT("UMessageWindow::AllowFromLowerIntegrity", "ChangeWindowMessageFilterEx failed");
        return FilterResult::Failed;
    }
    return FilterResult::Allowed;
}

LRESULT CALLBACK UMessageWindow::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    UMessageWindow* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<UMessageWindow*>(reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->window_ = window;
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<UMessageWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    }
    if (!self)
        return ::DefWindowProcA(window, message, wParam, lParam);

    LRESULT result = 0;
    bool handled = false;
    try {
        handled = self->handler_ && self->handler_(message, wParam, lParam, &result);
    } catch (...) {
        REPORT_ASSERT(self->ownerName_.c_str(), "Exception thrown");
        handled = true;
        result = 0;
    }
    if (message == WM_NCDESTROY) {
        // The last message of the window, however it was destroyed.
        ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
    }
    return handled ? result : ::DefWindowProcA(window, message, wParam, lParam);
}
