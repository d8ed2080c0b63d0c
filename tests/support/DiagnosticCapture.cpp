#include "tests/support/DiagnosticCapture.h"

#include "utils/Ownership/WinOwnership.h"

namespace testing_support {

namespace {
constexpr char kWindowClass[] = "QuillonTestDiagnosticCapture";
}

DiagnosticCapture::DiagnosticCapture() {
    win::UniqueHandle ready(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    thread_ = std::thread(&DiagnosticCapture::Pump, this, ready.Get());
    ::WaitForSingleObject(ready.Get(), 10000);
}

DiagnosticCapture::~DiagnosticCapture() {
    if (threadId_)
        ::PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
    if (window_)
        ::PostMessageA(window_, WM_CLOSE, 0, 0);
    if (thread_.joinable())
        thread_.join();
}

void DiagnosticCapture::Pump(HANDLE ready) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = &DiagnosticCapture::WindowProcedure;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kWindowClass;
    ::RegisterClassA(&windowClass);  // a second capture reuses the class
    window_ = ::CreateWindowExA(0, kWindowClass, "Quillon diagnostic tool", WS_OVERLAPPED, 0, 0, 0,
                                0, nullptr, nullptr, windowClass.hInstance, this);
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
    if (::IsWindow(window_))
        ::DestroyWindow(window_);
}

LRESULT CALLBACK DiagnosticCapture::WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                                    LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        ::SetWindowLongPtrA(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<DiagnosticCapture*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_COPYDATA && self) {
        const auto* copyData = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        const auto* bytes = static_cast<const std::uint8_t*>(copyData->lpData);
        std::lock_guard<std::mutex> lock(self->mutex_);
        self->payloads_.emplace_back(bytes, bytes + copyData->cbData);
        return TRUE;
    }
    if (message == WM_CLOSE) {
        ::DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

std::vector<std::vector<std::uint8_t>> DiagnosticCapture::Payloads() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return payloads_;
}

std::vector<std::string> DiagnosticCapture::Lines() const {
    std::vector<std::string> lines;
    for (const auto& payload : Payloads()) {
        if (payload.size() > 4)
            lines.emplace_back(reinterpret_cast<const char*>(payload.data() + 4));
    }
    return lines;
}

bool DiagnosticCapture::Reported(const std::string& method, const std::string& message) const {
    const std::string ending = "::" + method + ",";
    const std::string text = ": *** Assert: " + message;
    for (const std::string& line : Lines()) {
        if (line.find(ending) != std::string::npos && line.size() >= text.size() &&
            line.compare(line.size() - text.size(), text.size(), text) == 0) {
            return true;
        }
    }
    return false;
}

void DiagnosticCapture::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    payloads_.clear();
}

}  // namespace testing_support
