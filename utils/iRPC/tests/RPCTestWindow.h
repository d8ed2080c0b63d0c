// A top-level window on a thread of its own that plays one end of the
// message transport in tests: it keeps every WM_COPYDATA it receives and
// can answer like the rating service or refuse.
#pragma once

#include "tests/support/CopyDataWindow.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace rpc_testing {

struct Delivery {
    std::uintptr_t type = 0;       // dwData
    std::uintptr_t wParam = 0;     // the reply window named by the sender
    std::string payload;           // the bytes as received
    DWORD receivingThread = 0;
    std::string decoded;           // ToString of CRPCMsg::Receive, "" if none
    std::int32_t requestId = -1;   // of the decoded message
};

class RPCTestWindow {
public:
    enum class Behaviour {
        Accept,           // returns TRUE
        AcceptAndAnswer,  // returns TRUE and answers the reply window through CRPCMsg::Send
        Refuse,           // returns FALSE
    };

    RPCTestWindow(const std::string& title, Behaviour behaviour);
    ~RPCTestWindow();
    RPCTestWindow(const RPCTestWindow&) = delete;
    RPCTestWindow& operator=(const RPCTestWindow&) = delete;

    HWND Window() const { return window_.Window(); }
    DWORD ThreadId() const { return window_.ThreadId(); }
    // Waits until at least `count` deliveries arrived; false on timeout.
    bool WaitForDeliveries(std::size_t count, DWORD milliseconds);
    std::vector<Delivery> Deliveries() const;
    // Makes every later delivery wait for `gate` (an event) after it has been
    // recorded, so the sender stays inside SendMessage meanwhile.
    void HoldDeliveriesUntil(HANDLE gate) { gate_ = gate; }

private:
    LRESULT OnCopyData(WPARAM wParam, const COPYDATASTRUCT& copyData);

    const Behaviour behaviour_;
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<Delivery> deliveries_;
    std::atomic<HANDLE> gate_{nullptr};
    testing_support::CopyDataWindow window_;  // last: it receives as soon as it exists
};

}  // namespace rpc_testing
