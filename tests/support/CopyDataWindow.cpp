#include "tests/support/CopyDataWindow.h"

#include "utils/Ownership/WinOwnership.h"
#include "utils/Window/UMessageWindow.h"

namespace testing_support {

CopyDataWindow::CopyDataWindow(const std::string& title, Handler handler)
    : title_(title), handler_(std::move(handler)) {
    win::UniqueHandle ready(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    thread_ = std::thread(&CopyDataWindow::Pump, this, ready.Get());
    ::WaitForSingleObject(ready.Get(), 10000);
}

CopyDataWindow::~CopyDataWindow() {
    if (threadId_)
        ::PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
    if (thread_.joinable())
        thread_.join();
}

void CopyDataWindow::Pump(HANDLE ready) {
    UMessageWindow window("CopyDataWindow::WindowProcedure");
    window.Create(title_, [this](UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
        if (message != WM_COPYDATA)
            return false;
        *result = handler_(wParam, *reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        return true;
    });
    window_ = window.Window();
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
    // The window goes with `window`, on its own thread.
}

}  // namespace testing_support
