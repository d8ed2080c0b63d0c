// The real Quillon.exe as a separate process for tests, and a client that
// talks to it through a real hidden reply window as the add-on does.
#pragma once

#include "utils/Ownership/WinOwnership.h"
#include "utils/iRPC/CRPCMsg.h"
#include "utils/iRPC/tests/RPCTestWindow.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace service_testing {

// Quillon.exe as built beside the tests.
std::string ServiceProgram();
// The running service's window, or null.
HWND FindServiceWindow();
// Runs a program with arguments to its end: its exit code, or -1 when it
// cannot start or outlives the time limit (it is then terminated).
int RunToEnd(const std::string& program, const std::string& arguments, DWORD milliseconds);

// Starts the service and waits for its window. Whatever happens to the
// test, the destructor stops it with "/stop" and, should that fail,
// terminates the process: no service outlives its test.
class ServiceProcess {
public:
    explicit ServiceProcess(const std::string& arguments = "", const std::string& program = ServiceProgram());
    ~ServiceProcess();
    ServiceProcess(const ServiceProcess&) = delete;
    ServiceProcess& operator=(const ServiceProcess&) = delete;

    // The window this process created, or null when none appeared.
    HWND Window() const { return window_; }
    HANDLE Process() const { return process_.Get(); }
    // "/stop"; true when it exited 0 and this process ended with code 0.
    bool Stop();

private:
    win::UniqueHandle process_;
    HWND window_ = nullptr;
};

// The add-on's side: a hidden reply window on its own thread that keeps
// every answer, and requests sent with CRPCMsg::Send to the service.
class ServiceClient {
public:
    ServiceClient();

    HWND Window() const { return window_.Window(); }
    // Sends the request and waits up to `milliseconds` for `answers` more
    // deliveries; returns those that arrived (fewer on timeout).
    std::vector<rpc_testing::Delivery> Ask(CRPCMsg& request, std::int32_t requestId, std::size_t answers,
                                           DWORD milliseconds = 5000);
    std::vector<rpc_testing::Delivery> AllDeliveries() const { return window_.Deliveries(); }

private:
    rpc_testing::RPCTestWindow window_;
};

// The message a delivery carries, decoded as the add-on decodes it.
std::unique_ptr<CRPCMsg> Decode(const rpc_testing::Delivery& delivery);

// Finds the answer of a type among deliveries; null when absent.
template <typename Message>
std::unique_ptr<Message> AnswerOfType(const std::vector<rpc_testing::Delivery>& deliveries, std::int32_t type,
                                      const rpc_testing::Delivery** which = nullptr) {
    for (const rpc_testing::Delivery& delivery : deliveries) {
        if (delivery.type != static_cast<std::uintptr_t>(type))
            continue;
        std::unique_ptr<CRPCMsg> message = Decode(delivery);
        if (!message)
            return nullptr;
        if (which)
            *which = &delivery;
        return std::unique_ptr<Message>(static_cast<Message*>(message.release()));
    }
    return nullptr;
}

}  // namespace service_testing
