#include "ie/Evaluation/ClientWindow.h"

#include "utils/Diagnostics/ReportAssert.h"

namespace {

constexpr char kClassName[] = "QuillonEvaluatorClient";

// The module that holds the window procedure: inside the browser the
// process's own module is the browser, not this add-on.
HINSTANCE ThisModule() {
    HMODULE module = nullptr;
    ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCSTR>(&ThisModule), &module);
    return module;
}

}  // namespace

bool CClientWindow::Create(Handler handler) {
    Destroy();
    handler_ = std::move(handler);
    const HINSTANCE module = ThisModule();
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &CClientWindow::WindowProcedure;
    windowClass.hInstance = module;
    windowClass.lpszClassName = kClassName;
    // Registered once per module; later windows find it there.
    if (!::RegisterClassExA(&windowClass) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return false;
    window_.Reset(::CreateWindowExA(0, kClassName, kTitle, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                    module, this));
    return static_cast<bool>(window_);
}

void CClientWindow::Destroy() {
    window_.Reset();
}

LRESULT CALLBACK CClientWindow::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
            ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<CClientWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
        if (message == WM_NCDESTROY)
            ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        LRESULT result = 0;
        if (self && self->handler_ && message != WM_NCDESTROY && self->handler_(message, wParam, lParam, result))
            return result;
    } catch (...) {
        REPORT_ASSERT("CClientWindow::WindowProcedure", "Exception thrown");
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}
