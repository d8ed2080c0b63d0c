#include "utils/iRPC/tests/RPCTestWindow.h"

#include "utils/Ownership/WinOwnership.h"
#include "utils/iRPC/CRPCMsg.h"
#include "utils/iRPC/CServerNotify.h"

#include <chrono>

namespace rpc_testing {

namespace {
constexpr char kWindowClass[] = "QuillonRPCTestWindow";
}

RPCTestWindow::RPCTestWindow(const std::string& title, Behaviour behaviour)
    : title_(title), behaviour_(behaviour) {
    win::UniqueHandle ready(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    thread_ = std::thread(&RPCTestWindow::Pump, this, ready.Get());
    ::WaitForSingleObject(ready.Get(), 10000);
}

RPCTestWindow::~RPCTestWindow() {
    if (window_)
        ::PostMessageA(window_, WM_CLOSE, 0, 0);
    else if (threadId_)
        ::PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
    if (thread_.joinable())
        thread_.join();
}

void RPCTestWindow::Pump(HANDLE ready) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = &RPCTestWindow::WindowProcedure;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kWindowClass;
    ::RegisterClassA(&windowClass);  // later windows reuse the class
    window_ = ::CreateWindowExA(0, kWindowClass, title_.c_str(), WS_POPUP, 0, 0, 0, 0, nullptr,
                                nullptr, windowClass.hInstance, this);
    MSG message;
    ::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    threadId_ = ::GetCurrentThreadId();
    ::SetEvent(ready);
    if (!window_)
        return;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
}

LRESULT CALLBACK RPCTestWindow::WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<RPCTestWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_COPYDATA && self)
        return self->OnCopyData(wParam, *reinterpret_cast<const COPYDATASTRUCT*>(lParam));
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

LRESULT RPCTestWindow::OnCopyData(WPARAM wParam, const COPYDATASTRUCT& copyData) {
    Delivery delivery;
    delivery.type = copyData.dwData;
    delivery.wParam = static_cast<std::uintptr_t>(wParam);
    if (copyData.lpData)
        delivery.payload.assign(static_cast<const char*>(copyData.lpData), copyData.cbData);
    delivery.receivingThread = ::GetCurrentThreadId();
    std::unique_ptr<CRPCMsg> received = CRPCMsg::Receive(static_cast<RPCWindow>(wParam), &copyData);
    if (received) {
        delivery.decoded = received->ToString();
        delivery.requestId = received->RequestId();
        if (behaviour_ == Behaviour::AcceptAndAnswer) {
            CServerNotify answer("answer " + delivery.decoded);
            answer.Send(received->SenderWindow(), 0, received->RequestId());
        }
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        deliveries_.push_back(std::move(delivery));
    }
    arrived_.notify_all();
    if (const HANDLE gate = gate_.load())
        ::WaitForSingleObject(gate, 10000);
    return behaviour_ == Behaviour::Refuse ? FALSE : TRUE;
}

bool RPCTestWindow::WaitForDeliveries(std::size_t count, DWORD milliseconds) {
    std::unique_lock<std::mutex> lock(mutex_);
    return arrived_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                             [&] { return deliveries_.size() >= count; });
}

std::vector<Delivery> RPCTestWindow::Deliveries() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return deliveries_;
}

}  // namespace rpc_testing
