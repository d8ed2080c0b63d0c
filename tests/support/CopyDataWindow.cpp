#include "tests/support/CopyDataWindow.h"

#include "utils/Ownership/WinOwnership.h"

namespace testing_support {

namespace {
constexpr char kWindowClass[] = "QuillonTestCopyDataWindow";
}

CopyDataWindow::CopyDataWindow(const std::string& title, Handler handler)
    : title_(title), handler_(std::move(handler)) {
    win::UniqueHandle ready(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    thread_ = std::thread(&CopyDataWindow::Pump, this, ready.Get());
    ::WaitForSingleObject(ready.Get(), 10000);
}

CopyDataWindow::~CopyDataWindow() {
    if (window_)
        ::PostMessageA(window_, WM_CLOSE, 0, 0);
    else if (threadId_)
        ::PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
    if (thread_.joinable())
        thread_.join();
}

void CopyDataWindow::Pump(HANDLE ready) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = &CopyDataWindow::WindowProcedure;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kWindowClass;
    ::RegisterClassA(&windowClass);  // later windows reuse the class
    window_ = ::CreateWindowExA(0, kWindowClass, title_.c_str(), WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                windowClass.hInstance, this);
    MSG message;
    ::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);  // the thread now has a queue
    threadId_ = ::GetCurrentThreadId();
    ::SetEvent(ready);
    if (!window_)
        return;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
}

LRESULT CALLBACK CopyDataWindow::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    const auto* self = reinterpret_cast<const CopyDataWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
    case WM_COPYDATA:
        if (self)
            return self->handler_(wParam, *reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        return FALSE;
    case WM_CLOSE:
        ::DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace testing_support
