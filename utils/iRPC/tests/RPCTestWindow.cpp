#include "utils/iRPC/tests/RPCTestWindow.h"

#include "utils/Ownership/WinOwnership.h"
#include "utils/iRPC/CRPCMsg.h"
#include "utils/iRPC/CServerNotify.h"

#include <chrono>

namespace rpc_testing {

RPCTestWindow::RPCTestWindow(const std::string& title, Behaviour behaviour)
    : behaviour_(behaviour),
      window_(title, [this](WPARAM wParam, const COPYDATASTRUCT& copyData) {
          return OnCopyData(wParam, copyData);
      }) {}

RPCTestWindow::~RPCTestWindow() = default;

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
